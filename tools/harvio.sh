#!/usr/bin/env bash
# Set-up, build, run and test of Harvio on Debian 12.
#   tools/harvio.sh run    build both programs and start harvio.exe under Wine
#                          with the offline demo site (--no-demo: without)
#   tools/harvio.sh demo   run the demo tasks with harvio-cli, no window
#   tools/harvio.sh test   build both trees and run every test
#   tools/harvio.sh build  build both trees as the tests need them, run none
#   tools/harvio.sh package  the release files in dist/: the zip, the
#                          installer, SHA256SUMS (tools/release/package.sh)
# Each command first installs what is missing (as root, or through sudo):
# packages, the zh_CN.UTF-8 locale and the Wine prefix. Nothing is done when
# everything is in place already.
#
# The product is the i686 build (build-win/), always compiled. A machine whose
# kernel cannot execute 32-bit programs cannot run it under Wine; there the
# same sources are also built for x86_64 (build-win64/) and that build is run
# and tested, in its own prefix .wineprefix64/. HARVIO_WIN64=1 takes the
# x86_64 path on any machine.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native_build="$root/build"
win32_build="$root/build-win"
win64_build="$root/build-win64"
win_build=$win32_build
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

packages=(
  cmake g++ libgtest-dev libgmock-dev python3
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth xdotool locales fonts-wqy-microhei
  fp-utils libchm-bin clang libclang-rt-14-dev
  nsis p7zip-full git libssl-dev ca-certificates openssl
)

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) == installed ]] || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [[ -z "$missing" ]] && return 0
  echo "harvio: installing:" $missing >&2
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  as_root apt-get update -q
  # Recommended packages stay: Wine relies on some of them (fonts, libraries
  # of the i386 side) to draw its windows.
  # shellcheck disable=SC2086
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
}

install_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return 0
  echo "harvio: generating the zh_CN.UTF-8 locale" >&2
  if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
}

# Decides which Windows build runs here, by running Wine's own 32-bit loader:
# the kernel's abilities differ between machines of the same kind, so they
# are tried, never guessed.
choose_windows_build() {
  if [[ -n ${HARVIO_WIN64:-} && ${HARVIO_WIN64} != 0 ]]; then
    win_variant="x86_64 build (build-win64/): HARVIO_WIN64=${HARVIO_WIN64} asks for it"
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    win_variant="i686 build (build-win/): this machine executes 32-bit programs"
    export HARVIO_WINE_ARCH=win32
    return 0
  else
    win_variant="x86_64 build (build-win64/): this machine cannot execute 32-bit programs"
  fi
  win_build=$win64_build
  export HARVIO_WINE_ARCH=win64
}

set_up() {
  install_packages
  install_locale
  choose_windows_build
  "$root/tools/run-wine" --prepare
}

# ccache only speeds builds up: used where it is found, never required.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# "--target A B" for targets A B; nothing (every target) for none.
targets_of() {
  [[ $# -eq 0 ]] || echo --target "$@"
}

# build_windows_for DIR CPU [TARGET...]: everything when no target is named.
build_windows_for() {
  local dir=$1 cpu=$2
  shift 2
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/toolchain-mingw-$cpu.cmake" >/dev/null
  cmake --build "$dir" -j "$jobs" $(targets_of "$@")
}

# The i686 build in every case, so a fault of the 32-bit product fails here.
build_windows() {
  build_windows_for "$win32_build" i686 "$@"
  if [[ $win_build == "$win64_build" ]]; then
    build_windows_for "$win64_build" x86_64 "$@"
  fi
}

# build_native [TARGET...]: everything, tests included, when none is named.
build_native() {
  cmake -S "$root" -B "$native_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DHARVIO_WIN_BUILD_DIR="$win_build" >/dev/null
  cmake --build "$native_build" -j "$jobs" $(targets_of "$@")
}

# The fuzz targets' clang build, made ahead of the tests, so that their short
# fuzz runs time the fuzzing and not a compiler.
build_fuzz() {
  command -v clang++ >/dev/null || return 0
  local target
  for target in dispatch response store; do
    "$root/tools/fuzz.sh" 0 --target "$target" "$native_build/fuzz-clang"
  done
}

# What run and demo start: the programs and the demo server, no test program.
program_targets=(harvio-cli fixture_server)
window_targets=(harvio harvio_pages)

# The offline demo (tools/demo.sh): the site of demo/ on loopback under the
# catalog's hosts, slowed down so the thread list can be watched at work.
demo_delay_ms=500
demo_rate=16384

# Unless Option.ini beside harvio.exe names one, the wizard's work folder is
# Download\ there too, beside the demo's pictures, not hidden in the prefix.
set_work_path() {
  local ini="$win_build/ui/Option.ini" path LC_ALL=C
  path="Z:$(printf '%s' "$win_build/ui/Download/" | tr / '\\')"
  # The program takes at most 63 bytes of code page 936: plain ASCII here.
  [[ ${#path} -le 63 && $path =~ ^[[:print:]]+$ ]] || return 0
  grep -qs '^WorkPath=' "$ini" && return 0
  printf '[General]\r\nWorkPath=%s\r\n' "$path" >>"$ini"
}

# harvio.exe with the demo site; its first start gets the demo tasks.
run_with_demo() {
  "$root/tools/demo.sh" tasks "$native_build/cli/harvio-cli" "$win_build/ui"
  "$root/tools/demo.sh" serve "$native_build" --delay "$demo_delay_ms" \
    --rate "$demo_rate" -- "$root/tools/run-wine" "$win_build/ui/harvio.exe"
}

run_demo_headless() {
  "$root/tools/demo.sh" headless "$native_build" "$native_build/demo"
}

build_for_tests() {
  set_up
  build_windows
  build_native
  build_fuzz
  echo "harvio: the Wine tests run the $win_variant"
}

case "${1:-}" in
  run)
    set_up
    build_windows "${window_targets[@]}"
    build_native "${program_targets[@]}"
    echo "harvio: starting the $win_variant"
    set_work_path
    if [[ ${2:-} == --no-demo ]]; then
      exec "$root/tools/run-wine" "$win_build/ui/harvio.exe"
    fi
    run_with_demo
    ;;
  demo)
    install_packages
    install_locale
    build_native "${program_targets[@]}"
    run_demo_headless
    ;;
  build)
    build_for_tests
    ;;
  test)
    build_for_tests
    cd "$native_build"
    ctest --output-on-failure --timeout 300 -j "$(nproc)"
    ;;
  package)
    install_packages
    build_windows_for "$win32_build" i686
    "$root/tools/release/package.sh" "$win32_build" "$root/dist"
    ;;
  *)
    echo "usage: tools/harvio.sh run [--no-demo] | demo | test | build | package" >&2
    exit 2
    ;;
esac
