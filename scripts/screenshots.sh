#!/usr/bin/env bash
# Photographs the real Polvane.exe: its main window, then its About window
# opened with F1, each on its own, at each dpi asked for.
#   scripts/screenshots.sh [FOLDER [DPI...]]     (default: docs/screenshots 96)
# Writes FOLDER/main-DPI.png and FOLDER/about-DPI.png. Runs on $DISPLAY, or
# on a private Xvfb screen when there is none. Expects a built Polvane.exe
# (scripts/run.sh and scripts/test.sh build it).
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-docs/screenshots}
shift || true
dpis=("${@:-96}")
[ ${#dpis[@]} -gt 0 ] || dpis=(96)

export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wineprefix}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe=build/windows/Polvane.exe
[ -f "$exe" ] || { echo "no $exe: build it first (bash scripts/run.sh)" >&2; exit 1; }

cleanups=()
on_exit() { for ((i = ${#cleanups[@]} - 1; i >= 0; i--)); do eval "${cleanups[i]}"; done; }
trap on_exit EXIT

# Wine's desktop process binds to the display it starts on, so a private
# screen comes first.
if [ -z "${DISPLAY:-}" ]; then
  display_number=$(((RANDOM % 400) + 100))
  while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
  export DISPLAY=":$display_number"
  Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  cleanups+=("kill $! 2>/dev/null")
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
bash scripts/wine-prefix.sh up "$WINEPREFIX"
cleanups+=("bash scripts/wine-prefix.sh down '$WINEPREFIX'")
key='HKCU\Control Panel\Desktop'
cleanups+=("wine reg delete '$key' /v LogPixels /f >/dev/null 2>&1 || true")

mkdir -p "$folder"
for dpi in "${dpis[@]}"; do
  wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wine "$exe" &
  program=$!
  main=$(timeout 30 xdotool search --sync --name '^Polvane$' | head -n 1)
  sleep 1 # let the window finish painting
  import -window "$main" "$folder/main-$dpi.png"
  xdotool windowfocus --sync "$main" key F1
  about=$(timeout 30 xdotool search --sync --name '^About Polvane$' | head -n 1)
  sleep 1
  import -window "$about" "$folder/about-$dpi.png"
  wine taskkill /im Polvane.exe >/dev/null 2>&1 || true
  wait "$program" || true
  echo "$folder/main-$dpi.png $folder/about-$dpi.png"
done
