#!/usr/bin/env bash
# Runs a test program with the Wine prefix set to another dpi, as a user who
# chose 125 % or 150 % would have it, and puts the prefix back afterwards.
#   at_dpi.sh DPI PROGRAM [ARGS...]
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
dpi=${1:?dpi}
shift
: "${WINEPREFIX:?}"
key='HKCU\Control Panel\Desktop'
restore() { wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true; }
trap restore EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
POLVANE_EXPECT_DPI=$dpi wine "$@"
