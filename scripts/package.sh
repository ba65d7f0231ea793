#!/usr/bin/env bash
# Builds the 32-bit release dustrel.exe and writes the downloads made from it to build/dist:
#   dustrel-<version>-portable.zip  dustrel.exe and README.txt, to unpack anywhere
#   dustrel-<version>-setup.exe     the per-user installer (installer/dustrel.nsi)
#   SHA256SUMS                      of both
# The version is the CMake project's (project() in CMakeLists.txt). Installs what is missing
# first. scripts/test.sh runs this too, and tests what it wrote.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$DUSTREL_ROOT/scripts/setup.sh"
mkdir -p "$DUSTREL_BUILD"

# What ships is the 32-bit program, even where the tests run a 64-bit build (see common.sh).
build="$DUSTREL_BUILD/win32"
cmake -S "$DUSTREL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$DUSTREL_ROOT/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$DUSTREL_JOBS" --target dustrel
exe="$build/dustrel.exe"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [[ ! $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "package.sh: no x.y.z project version in $build/CMakeCache.txt" >&2
    exit 1
fi

dist="$DUSTREL_BUILD/dist"
rm -rf "$dist"
mkdir -p "$dist/portable"
zip_name="dustrel-$version-portable.zip"
setup_name="dustrel-$version-setup.exe"

# Windows users read the text in Notepad, which before Windows 10 wants CR LF.
to_crlf() {
    sed 's/\r$//; s/$/\r/' "$@"
}
cp "$exe" "$dist/portable/dustrel.exe"
sed "s/@VERSION@/$version/g" "$DUSTREL_ROOT/installer/README.txt" | to_crlf >"$dist/portable/README.txt"
for licence in LICENSE LICENCE COPYING; do
    if [[ -f $DUSTREL_ROOT/$licence ]]; then
        to_crlf "$DUSTREL_ROOT/$licence" >"$dist/portable/LICENSE.txt"
        break
    fi
done
# -X: no Unix owners or permissions, which mean nothing to Windows.
(cd "$dist/portable" && zip -q -X "../$zip_name" -- *)
rm -rf "$dist/portable"

# -WX: a warning is as good as an error in what ships.
makensis -V2 -WX -DVERSION="$version" -DEXE="$exe" -DOUTFILE="$dist/$setup_name" \
    "$DUSTREL_ROOT/installer/dustrel.nsi"

(cd "$dist" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)
echo "Dustrel $version packaged in $dist:"
(cd "$dist" && ls -l "$zip_name" "$setup_name" SHA256SUMS)
