#!/usr/bin/env bash
# CTest's emulator for the cross build (CMAKE_CROSSCOMPILING_EMULATOR): runs one Windows
# program under Wine in Dustrel's private prefix. scripts/test.sh prepares the prefix and
# the X server; to run the Wine tests by hand, run scripts/test.sh once, then
#   DISPLAY=<an Xvfb display> ctest --test-dir build/win32
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
dustrel_wine_env

if [[ -z ${DISPLAY:-} ]]; then
    echo "wine-run.sh: DISPLAY is not set. The Wine tests need an X server: run them through" \
        "scripts/test.sh, which starts a private Xvfb." >&2
    exit 2
fi
if [[ ! -f $WINEPREFIX/.dustrel-ready ]]; then
    echo "wine-run.sh: no Wine prefix in $WINEPREFIX yet: run scripts/test.sh first." >&2
    exit 2
fi
# scripts/test.sh keeps Wine up for the whole run; by hand, start it with the output going
# nowhere (see common.sh), or the first test waits for its timeout.
if [[ -z ${DUSTREL_WINE_UP:-} ]]; then
    dustrel_wine_warm_up
fi
exec "$DUSTREL_WINE" "$@"
