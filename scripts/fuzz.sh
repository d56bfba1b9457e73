#!/usr/bin/env bash
# Fuzzes the load path for longer than the test command does.
#   scripts/fuzz.sh [SECONDS]      (default 600)
# New inputs that reach new code go to build/fuzz/fuzz-work; a crash leaves
# its input in the current folder as crash-*. Add a find worth keeping to
# tests/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
bash scripts/setup-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/fuzz-work
exec build/fuzz/load_fuzzer -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
  build/fuzz/fuzz-work tests/fuzz/corpus
