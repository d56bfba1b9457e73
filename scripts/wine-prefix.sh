#!/usr/bin/env bash
# Makes the Wine prefix that Polvane runs and is tested in, and keeps one
# wineserver running for it so that each program starts quickly. The caller
# chooses the loader and the prefix kind (WINELOADER, WINEARCH), as
# scripts/lib/wine.sh and the ctest entries do.
#   wine-prefix.sh up PREFIX     make the prefix if needed; start the server
#   wine-prefix.sh down PREFIX   stop the server
set -euo pipefail
source "$(dirname "$0")/lib/wine.sh"

action=${1:?up or down}
export WINEPREFIX=${2:?prefix folder}
: "${WINEARCH:?}" "${WINELOADER:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
  up)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "Making a $WINEARCH Wine prefix in $WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      wine wineboot -i >/dev/null 2>&1
      # With no window manager, hiding a managed window waits two seconds.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      # Wine's own Tahoma (what "MS Shell Dlg" maps to) and Marlett (the
      # caption buttons' glyphs) are not always found in Wine's data folder;
      # in the Windows font folder they always are.
      cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      wineserver -w
    fi
    wineserver -p 2>/dev/null || true
    # One program run warms the server up, and shows that the loader runs.
    wine cmd /c exit 0 >/dev/null 2>&1
    ;;
  down)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 up|down PREFIX" >&2
    exit 2
    ;;
esac
