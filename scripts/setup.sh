#!/usr/bin/env bash
# Installs what building and testing Dustrel needs on Debian 12, and only what is missing.
# Safe to run any number of times.
set -euo pipefail

packages=(
    cmake g++ make                                   # native build
    g++-mingw-w64-i686-posix mingw-w64-i686-dev      # 32-bit Windows cross build
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev  # 64-bit, where 32-bit Wine cannot run
    googletest                                       # GoogleTest sources (/usr/src/googletest)
    wine wine32:i386 wine64                          # running the Windows build
    xvfb xauth x11-apps xdotool imagemagick          # a private screen, screenshots, icons
    inotify-tools                                    # a Wine test's changes timed from Linux
    nsis zip unzip                                   # the installer and the portable zip
)

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
else
    as_root=(sudo)
fi

updated=no
apt_update() {
    if [[ $updated == no ]]; then
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        updated=yes
    fi
}

# wine32 is an i386 package: the architecture has to be known to dpkg first.
if [[ $(dpkg --print-architecture) != i386 ]] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup.sh: adding the i386 architecture"
    "${as_root[@]}" dpkg --add-architecture i386
    apt_update
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "setup.sh: installing ${missing[*]}"
    apt_update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq -o Dpkg::Use-Pty=0 "${missing[@]}"
fi
