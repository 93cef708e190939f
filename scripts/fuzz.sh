#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs each for a number of
# seconds on a copy of its seed corpus; fails when a target crashes, leaks, hangs or breaks
# one of its checks. Crashing inputs are kept in fuzz/crashes/<target>/ (ignored by git).
#
#   bash scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# clang and its runtime libraries come from scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

seconds=${1:-30}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(fuzz_load fuzz_decode fuzz_runfilter fuzz_bmptojpeg fuzz_framing)
fi

build=$top/build-fuzz
if [ ! -f "$build/build.ninja" ]; then
  mkdir -p "$build"
  # Line tables are all a fuzzer's stack trace needs.
  CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" \
    -DPORTRIK_FUZZ=ON -DPORTRIK_TESTS=OFF -DPORTRIK_BENCH=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
fi
cmake --build "$build" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1 ||
  { tail -50 "$build/fuzz-build.log"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt may look for a runtime folder while decoding; none of the user's.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

# Each fuzzer runs on one core: as many run at once as there are cores.
run() {
  local target=$1 corpus=$work/$1
  mkdir -p "$corpus" "$work/artifacts-$target"
  cp -r "fuzz/corpus/$target/." "$corpus/"
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144
    -print_final_stats=1 -artifact_prefix="$work/artifacts-$target/")
  if [ -f "fuzz/$target.dict" ]; then options+=(-dict="fuzz/$target.dict"); fi
  if "$build/fuzz/$target" "${options[@]}" "$corpus" >"$work/$target.log" 2>&1; then
    echo ok >"$work/$target.status"
  else
    echo FAILED >"$work/$target.status"
  fi
}
cores=$(nproc)
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= cores)); do wait -n || true; done
  run "$target" &
done
wait

failed=0
passed=0
for target in "${targets[@]}"; do
  corpus=$work/$target
  log=$work/$target.log
  status=$(cat "$work/$target.status" 2>/dev/null || echo FAILED)
  if [ "$status" = ok ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  # The last status line holds the coverage; the final statistics the executions.
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "$target: $status, ${execs:-?} executions (${rate:-?}/s), cov: ${cov:-?} ft: ${ft:-?}, corpus $(ls "$corpus" | wc -l) inputs"
  if [ "$status" != ok ]; then
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 || tail -30 "$log"
    if compgen -G "$work/artifacts-$target/*" >/dev/null; then
      mkdir -p "fuzz/crashes/$target"
      cp "$work/artifacts-$target/"* "fuzz/crashes/$target/"
      echo "  inputs kept in fuzz/crashes/$target/"
    fi
  fi
done
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
