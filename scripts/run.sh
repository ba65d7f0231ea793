#!/usr/bin/env bash
# Builds dustrel.exe and starts it under Wine (arguments are passed on, e.g. /STARTUP).
# With a DISPLAY it runs there, in the foreground. Without one it runs on a private Xvfb
# screen, waits for the main window, saves a screenshot to build/screenshot.png and ends.
# It uses a Wine prefix of its own (build/wineprefix-run), so that what a trial run stores
# in the Wine registry never reaches the tests.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$DUSTREL_ROOT/scripts/setup.sh"
mkdir -p "$DUSTREL_BUILD"

win32="$(dustrel_windows_build_dir)"
cmake -S "$DUSTREL_ROOT" -B "$win32" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$(dustrel_windows_toolchain)"
if [[ ! -f $DUSTREL_ROOT/src/main.cpp ]]; then
    echo "run.sh: there is no src/main.cpp yet, so no dustrel.exe to run." >&2
    exit 1
fi
cmake --build "$win32" -j "$DUSTREL_JOBS" --target dustrel
exe="$win32/dustrel.exe"

run_prefix="$DUSTREL_BUILD/wineprefix-run"
[[ $(dustrel_wine_arch) == win64 ]] && run_prefix+=64
export DUSTREL_WINEPREFIX="${DUSTREL_WINEPREFIX:-$run_prefix}"
dustrel_wine_env

if [[ -n ${DISPLAY:-} ]]; then
    dustrel_ensure_prefix
    dustrel_wine_use_window_manager yes
    echo "Starting $exe"
    exec "$DUSTREL_WINE" "$exe" "$@"
fi

title="Dustrel v1.0"
shot="$DUSTREL_BUILD/screenshot.png"
app_pid=""

cleanup() {
    dustrel_stop_wineserver
    if [[ -n $app_pid ]]; then
        wait "$app_pid" 2>/dev/null || true
    fi
    dustrel_stop_xvfb
}
trap cleanup EXIT

dustrel_start_xvfb
dustrel_ensure_prefix
dustrel_start_wineserver
dustrel_wine_use_window_manager no

echo "Starting $exe"
dustrel_wine "$exe" "$@" >"$DUSTREL_BUILD/run.log" 2>&1 &
app_pid=$!

window=""
for ((i = 0; i < 120; i++)); do
    window=$(xdotool search --onlyvisible --name "^${title//./\\.}\$" 2>/dev/null | head -1 || true)
    [[ -n $window ]] && break
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "run.sh: dustrel.exe ended before its window \"$title\" appeared; see $DUSTREL_BUILD/run.log" >&2
        exit 1
    fi
    sleep 0.5
done
if [[ -z $window ]]; then
    echo "run.sh: no window \"$title\" appeared within 60 s" >&2
    exit 1
fi

# Let the window finish painting.
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
# Keep the crop on the screen even when the window reaches past its edge.
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
if ((X < 0)); then WIDTH=$((WIDTH + X)) X=0; fi
if ((Y < 0)); then HEIGHT=$((HEIGHT + Y)) Y=0; fi
if ((X + WIDTH > screen_w)); then WIDTH=$((screen_w - X)); fi
if ((Y + HEIGHT > screen_h)); then HEIGHT=$((screen_h - Y)); fi
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "Screenshot of \"$title\" (${WIDTH}x${HEIGHT}) saved to $shot"
