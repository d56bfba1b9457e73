#!/usr/bin/env bash
# Installs the build's MSI quietly with Wine's own msiexec, as an
# administrator would deploy it, and checks what it put where; runs the
# installed Polvane; upgrades it with a newer package; removes it. Nothing
# may be left behind but a policy value that was set before.
#   msi_test.sh BUILD PACKAGE NEWER_PACKAGE HOMEPAGE   (packages relative to BUILD)
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
build=${1:?build folder} package=${2:?} newer=${3:?} homepage=${4:?}
: "${WINEPREFIX:?}"
cmake --build "$build" --target msi msi_upgrade_test >/dev/null
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
c=$WINEPREFIX/drive_c
program="$c/Program Files/Polvane"
templates=$c/windows/PolicyDefinitions
policy='HKCU\Software\Policies\Microsoft\Messenger'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
fail() { echo "FAIL: $*"; exit 1; }
msiexec() { wine msiexec "$1" "$(wine winepath -w "$build/$2" | tr -d '\r')" /qn; }
cleanup() {
  msiexec /x "$newer" >/dev/null 2>&1 || true
  msiexec /x "$package" >/dev/null 2>&1 || true
  wine reg delete "$policy" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

# A registry value as reg.exe prints it, or nothing.
value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
# The uninstall entries whose DisplayName is Polvane.
entries() {
  wine reg query "$uninstall" | tr -d '\r' | grep '^HKEY' | while read -r key; do
    [ "$(value "$key" DisplayName)" = Polvane ] && echo "$key"
  done || true
}
# Wine's msiexec puts a per-machine shortcut in the installing user's Start
# menu; Windows puts it in the one for all users.
shortcuts() { find "$c/ProgramData" "$c/users" -path '*Start Menu/Programs/Polvane.lnk' 2>/dev/null; }

wine reg add "$policy\\Client" /v DisableVideo /t REG_DWORD /d 1 /f >/dev/null
msiexec /i "$package" || fail "msiexec /i $package /qn exited with $?"

cmp -s "$program/Polvane.exe" "$build/Polvane.exe" || fail "Polvane.exe is not in Program Files\\Polvane"
cmp -s "$templates/Polvane.admx" "$source_dir/policy/Polvane.admx" || fail "no Polvane.admx in PolicyDefinitions"
cmp -s "$templates/en-US/Polvane.adml" "$source_dir/policy/en-US/Polvane.adml" || fail "no en-US\\Polvane.adml"
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "no Start menu shortcut"
[ "$(entries | wc -l)" -eq 1 ] || fail "not one uninstall entry: $(entries)"
entry=$(entries)
version=${package#Polvane-}
version=${version%-*}
for field in "Publisher=Krestel" "DisplayVersion=$version" "URLInfoAbout=$homepage"; do
  [ "$(value "$entry" "${field%%=*}")" = "${field#*=}" ] || fail "$field: $(value "$entry" "${field%%=*}")"
done
product=${entry##*\\}
packed=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' |
  awk -v code="$product" '/^HKEY/ { key = $0 } /ProductIcon/ && index($0, code) { print key }')
[ -n "$packed" ] || fail "the entry has no icon"

shown=$(wine "C:\\Program Files\\Polvane\\Polvane.exe" /show | tr -d '\r')
[ "$(echo "$shown" | grep -c '=')" -eq 5 ] && echo "$shown" | grep -qx 'DisableVideo=1' ||
  fail "the installed Polvane showed: $shown"

msiexec /i "$newer" || fail "the upgrade exited with $?"
[ "$(entries | wc -l)" -eq 1 ] || fail "after the upgrade, not one uninstall entry: $(entries)"
[ "$(entries)" != "$entry" ] || fail "the upgrade left the older entry"

msiexec /x "$newer" || fail "msiexec /x exited with $?"
[ ! -e "$program" ] || fail "Program Files\\Polvane is left"
[ ! -e "$templates/Polvane.admx" ] && [ ! -e "$templates/en-US/Polvane.adml" ] || fail "templates are left"
[ -z "$(shortcuts)" ] || fail "the shortcut is left"
[ -z "$(entries)" ] || fail "the uninstall entry is left"
! wine reg query 'HKLM\Software\Krestel' >/dev/null 2>&1 || fail "HKLM\\Software\\Krestel is left"
[ "$(value "$policy\\Client" DisableVideo)" = 0x1 ] || fail "the policy value was touched"
echo "1 passed, 0 failed"
