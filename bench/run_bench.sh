#!/usr/bin/env bash
# Builds the tree generator (natively) and scan_bench, window_bench and delete_bench (for
# Windows), writes the synthetic drive into build/bench-tree once per set of parameters, maps it
# to T: in the bench's own Wine prefix and runs the scans on T:\ there, window_bench on a private
# Xvfb screen. Then delete_bench deletes files it makes on U: (build/bench-delete), through the
# window on the same screen and through the shell.
#
#   bench/run_bench.sh [--folders N] [--files N] [--seed N]
#                      [--no-window | --window-only | --delete-only]
#                      [--delete-files N] [--profile] [scan_bench options]
#
# --no-window runs scan_bench alone; --delete-files (20000) and --profile go to delete_bench.
# scan_bench options: --runs N (5, the others' too; delete_bench's 3 without it),
# --reference-runs N (as --runs), --no-reference.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Logs of the prefix's creation go beside the bench's own builds, not over the main build's.
export DUSTREL_BUILD="$root/build/bench-wine"
# shellcheck source=scripts/common.sh
source "$root/scripts/common.sh"
mkdir -p "$DUSTREL_BUILD"

folders=20000 files=200000 seed=1
bench_args=() window_args=() delete_args=() scan=yes window=yes delete=yes
while (($#)); do
    case $1 in
        --no-window) window=no delete=no; shift ;;
        --window-only) scan=no delete=no; shift ;;
        --delete-only) scan=no window=no; shift ;;
        --profile) delete_args+=("$1"); shift ;;
        --runs)
            [[ $# -ge 2 ]] || { echo "$1 needs a value" >&2; exit 2; }
            bench_args+=("$1" "$2") window_args+=("$1" "$2") delete_args+=("$1" "$2")
            shift 2
            ;;
        --delete-files)
            [[ $# -ge 2 ]] || { echo "$1 needs a value" >&2; exit 2; }
            delete_args+=(--files "$2")
            shift 2
            ;;
        --folders | --files | --seed)
            [[ $# -ge 2 ]] || { echo "$1 needs a value" >&2; exit 2; }
            declare "${1#--}=$2"
            shift 2
            ;;
        *)
            bench_args+=("$1")
            shift
            ;;
    esac
done

# A kernel that runs no 32-bit processes runs no 32-bit Wine: common.sh then builds for 64-bit
# Windows and runs wine64.
arch="$(dustrel_wine_arch)"
[[ $arch == win64 ]] && echo "No 32-bit Wine here: scan_bench is built and run for 64-bit Windows"
native_dir="$root/build/bench-native" cross_dir="$root/build/bench-$arch"

cmake -S "$root" -B "$native_dir" -DDUSTREL_SANITIZE=OFF -DDUSTREL_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native_dir" -j"$DUSTREL_JOBS" --target make_tree >/dev/null
cmake -S "$root" -B "$cross_dir" -DCMAKE_TOOLCHAIN_FILE="$(dustrel_windows_toolchain)" \
    -DCMAKE_BUILD_TYPE=Release -DDUSTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$cross_dir" -j"$DUSTREL_JOBS" --target scan_bench window_bench delete_bench \
    >/dev/null

# The stamp is written only once the tree is complete, so an interrupted run starts afresh.
tree="$root/build/bench-tree" stamp="$root/build/bench-tree.stamp"
wanted="folders=$folders files=$files seed=$seed generator=$(md5sum <"$root/bench/make_tree.cpp" | cut -c1-12)"
if [[ $scan == no && $window == no ]]; then
    :  # delete_bench makes its own files
elif [[ ! -f $stamp || $(<"$stamp") != "$wanted" ]]; then
    rm -rf "$tree" "$stamp"
    echo "Writing the tree ($wanted)"
    "$native_dir/make_tree" --folders "$folders" --files "$files" --seed "$seed" "$tree" |
        tee "$root/build/bench-tree.txt"
    echo "$wanted" >"$stamp"
else
    echo "Tree in place ($wanted):"
    cat "$root/build/bench-tree.txt"
fi

export DUSTREL_WINEPREFIX="$root/build/wineprefix-bench"
[[ $arch == win64 ]] && DUSTREL_WINEPREFIX+=64
dustrel_wine_env
dustrel_ensure_prefix
ln -sfn "$tree" "$WINEPREFIX/dosdevices/t:"
# Started afresh each time; delete_bench makes the folders, then the files before each run.
deleting="$root/build/bench-delete"
rm -rf "$deleting" && mkdir -p "$deleting"
ln -sfn "$deleting" "$WINEPREFIX/dosdevices/u:"

status=0
if [[ $scan == yes ]]; then
    echo "scan_bench ($arch) on T:\\ ${bench_args[*]}"
    dustrel_wine "$cross_dir/scan_bench.exe" "T:\\" "${bench_args[@]}" </dev/null || status=$?
fi
if [[ $window == yes || $delete == yes ]]; then
    trap 'dustrel_stop_xvfb; wineserver -k 2>/dev/null || true' EXIT
    dustrel_start_xvfb >/dev/null
fi
if [[ $window == yes ]]; then
    echo "window_bench ($arch) on T:\\ ${window_args[*]}"
    dustrel_wine "$cross_dir/window_bench.exe" "T:\\" "${window_args[@]}" </dev/null || status=$?
fi
if [[ $delete == yes ]]; then
    echo "delete_bench ($arch) on U:\\ ${delete_args[*]}"
    dustrel_wine "$cross_dir/delete_bench.exe" "U:\\" "${delete_args[@]}" </dev/null || status=$?
    rm -rf "$deleting"
fi
wineserver -k 2>/dev/null || true
exit "$status"
