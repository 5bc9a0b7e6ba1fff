#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for a number of inputs, two at
# a time. New inputs go to build-fuzz/corpus/<target>, findings to build-fuzz/findings/; the seed
# corpora in fuzz/corpus/ are only read. Exits non-zero when a target finds anything.
#
#   fuzz/run.sh [RUNS] [TARGET...]   default 20000 runs of every target
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fen saved_game profile transfer move_text rtf)

build=build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTAVLOR_FUZZ=ON -DTAVLOR_BUILD_UI=OFF \
  -DTAVLOR_BUILD_TESTS=OFF -DTAVLOR_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/findings" "$build/logs"
run_target() {
  local target=$1
  local seeds=fuzz/corpus/$target corpus=$build/corpus/$target
  local options=()
  mkdir -p "$corpus"
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  # One input may take seconds only when it is a long game; more is a hang.
  if "$build/fuzz/fuzz_$target" -runs="$runs" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "${options[@]}" \
    "$corpus" "$seeds" >"$build/logs/$target.log" 2>&1; then
    echo "fuzz_$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
      "$build/logs/$target.log" | grep -o '[0-9]*$') runs, no finding"
  else
    echo "fuzz_$target: FINDING, see $build/logs/$target.log" >&2
    tail -40 "$build/logs/$target.log" >&2
    return 1
  fi
}

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  rm -f "$build/logs/$target.ok"
  (run_target "$target" && touch "$build/logs/$target.ok") &
done
wait
failed=0
for target in "${targets[@]}"; do
  [ -f "$build/logs/$target.ok" ] || failed=1
done
exit $failed
