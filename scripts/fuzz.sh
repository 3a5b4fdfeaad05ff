#!/usr/bin/env bash
# Fuzzes one target for a given time:  scripts/fuzz.sh TARGET SECONDS
#   TARGET: collector_frames, run_window, cycle_file, thermistor or template_package
# Builds the libFuzzer programs with clang (ASan and UBSan on) into build-fuzz/ (or
# $PCR_FUZZ_BUILD_DIR), starts from the seed corpus in tests/fuzz/corpus/TARGET and keeps what it
# finds in build-fuzz/corpus/TARGET; a crash leaves its input in build-fuzz/ and a non-zero exit.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PCR_FUZZ_BUILD_DIR:-$root/build-fuzz}
if ! command -v clang++ >/dev/null; then
  echo "clang++ is needed for fuzzing" >&2
  exit 2
fi
if [ ! -d "$root/tests/fuzz/corpus/$target" ]; then
  echo "no such fuzz target: $target" >&2
  exit 2
fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPCR_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$target"
mkdir -p "$build/corpus/$target"
cd "$build"
exec "./tests/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
  "$build/corpus/$target" "$root/tests/fuzz/corpus/$target"
