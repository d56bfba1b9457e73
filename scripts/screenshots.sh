#!/usr/bin/env bash
# Photographs the real Polvane.exe: its main window, then its About window
# opened with F1, each on its own, at each dpi asked for.
#   scripts/screenshots.sh [FOLDER [DPI...]]     (default: docs/screenshots 96)
# Writes FOLDER/main-DPI.png and FOLDER/about-DPI.png. Runs on $DISPLAY, or
# on a private Xvfb screen when there is none. Expects a built Polvane.exe
# (scripts/run.sh and scripts/test.sh build it): the i686 build where this
# machine runs 32-bit programs, the x86_64 build where it does not.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-docs/screenshots}
shift || true
dpis=("${@:-96}")
[ ${#dpis[@]} -gt 0 ] || dpis=(96)

source scripts/lib/wine-session.sh
exe=$build/Polvane.exe
[ -f "$exe" ] || { echo "no $exe: build it first (bash scripts/run.sh)" >&2; exit 1; }
start_wine_session
key='HKCU\Control Panel\Desktop'
session_cleanups+=("wine reg delete '$key' /v LogPixels /f >/dev/null 2>&1 || true")

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
