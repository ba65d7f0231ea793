# shellcheck shell=bash
# Shared by the scripts in this folder; sourced, not run.
# Everything Wine does here happens in the build's own prefix (build/wineprefix by default)
# on a private Xvfb screen: never in ~/.wine, never on the user's display.

DUSTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DUSTREL_BUILD="${DUSTREL_BUILD:-$DUSTREL_ROOT/build}"
DUSTREL_JOBS="${DUSTREL_JOBS:-2}"

# Which Windows Dustrel's programs are built for here, and so which Wine runs them. Dustrel is
# a 32-bit program, and Wine runs 32-bit programs with a 32-bit Linux loader, which only a
# kernel that runs 32-bit Linux programs can start; some virtual machines' kernels do not.
# There the Windows build and its tests are made for 64-bit Windows and run by wine64, so the
# Win32 layers are still tested for real. DUSTREL_WINE_ARCH=win32 or win64 overrides the test.
dustrel_wine_arch() {
    if [[ -z ${DUSTREL_WINE_ARCH:-} ]]; then
        if /usr/lib/wine/wine --version >/dev/null 2>&1 || [[ ! -x /usr/lib/wine/wine64 ]]; then
            DUSTREL_WINE_ARCH=win32
        else
            DUSTREL_WINE_ARCH=win64
        fi
        export DUSTREL_WINE_ARCH
    fi
    echo "$DUSTREL_WINE_ARCH"
}

# The Windows build's folder and CMake toolchain for that architecture.
dustrel_windows_build_dir() {
    echo "$DUSTREL_BUILD/$(dustrel_wine_arch)"
}
dustrel_windows_toolchain() {
    if [[ $(dustrel_wine_arch) == win64 ]]; then
        echo "$DUSTREL_ROOT/cmake/mingw-x86_64.cmake"
    else
        echo "$DUSTREL_ROOT/cmake/mingw-i686.cmake"
    fi
}

# Point Wine at Dustrel's prefix. A WINEPREFIX inherited from the caller is deliberately
# ignored (it may be the user's own); DUSTREL_WINEPREFIX chooses another one.
dustrel_wine_env() {
    if [[ $(dustrel_wine_arch) == win64 ]]; then
        export WINEPREFIX="${DUSTREL_WINEPREFIX:-$DUSTREL_BUILD/wineprefix64}"
        export WINEARCH=win64
        # Debian's wine wrapper picks the 32-bit loader whenever it is installed.
        export WINELOADER=/usr/lib/wine/wine64
        DUSTREL_WINE=/usr/lib/wine/wine64
    else
        export WINEPREFIX="${DUSTREL_WINEPREFIX:-$DUSTREL_BUILD/wineprefix}"
        export WINEARCH=win32
        DUSTREL_WINE=wine
    fi
    export DUSTREL_WINE
    export WINEDEBUG="${DUSTREL_WINEDEBUG:--all}"
    # No prompts to download Mono or Gecko (the program needs neither), and no menu entries
    # or file associations written into the user's desktop settings.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [[ $WINEPREFIX == "${HOME:-/nonexistent}/.wine" ]]; then
        echo "Refusing to use ~/.wine as Dustrel's Wine prefix" >&2
        return 1
    fi
}

# Runs a program under the Wine that dustrel_wine_env chose.
dustrel_wine() {
    "${DUSTREL_WINE:-wine}" "$@"
}

DUSTREL_XVFB_PID=""

# Start a private X server on a free display (the server picks it: -displayfd) and export
# DISPLAY. 1024x768 at 96 DPI, the screen the program's layout is drawn for.
dustrel_start_xvfb() {
    local number_file
    number_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset \
        3>"$number_file" >"$DUSTREL_BUILD/xvfb.log" 2>&1 &
    DUSTREL_XVFB_PID=$!
    local tries=0
    until [[ -s $number_file ]]; do
        if ! kill -0 "$DUSTREL_XVFB_PID" 2>/dev/null || ((++tries > 200)); then
            echo "Xvfb did not start; see $DUSTREL_BUILD/xvfb.log" >&2
            rm -f "$number_file"
            return 1
        fi
        sleep 0.05
    done
    DISPLAY=":$(tr -dc 0-9 <"$number_file")"
    export DISPLAY
    rm -f "$number_file"
    echo "Xvfb on display $DISPLAY"
}

dustrel_stop_xvfb() {
    if [[ -n $DUSTREL_XVFB_PID ]]; then
        kill "$DUSTREL_XVFB_PID" 2>/dev/null || true
        wait "$DUSTREL_XVFB_PID" 2>/dev/null || true
        DUSTREL_XVFB_PID=""
    fi
}

# Settings every Dustrel prefix gets. Changing them changes DUSTREL_PREFIX_VERSION, which
# makes existing prefixes be made again.
#  - LogPixels: the layout is drawn for 96 DPI. Wine's default, pinned so nothing else decides.
#  - Managed=N, Decorated=N: Xvfb has no window manager, so Wine manages the windows itself
#    and draws their frames and captions, as Windows does (screenshots then show them).
#    Left to a window manager that never answers, every hidden or destroyed window costs a
#    2 s wait: the Win32 view tests ran 20 times slower.
DUSTREL_PREFIX_VERSION=2
dustrel_prefix_settings() {
    cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"
REG
}

