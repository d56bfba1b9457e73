#!/usr/bin/env bash
# The long runs at their full counts: 10,000 load and save cycles on both
# scopes and 1,000 About window cycles with clicks on both links, in one
# process under Wine, then 600 /gpo /set and 300 /export runs of the real
# program killed in the midst of their file work. Prints how far memory grew
# after the first tenth.
# (The test command runs the same tests with short counts.) Arguments go to
# the test program, for example --gtest_filter=Soak.About*. Runs the build
# this machine can run: i686 where it runs 32-bit programs, else x86_64.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
source scripts/lib/wine-session.sh
cmake --preset "$(preset_of "$arch")" >/dev/null
cmake --build "$build" --target soak_tests link_recorder Polvane
start_wine_session
echo "Soak of the $arch build, under $WINELOADER"
POLVANE_SOAK=full wine "$build/soak_tests.exe" "$@"
