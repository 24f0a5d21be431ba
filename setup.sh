#!/usr/bin/env bash
# Zelmor set-up: installs the Debian packages that are missing, builds, and
# either starts the program on the bundled sample school (run) or runs the
# whole test suite (test). Meant to be run as root on Debian 12; as another
# user it calls sudo for the package installation.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
ROOT=$(pwd)

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpango1.0-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libx11-dev xvfb xauth
  python3 python3-dbfread python3-dbf libdbd-xbase-perl file poppler-utils unrtf
  libshp-dev
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

jobs() { nproc 2>/dev/null || echo 2; }

configure_build() {  # <dir> <cmake args...>
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(jobs)"
}

cmd_run() {
  install_missing
  configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMOR_TESTS=OFF
  # The program works in its own folder: the data folders are its sub-folders.
  local home="${ZELMOR_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/zelmor/programa}"
  mkdir -p "$home"
  if [ -d samples/datos ] && [ ! -e "$home/ejemplo" ]; then
    cp -r samples/datos "$home/ejemplo"
  fi
  # The sample exchange folder as C:\QTEMP, for "Importar datos".
  local drive_c="${ZELMOR_DRIVE_C:-${XDG_DATA_HOME:-$HOME/.local/share}/zelmor/c}"
  if [ -d samples/qtemp ] && [ ! -e "$drive_c/QTEMP" ]; then
    mkdir -p "$drive_c"
    cp -r samples/qtemp "$drive_c/QTEMP"
  fi
  cd "$home"
  # Zelmor's windows need an X server; without one it says how to get one.
  exec "$ROOT/build/release/zelmor" "$@"
}

# Every C++ file of ours keeps the house format (.clang-format).
check_format() {
  local files
  files=$(find platform shell organizer tools tests bench fuzz resources dataaware reportview buttons gradient \
            \( -name '*.cpp' -o -name '*.h' \) -not -path '*/build/*' 2>/dev/null)
  clang-format --dry-run --Werror $files
}

cmd_test() {
  install_missing
  check_format
  configure_build build/test -DCMAKE_BUILD_TYPE=Debug -DZELMOR_SANITIZE=ON -DZELMOR_BENCH=ON
  # The tests (label unit), the include check (layers) and every benchmark
  # run once (bench). A test that needs a tool this script installs fails
  # without it.
  rm -rf build/test/test-results
  (cd build/test && ZELMOR_REQUIRE_TOOLS=1 ctest --output-on-failure -j "$(jobs)")
  report_skips build/test/test-results
  # Parsers of outside input are fuzzed for a few seconds each (clang, libFuzzer).
  cmake -S "$ROOT" -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELMOR_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build build/fuzz -j "$(jobs)" --target fuzzers
  (cd build/fuzz && ctest --output-on-failure -L 'fuzz|layers' -j "$(jobs)")
}

# How many tests skipped, which, and why: a skip passes, so it shows only
# here. Reads the reports the test programs write (test-results/*.xml).
report_skips() {  # <folder of reports>
  local skipped
  skipped=$(cat "$1"/*.xml 2>/dev/null | awk '
    /<testcase .*result="skipped"/ {
      match($0, / name="[^"]*"/); name = substr($0, RSTART + 7, RLENGTH - 8)
      match($0, / classname="[^"]*"/); suite = substr($0, RSTART + 12, RLENGTH - 13)
      getline why; sub(/.*&#x0A;/, "", why); sub(/".*/, "", why)
      print suite "." name ": " why
    }')
  echo "Tests skipped: $(printf '%s' "$skipped" | grep -c '^')"
  [ -z "$skipped" ] || echo "$skipped" | sed 's/^/  /'
}

case "${1:-}" in
  run) shift; cmd_run "$@" ;;
  test) shift; cmd_test "$@" ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
