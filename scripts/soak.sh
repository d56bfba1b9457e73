#!/usr/bin/env bash
# The long runs at their full counts: 10,000 load and save cycles on both
# scopes and 1,000 About window cycles with clicks on both links, in one
# process under Wine. Prints how far memory grew after the first tenth.
# (The test command runs the same tests with short counts.) Arguments go to
# the test program, for example --gtest_filter=Soak.About*.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target soak_tests link_recorder
source scripts/lib/wine-session.sh
start_wine_session
POLVANE_SOAK=full wine build/windows/soak_tests.exe "$@"
