#!/bin/sh
# Runs a fuzz target under AddressSanitizer and UBSan: dispatch (every page
# parser, the default), response (answers from a server and the finishing
# step) or store (task list, task file and journal loading).
#
#   tools/fuzz.sh [SECONDS] [--target NAME] [BUILD_DIR] [-- LIBFUZZER_ARGS...]
#   tools/fuzz.sh SECONDS [--target NAME] --binary PATH [-- LIBFUZZER_ARGS...]
#
# Configures a clang build directory of its own (default build-fuzz beside
# the sources), builds NAME_fuzz there and runs it for SECONDS (default 60)
# starting from the target's seeds in tests/fuzz (SECONDS 0: only builds,
# as the test command does before its tests). New inputs go to a scratch
# directory, so the checked-in seeds stay as they are; a crash is written to
# the current directory as crash-* and makes the script fail.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
build="$root/build-fuzz"
binary=""
target=dispatch
if [ $# -gt 0 ] && [ "$1" != "--" ] && [ "$1" != "--target" ]; then seconds=$1; shift; fi
if [ $# -gt 1 ] && [ "$1" = "--target" ]; then target=$2; shift 2; fi
if [ $# -gt 1 ] && [ "$1" = "--binary" ]; then binary=$2; shift 2; fi
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build=$1; shift; fi
if [ $# -gt 0 ] && [ "$1" = "--" ]; then shift; fi

if [ -z "$binary" ]; then
  # ccache only speeds the build up: used where it is found.
  launcher=""
  if command -v ccache >/dev/null; then launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
  # Configured once: the build step itself configures again when a
  # CMakeLists.txt changed, and the test run's short fuzzing stays short.
  # shellcheck disable=SC2086
  [ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ $launcher \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVIO_FUZZ=ON >/dev/null
  cmake --build "$build" --target "${target}_fuzz" -j2 >/dev/null
  binary="$build/tests/fuzz/${target}_fuzz"
fi
[ "$seconds" != 0 ] || exit 0
case $target in
  dispatch) corpus="$root/tests/fuzz/corpus" ;;
  *) corpus="$root/tests/fuzz/${target}_corpus" ;;
esac

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$binary" -max_total_time="$seconds" -timeout=20 -max_len=16384 \
  -print_final_stats=1 "$@" "$scratch" "$corpus"