# dustrel_wine_import: feeds a .reg text from standard input to the prefix's registry.
dustrel_wine_import() {
    local file="$WINEPREFIX/drive_c/dustrel-import.reg"
    cat >"$file"
    dustrel_wine regedit /S 'C:\dustrel-import.reg' </dev/null >/dev/null 2>&1 || true
    rm -f "$file"
}

# On a real desktop its window manager is better at the job: give the windows back to it.
dustrel_wine_use_window_manager() {
    local answer=N
    [[ $1 == yes ]] && answer=Y
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Decorated"="%s"\n"Managed"="%s"\n' \
        "$answer" "$answer" | dustrel_wine_import
}

# Create the prefix once. The marker is written last, so a prefix left half made by an
# interrupted run is thrown away and made again.
dustrel_ensure_prefix() {
    local marker="$WINEPREFIX/.dustrel-ready"
    if [[ -f $marker && $(<"$marker") == "$DUSTREL_PREFIX_VERSION" ]]; then
        return 0
    fi
    if [[ -d $WINEPREFIX && -n $(ls -A "$WINEPREFIX") && ! -e $WINEPREFIX/dosdevices ]]; then
        echo "$WINEPREFIX is not empty and is no Wine prefix: not touching it" >&2
        return 1
    fi
    dustrel_stop_wineserver
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "Creating the Wine prefix $WINEPREFIX"
    local started=$SECONDS log="$DUSTREL_BUILD/wineboot.log"
    dustrel_wine wineboot -i >"$log" 2>&1 || { echo "wineboot failed; see $log" >&2; return 1; }
    dustrel_prefix_settings | dustrel_wine_import
    wineserver -w
    if ! grep -q '"LogPixels"=dword:00000060' "$WINEPREFIX/user.reg" ||
        ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        echo "The Wine prefix did not take its settings; see $log" >&2
        return 1
    fi
    echo "$DUSTREL_PREFIX_VERSION" >"$marker"
    echo "Wine prefix ready in $((SECONDS - started)) s"
}

# The Wine tests' own fixed disk S:, a folder of the build's, which the scan test fills with a
# tree it knows. It holds "Link", a Unix symbolic link to a folder outside the drive: Wine
# lists it as a reparse point, and a scan must not follow it.
dustrel_map_scan_drive() {
    local drive="$DUSTREL_BUILD/scan-drive" outside="$DUSTREL_BUILD/scan-outside"
    rm -rf "$drive" "$outside"
    mkdir -p "$drive" "$outside"
    : >"$outside/beyond.tmp"
    ln -s "$outside" "$drive/Link"
    ln -sfn "$drive" "$WINEPREFIX/dosdevices/s:"
}

# CTest waits for every holder of a test's output pipe to close it, and the Wine programs
# that a test program starts on its way hold it. Services, device drivers and the desktop
# process (explorer.exe) are started by whichever program needs them first and inherit its
# standard output and error; the services live as long as the wineserver, the desktop
# process until a second after the last program using the desktop has ended. Started from
# here with their output going nowhere, they leave the tests' pipes alone.
dustrel_wine_warm_up() {
    dustrel_wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

DUSTREL_WINE_HOLD_FD=""
DUSTREL_WINE_HOLD_FIFO=""

# Keep one wineserver, Wine's services and its desktop process up for the whole run: a test
# program then neither pays for starting them nor passes them its output pipe. A cmd.exe
# that waits for input that never comes keeps the desktop in use.
dustrel_start_wineserver() {
    # Whatever a run that was killed left in this prefix is bound to a screen that is gone.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p </dev/null >/dev/null 2>&1 || true
    dustrel_wine_warm_up
    DUSTREL_WINE_HOLD_FIFO="$DUSTREL_BUILD/.wine-hold.$$"
    rm -f "$DUSTREL_WINE_HOLD_FIFO"
    mkfifo "$DUSTREL_WINE_HOLD_FIFO"
    exec {DUSTREL_WINE_HOLD_FD}<>"$DUSTREL_WINE_HOLD_FIFO"
    dustrel_wine cmd <"$DUSTREL_WINE_HOLD_FIFO" >/dev/null 2>&1 &
    dustrel_wine explorer /desktop </dev/null >/dev/null 2>&1 &
    local tries=0
    until pgrep -f 'explorer\.exe /desktop' >/dev/null; do
        ((++tries > 100)) && break
        sleep 0.1
    done
    # Tells wine-run.sh that Wine is up already.
    export DUSTREL_WINE_UP=1
}

dustrel_stop_wineserver() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [[ -n $DUSTREL_WINE_HOLD_FD ]]; then
        exec {DUSTREL_WINE_HOLD_FD}>&-
        DUSTREL_WINE_HOLD_FD=""
    fi
    if [[ -n $DUSTREL_WINE_HOLD_FIFO ]]; then
        rm -f "$DUSTREL_WINE_HOLD_FIFO"
        DUSTREL_WINE_HOLD_FIFO=""
    fi
    unset DUSTREL_WINE_UP
}
