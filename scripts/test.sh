#!/usr/bin/env bash
# Installs what is missing, builds Portrik and runs every test: the whole suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of each fuzz target, then the
# whole suite in the normal build. Ends with ctest's summary of the normal build; the exit
# status is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh || exit 1

# Qt wants a private runtime folder when no desktop session provides one.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
fi

# The print tests print through a CUPS server with a PDF queue.
bash scripts/start-cups.sh || echo "CUPS could not be started: the print-queue test will skip."

jobs=$(nproc)
failed=()

# The test builds keep line tables only (enough for every stack trace the sanitizers and
# fuzzers print); full debug information would double the compile time of the dlib and Qt
# code. The sanitizer build runs at -O1, as AddressSanitizer is meant to.
flags() {
  echo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$1 -g1 -DNDEBUG"
  echo "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$1 -g1 -DNDEBUG"
}
mapfile -t sanitize_flags < <(flags -O1)
mapfile -t normal_flags < <(flags -O2)

# Each stage says how long the one before it took.
stage_start=$SECONDS
stage_name=
stage() {
  if [ -n "$stage_name" ]; then
    echo "--- $stage_name: $((SECONDS - stage_start)) s"
  fi
  stage_name=$1
  stage_start=$SECONDS
  [ -n "$1" ] || return 0
  echo
  echo "=== $1"
}

stage "Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
if cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${sanitize_flags[@]}" \
     -DPORTRIK_SANITIZE=ON -DPORTRIK_BENCH=OFF >/dev/null &&
   cmake --build build-sanitize; then
  stage "Sanitizer suite"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" || failed+=("sanitizer suite")
else
  failed+=("sanitizer build")
fi

stage "Fuzz targets, short runs"
bash scripts/fuzz.sh "${PORTRIK_FUZZ_SECONDS:-12}" || failed+=("fuzzing")

stage "Normal build"
if ! { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${normal_flags[@]}" >/dev/null &&
       cmake --build build; }; then
  echo "The normal build failed."
  exit 1
fi
stage "Normal suite"
if ((${#failed[@]})); then
  echo "Failed before the normal suite: ${failed[*]}"
fi
ctest --test-dir build --output-on-failure -j "$jobs" || failed+=("normal suite")
stage ""
echo "--- all stages: $SECONDS s"
((${#failed[@]} == 0))
