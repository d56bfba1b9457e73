#!/usr/bin/env bash
# Drives the real Polvane.exe with real X input, as a person would: a click
# on "All Users", a click on "Disable video", Return; then F1, a click on the
# banner and on "Polvane Homepage" with link_recorder.exe standing in for the
# browser, Esc to close About and Esc to end. Reads the results with Wine's
# own reg.exe and the recorder's log.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
build=${1:?build folder}
: "${WINEPREFIX:?}" "${DISPLAY:?}"

policies='Software\Policies\Microsoft\Messenger'
client="$policies\\Client"
wine reg delete "HKLM\\$policies" /f >/dev/null 2>&1 || true
wine reg delete "HKCU\\$policies" /f >/dev/null 2>&1 || true
wine reg add "HKCU\\$client" /v DisablePC2Phone /t REG_DWORD /d 1 /f >/dev/null

# The recorder opens web addresses while this test runs; Wine reads HKCR from
# the machine's classes.
log="$build/links.log"
rm -f "$log"
recorder=$(wine winepath -w "$build/link_recorder.exe" | tr -d '\r')
handlers=()
for scheme in http https; do
  key="HKLM\\Software\\Classes\\$scheme\\shell\\open\\command"
  handlers+=("$key" "$(wine reg query "$key" /ve 2>/dev/null | tr -d '\r' |
    awk '/REG_SZ/ { sub(/^.*REG_SZ[ \t]+/, ""); print }')")
  wine reg add "$key" /ve /d "\"$recorder\" \"%1\"" /f >/dev/null
done

wine "$build/Polvane.exe" &
program=$!
cleanup() {
  kill "$program" 2>/dev/null || true
  for ((i = 0; i < ${#handlers[@]}; i += 2)); do
    if [ -n "${handlers[i + 1]}" ]; then
      wine reg add "${handlers[i]}" /ve /d "${handlers[i + 1]}" /f >/dev/null 2>&1 || true
    else
      wine reg delete "${handlers[i]}" /ve /f >/dev/null 2>&1 || true
    fi
  done
  rm -f "$log"
  wine reg delete "HKLM\\$policies" /f >/dev/null 2>&1 || true
  wine reg delete "HKCU\\$policies" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

window=$(timeout 20 xdotool search --sync --name '^Polvane$' | head -n 1)
click() {  # click WINDOW CONTROL: a control by caption, or by "#id"
  local x y
  read -r x y < <(wine "$build/polvane_probe.exe" center "$1" "$2" | tr -d '\r')
  xdotool mousemove --sync "$x" "$y" click 1
}
value() {  # prints a stored DWORD as 0x..., or "missing"
  wine reg query "$1\\$client" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { print $3; found = 1 } END { if (!found) print "missing" }'
}
fail() { echo "FAIL: $*"; exit 1; }

click Polvane "All Users"
click Polvane "Disable video"
xdotool windowfocus --sync "$window"
xdotool key Return

for _ in $(seq 50); do [ "$(value HKLM DisableVideo)" != missing ] && break; sleep 0.1; done
for name in PreventRun DisableFileTransfer DisablePC2PCAudio DisablePC2Phone; do
  [ "$(value HKLM $name)" = 0x0 ] || fail "HKLM $name is $(value HKLM $name), not 0x0"
done
[ "$(value HKLM DisableVideo)" = 0x1 ] || fail "HKLM DisableVideo is $(value HKLM DisableVideo)"
[ "$(value HKCU DisablePC2Phone)" = 0x1 ] || fail "the current user's values changed"
[ "$(value HKCU DisableVideo)" = missing ] || fail "a value was written for the current user"

xdotool key F1
about=$(timeout 20 xdotool search --sync --name '^About Polvane$' | head -n 1)
click "About Polvane" "#306" # the Messenger banner
for _ in $(seq 100); do [ -s "$log" ] && break; sleep 0.1; done
click "About Polvane" "Polvane Homepage"
for _ in $(seq 100); do [ "$(wc -l <"$log")" -ge 2 ] && break; sleep 0.1; done
expected=$(wine "$build/polvane_probe.exe" links | tr -d '\r')
[ "$(tr -d '\r' <"$log")" = "$expected" ] || fail "the links opened $(tr -d '\r' <"$log"), not $expected"

xdotool windowfocus --sync "$about" key Escape
for _ in $(seq 50); do xdotool search --name '^About Polvane$' >/dev/null || break; sleep 0.1; done
xdotool search --name '^About Polvane$' >/dev/null && fail "Esc did not close the About window"

xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "Esc did not end the program"
echo "1 passed, 0 failed"
