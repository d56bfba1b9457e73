#!/usr/bin/env bash
# Builds every configuration and runs every test: the Windows-free code
# natively under sanitizers, then the Windows builds and their tests under
# Wine, on a private Xvfb screen when there is no display. The x86_64 build's
# Wine suite runs on every machine; the i686 build, the program that ships,
# is always built, and its Wine suite runs wherever the kernel runs 32-bit
# programs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
source scripts/lib/wine.sh

for preset in native fuzz windows windows-x64; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
done

status=0
ctest --preset native || status=1
ctest --preset fuzz || status=1

# One build's whole suite, its Wine tests among them, in each kind of prefix
# named after the architecture (win32, win64, wow64). A build whose Wine tests
# have gone missing in one of them (a lost label, say) fails rather than
# passing with nothing run.
run_wine_suite() {
  local arch=$1 preset
  preset=$(preset_of "$arch")
  echo "The $arch build's tests, under $(use_wine_for "$arch"; echo "$WINELOADER")"
  # A Wine test that fails is run once more before it counts: under Wine a
  # few window and shell tests lose a race now and then (a link handed to
  # the shell that never starts its handler, a layout read mid-change); a
  # fault fails both runs. Each retry is printed in the log.
  local run=(ctest --preset "$preset" --no-tests=error --repeat until-pass:2)
  if [ -n "${DISPLAY:-}" ]; then
    "${run[@]}" || status=1
  else
    xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "${run[@]}" || status=1
  fi
  local kind
  for kind in "${@:2}"; do
    ctest --preset "$preset" -N -L "^$kind\$" | grep -q 'Total Tests: [1-9]' || {
      echo "FAIL: the $arch build has no Wine tests in a $kind prefix"
      status=1
    }
  done
  # The servers are stopped by the tests' own clean-up; this catches an
  # aborted run.
  local prefix
  for prefix in "build/$preset"/wineprefix*; do
    [ -d "$prefix" ] && (use_wine_for "$arch" && WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null)
  done || true
}

# Two builds of the release from this tree, in two folders, must be the same
# bytes.
bash tests/reproducible_test.sh || status=1

run_wine_suite x86_64 win64
# The two packages as one product line, in the x86_64 build's prefix.
(use_wine_for x86_64 && scripts/wine-prefix.sh up "$WINEPREFIX" >/dev/null &&
  bash tests/win/msi_cross_test.sh build/windows/Polvane-*-x86.msi build/windows-x64/Polvane-*-x64.msi;
  rc=$?; scripts/wine-prefix.sh down "$WINEPREFIX"; exit $rc) || status=1
if runs_32bit_programs; then
  run_wine_suite i686 win32 wow64
else
  # What needs no Wine (the release ZIP) is still checked.
  ctest --preset windows --no-tests=error -LE wine || status=1
  echo "32-bit Windows programs cannot run on this machine: the i686 build was compiled, its Wine tests were not run."
fi

exit $status
