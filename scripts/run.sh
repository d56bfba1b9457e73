#!/usr/bin/env bash
# Builds Polvane.exe and runs it under Wine: the i686 build where this
# machine runs 32-bit programs, the x86_64 build where it does not. With no
# display, it runs on a private Xvfb screen, saves screenshots of the main
# window and of the About window, says where, and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
source scripts/lib/wine.sh
arch=$(runnable_arch)
preset=$(preset_of "$arch")
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Polvane
exe=build/$preset/Polvane.exe
[ "$arch" = i686 ] || echo "This machine cannot run 32-bit programs: running the x86_64 build."

if [ -n "${DISPLAY:-}" ]; then
  use_wine_for "$arch"
  bash scripts/wine-prefix.sh up "$WINEPREFIX"
  trap 'bash scripts/wine-prefix.sh down "$WINEPREFIX"' EXIT
  echo "Running $exe ($arch) under $WINELOADER"
  wine "$exe"
  exit 0
fi

# No display: photograph both windows on a private Xvfb screen instead.
bash scripts/screenshots.sh screenshots 96
echo "Polvane ($exe, $arch, under $(use_wine_for "$arch"; echo "$WINELOADER")) ran on Xvfb;" \
  "screenshots of its windows are in $PWD/screenshots"
