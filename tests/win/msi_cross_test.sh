#!/usr/bin/env bash
# The x86 and x64 packages are one product line: installed one after the
# other, in either order, the second replaces the first, and removing it
# leaves nothing of either behind; and the README's start-up script finds
# and runs whichever is installed. Run in the x86_64 build's prefix, which
# takes both.
#   msi_cross_test.sh X86_PACKAGE X64_PACKAGE
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
x86=$(realpath "${1:?x86 package}") x64=$(realpath "${2:?x64 package}")
: "${WINEPREFIX:?}"
c=$WINEPREFIX/drive_c
templates=$c/windows/PolicyDefinitions
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
policies='HKLM\Software\Policies\Microsoft\Messenger'
startup=$(wine winepath -w "$(dirname "$(realpath "$0")")/../../deploy/startup.cmd" | tr -d '\r')
fail() { echo "FAIL: $*"; exit 1; }
msiexec() { wine msiexec "$1" "$(wine winepath -w "$2" | tr -d '\r')" /qn; }
folder() { [ "$1" = "$x86" ] && echo "$c/Program Files (x86)/Polvane" || echo "$c/Program Files/Polvane"; }
# The uninstall entries named Polvane, in either registry view.
entries() {
  for view in 32 64; do
    wine reg query "$uninstall" /s /reg:$view 2>/dev/null | tr -d '\r'
  done | grep -cE '^ +DisplayName +REG_SZ +Polvane$' || true
}
cleanup() {
  for package in "$x86" "$x64"; do msiexec /x "$package" >/dev/null 2>&1 || true; done
  wine reg delete "$policies" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT
cleanup

for order in "$x86 $x64" "$x64 $x86"; do
  read -r first second <<<"$order"
  msiexec /i "$first" || fail "installing $(basename "$first") exited with $?"
  msiexec /i "$second" || fail "installing $(basename "$second") exited with $?"
  [ -e "$(folder "$second")/Polvane.exe" ] || fail "$(basename "$second") did not install"
  [ ! -e "$(folder "$first")" ] || fail "$(basename "$second") left $(basename "$first")'s folder"
  [ -e "$templates/Polvane.admx" ] && [ -e "$templates/en-US/Polvane.adml" ] ||
    fail "the templates went with $(basename "$first")"
  [ "$(entries)" -eq 1 ] || fail "not one uninstall entry after $(basename "$second")"
  wine cmd /c "$startup" || fail "startup.cmd exited with $? after $(basename "$second")"
  wine reg query "$policies\Client" /v PreventRun 2>/dev/null | tr -d '\r' |
    grep -qE 'PreventRun +REG_DWORD +0x1$' || fail "startup.cmd set nothing after $(basename "$second")"
  wine reg delete "$policies" /f >/dev/null 2>&1
  msiexec /x "$second" || fail "removing $(basename "$second") exited with $?"
  [ ! -e "$(folder "$second")" ] && [ ! -e "$templates/Polvane.admx" ] || fail "files are left"
  [ "$(entries)" -eq 0 ] || fail "an uninstall entry is left"
  ! wine reg query 'HKLM\Software\Krestel' >/dev/null 2>&1 || fail "HKLM\\Software\\Krestel is left"
done
echo "1 passed, 0 failed"
