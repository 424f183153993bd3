#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan on) and runs each for SECONDS
# seconds, starting from and adding to its corpus in fuzz/corpus/<target>. A finding stops the run
# with the crashing input saved in build-fuzz/findings; check it in as a corpus file once fixed.
# Usage: scripts/fuzz.sh [SECONDS, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
# Each with the longest input worth trying: a little over the buffer that the reply or line goes to.
declare -A max_len=([fuzz_read_reply]=400 [fuzz_ack]=300 [fuzz_boot_reply]=256 [fuzz_number]=64 [fuzz_sim_frames]=700)
targets=(fuzz_read_reply fuzz_ack fuzz_boot_reply fuzz_number fuzz_sim_frames)

command -v clang++ >/dev/null || scripts/packages.sh clang

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSW_FUZZ=ON -DSW_WITH_QT=OFF -DSW_TESTS=OFF \
  -DSW_SANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]}"

mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  work=build-fuzz/corpus/$target
  mkdir -p "$corpus" "$work"
  echo "== $target (${seconds} s)"
  # The checked-in corpus is read first; what the run finds new goes to the build folder.
  build-fuzz/fuzz/$target -max_total_time="$seconds" -max_len="${max_len[$target]}" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/$target- "$work" "$corpus" 2>&1 |
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Test unit written'
done
