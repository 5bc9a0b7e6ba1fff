#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds, and starts the program or runs the tests.
#
#   ./build.sh run [ARGS...]   Release build, then start the desktop program with ARGS
#   ./build.sh test            Release build and every test, the static analysis
#                              (tools/analyse.sh), then every test again under AddressSanitizer +
#                              UndefinedBehaviorSanitizer, then a short round of every fuzz target
#                              (fuzz/run.sh)
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-run}
[ $# -gt 0 ] && shift

packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev)
# Qt's own dialogs in German; only the program itself needs them.
[ "$mode" = run ] && packages+=(qt6-translations-l10n)
# The fuzz targets build with clang and link its libFuzzer runtime; the static analysis.
[ "$mode" = test ] && packages+=(clang libclang-rt-14-dev clang-tidy cppcheck)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"

case "$mode" in
  run)
    if [ -x build/app/tavlor ]; then
      # Beside the program lie the piece sets and the help file; saved games go below it too.
      cd build/app
      exec ./tavlor "$@"
    fi
    build/cli/tavlor-cli "$@" || true
    ;;
  test)
    ctest --test-dir build --output-on-failure -j"$jobs"
    # cppcheck and clang-tidy over the product code, with the Release build's compile commands.
    tools/analyse.sh
    # Every test again with sanitizers and bounds asserts, the window's on Qt's offscreen platform.
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
      -DTAVLOR_SANITIZE=ON -DTAVLOR_BUILD_UI=ON -DTAVLOR_BUILD_BENCH=OFF
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
    # A short round of every fuzz target; fuzz/run.sh RUNS runs a longer one.
    fuzz/run.sh 20000
    ;;
  *)
    echo "usage: ./build.sh run [ARGS...] | ./build.sh test" >&2
    exit 2
    ;;
esac
