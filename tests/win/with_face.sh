#!/usr/bin/env bash
# Runs a test program with "MS Shell Dlg" (and "MS Shell Dlg 2") mapped to
# another face, as Windows in another language maps it, and puts the
# prefix's own mapping back afterwards.
#   with_face.sh FACE PROGRAM [ARGS...]
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
face=${1:?face}
shift
: "${WINEPREFIX:?}"
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
mapped() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -F'    ' 'NF > 3 { print $4 }'; }
dialog=$(mapped 'MS Shell Dlg') dialog2=$(mapped 'MS Shell Dlg 2')
restore() {
  wine reg add "$key" /v 'MS Shell Dlg' /d "${dialog:-Tahoma}" /f >/dev/null 2>&1 || true
  wine reg add "$key" /v 'MS Shell Dlg 2' /d "${dialog2:-Tahoma}" /f >/dev/null 2>&1 || true
}
trap restore EXIT
wine reg add "$key" /v 'MS Shell Dlg' /d "$face" /f >/dev/null
wine reg add "$key" /v 'MS Shell Dlg 2' /d "$face" /f >/dev/null
wine "$@"
