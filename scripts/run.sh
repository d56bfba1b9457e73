#!/usr/bin/env bash
# Builds Polvane.exe and runs it under Wine. With no display, it runs on a
# private Xvfb screen, saves screenshots of the main window and of the About
# window, says where, and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Polvane

export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wineprefix}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe=build/windows/Polvane.exe
cleanup() { bash scripts/wine-prefix.sh down "$WINEPREFIX"; }

if [ -n "${DISPLAY:-}" ]; then
  bash scripts/wine-prefix.sh up "$WINEPREFIX"
  trap cleanup EXIT
  echo "Running $exe"
  wine "$exe"
  exit 0
fi

# No display: a private Xvfb screen first, since Wine's desktop process binds
# to the display it starts on.
display_number=$(((RANDOM % 400) + 100))
while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'cleanup; kill $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
bash scripts/wine-prefix.sh up "$WINEPREFIX"

wine "$exe" &
program=$!
main=$(timeout 30 xdotool search --sync --name '^Polvane$' | head -n 1)
sleep 1 # let the window finish painting
mkdir -p screenshots
import -window root screenshots/polvane-main.png
# Help > About through its shortcut, as a user would press it.
xdotool windowfocus --sync "$main" key F1
timeout 30 xdotool search --sync --name '^About Polvane$' >/dev/null
sleep 1
import -window root screenshots/polvane-about.png
echo "Polvane ran on Xvfb; screenshots of its windows: $PWD/screenshots/polvane-main.png," \
  "$PWD/screenshots/polvane-about.png"
wine taskkill /im Polvane.exe >/dev/null 2>&1 || true
wait "$program"
