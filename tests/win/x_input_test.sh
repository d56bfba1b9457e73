#!/usr/bin/env bash
# Drives the real Polvane.exe with real X input, as a person would: a click
# on "All Users", a click on "Disable video", Return; then Esc. Reads the
# result with Wine's own reg.exe.
set -euo pipefail
build=${1:?build folder}
: "${WINEPREFIX:?}" "${DISPLAY:?}"

policies='Software\Policies\Microsoft\Messenger'
client="$policies\\Client"
wine reg delete "HKLM\\$policies" /f >/dev/null 2>&1 || true
wine reg delete "HKCU\\$policies" /f >/dev/null 2>&1 || true
wine reg add "HKCU\\$client" /v DisablePC2Phone /t REG_DWORD /d 1 /f >/dev/null

wine "$build/Polvane.exe" &
program=$!
cleanup() {
  kill "$program" 2>/dev/null || true
  wine reg delete "HKLM\\$policies" /f >/dev/null 2>&1 || true
  wine reg delete "HKCU\\$policies" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

window=$(timeout 20 xdotool search --sync --name '^Polvane$' | head -n 1)
click() {
  local x y
  read -r x y < <(wine "$build/polvane_probe.exe" center "$1" | tr -d '\r')
  xdotool mousemove --sync "$x" "$y" click 1
}
value() {  # prints a stored DWORD as 0x..., or "missing"
  wine reg query "$1\\$client" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { print $3; found = 1 } END { if (!found) print "missing" }'
}
fail() { echo "FAIL: $*"; exit 1; }

click "All Users"
click "Disable video"
xdotool windowfocus --sync "$window"
xdotool key Return

for _ in $(seq 50); do [ "$(value HKLM DisableVideo)" != missing ] && break; sleep 0.1; done
for name in PreventRun DisableFileTransfer DisablePC2PCAudio DisablePC2Phone; do
  [ "$(value HKLM $name)" = 0x0 ] || fail "HKLM $name is $(value HKLM $name), not 0x0"
done
[ "$(value HKLM DisableVideo)" = 0x1 ] || fail "HKLM DisableVideo is $(value HKLM DisableVideo)"
[ "$(value HKCU DisablePC2Phone)" = 0x1 ] || fail "the current user's values changed"
[ "$(value HKCU DisableVideo)" = missing ] || fail "a value was written for the current user"

xdotool key Escape
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "Esc did not end the program"
echo "1 passed, 0 failed"
