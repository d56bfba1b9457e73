#!/usr/bin/env bash
# Fuzzes the load path, the command line and the Registry.pol reader for
# longer than the test command does, each for SECONDS.
#   scripts/fuzz.sh [SECONDS] [load|command|pol]     (default 600, all three)
# New inputs that reach new code go to build/fuzz/fuzz-work/<target>; a
# crash leaves its input in the current folder as crash-*. Add a find worth
# keeping to tests/fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
targets=${2:-load command pol}
bash scripts/setup-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in $targets; do
  mkdir -p "build/fuzz/fuzz-work/$target"
  build/fuzz/${target}_fuzzer -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
    "build/fuzz/fuzz-work/$target" "tests/fuzz/corpus/$target"
done
