#!/usr/bin/env bash
# Installs the build's MSI quietly with Wine's own msiexec, as an
# administrator would deploy it, and checks what it put where; runs the
# installed Polvane; installs it again, then the same version rebuilt, then
# a newer one, each replacing the last; refuses the older one; removes it.
# Then the same into a folder of the administrator's choosing, which the
# package must remember; and with the optional feature that puts the folder
# on the system PATH, so that "Polvane" runs at any prompt, and takes it off
# again. Nothing may be left behind but a policy value that was set before.
#   msi_test.sh BUILD PACKAGE REBUILT_PACKAGE NEWER_PACKAGE HOMEPAGE
#   (packages relative to BUILD)
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/wine.sh"
build=${1:?build folder} package=${2:?} rebuilt=${3:?} newer=${4:?} homepage=${5:?}
: "${WINEPREFIX:?}"
cmake --build "$build" --target msi msi_rebuild_test msi_upgrade_test >/dev/null
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
c=$WINEPREFIX/drive_c
# On 64-bit Windows an x86 package installs into Program Files (x86) and
# writes the 32-bit view of HKLM\Software, as it would on Windows itself.
if [ -d "$c/windows/syswow64" ] && [[ $package == *-x86.msi ]]; then
  program_files='Program Files (x86)' view=/reg:32
else
  program_files='Program Files' view=/reg:64
fi
[ -d "$c/windows/syswow64" ] || view=
program="$c/$program_files/Polvane"
templates=$c/windows/PolicyDefinitions
policy='HKCU\Software\Policies\Microsoft\Messenger'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
fail() { echo "FAIL: $*"; exit 1; }
msiexec() {
  local action=$1 file=$2
  shift 2
  wine msiexec "$action" "$(wine winepath -w "$build/$file" | tr -d '\r')" /qn "$@"
}
cleanup() {
  msiexec /x "$newer" >/dev/null 2>&1 || true
  msiexec /x "$rebuilt" >/dev/null 2>&1 || true
  msiexec /x "$package" >/dev/null 2>&1 || true
  wine reg delete "$policy" /f >/dev/null 2>&1 || true
  if [ -n "${path_before:-}" ]; then
    wine reg add "$environment" /v PATH /t REG_EXPAND_SZ /d "$path_before" /f >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT

# A registry value as reg.exe prints it, or nothing.
value() { wine reg query "$1" /v "$2" $view 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
path_before=$(value "$environment" PATH)
# The uninstall entries whose DisplayName is Polvane.
entries() {
  wine reg query "$uninstall" $view | tr -d '\r' | grep '^HKEY' | while read -r key; do
    [ "$(value "$key" DisplayName)" = Polvane ] && echo "$key"
  done || true
}
# Wine's msiexec puts a per-machine shortcut in the installing user's Start
# menu; Windows puts it in the one for all users.
shortcuts() { find "$c/ProgramData" "$c/users" -path '*Start Menu/Programs/Polvane.lnk' 2>/dev/null; }

# The package itself: the program's version in the File table, no change to
# the installation offered, nothing for HKEY_CURRENT_USER.
table() { msiinfo export "$build/$1" "$2" | tr -d '\r' | tail -n +4; }
for file in Polvane.exe Polvane.com; do
  [ "$(table "$package" File | awk -F'\t' -v f=$file '$1 == f { print $5 }')" = 1.0.0.4 ] ||
    fail "the File table has no version for $file"
done
table "$package" Property | grep -qx $'ARPNOMODIFY\t1' || fail "ARPNOMODIFY is not set"
[ -z "$(table "$package" Registry | awk -F'\t' '$2 != 2')" ] || fail "a registry value outside HKLM"

wine reg add "$policy\\Client" /v DisableVideo /t REG_DWORD /d 1 /f >/dev/null
msiexec /i "$package" || fail "msiexec /i $package /qn exited with $?"

for file in Polvane.exe Polvane.com; do
  cmp -s "$program/$file" "$build/$file" || fail "$file is not in Program Files\\Polvane"
done
[ "$(value "$environment" PATH)" = "$path_before" ] || fail "the PATH changed unasked"
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
packed=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s $view | tr -d '\r' |
  awk -v code="$product" '/^HKEY/ { key = $0 } /ProductIcon/ && index($0, code) { print key }')
[ -n "$packed" ] || fail "the entry has no icon"

shown=$(wine "C:\\$program_files\\Polvane\\Polvane.com" /show | tr -d '\r')
[ "$(echo "$shown" | grep -c '=')" -eq 5 ] && echo "$shown" | grep -qx 'DisableVideo=1' ||
  fail "the installed Polvane showed: $shown"

msiexec /i "$package" || fail "installing the same package again exited with $?"
[ "$(entries)" = "$entry" ] || fail "installing it again made another entry: $(entries)"
msiexec /i "$rebuilt" || fail "the same version rebuilt exited with $?"
[ "$(entries | wc -l)" -eq 1 ] || fail "after the same version rebuilt, not one entry: $(entries)"
[ "$(entries)" != "$entry" ] || fail "the same version rebuilt did not replace the installed one"
msiexec /i "$newer" || fail "the upgrade exited with $?"
[ "$(entries | wc -l)" -eq 1 ] || fail "after the upgrade, not one uninstall entry: $(entries)"
newest=$(entries)
if msiexec /i "$package" >/dev/null 2>&1; then fail "the older package was installed over the newer"; fi
[ "$(entries)" = "$newest" ] || fail "the refused downgrade changed the entries: $(entries)"

msiexec /x "$newer" || fail "msiexec /x exited with $?"
[ ! -e "$program" ] || fail "Program Files\\Polvane is left"
[ ! -e "$templates/Polvane.admx" ] && [ ! -e "$templates/en-US/Polvane.adml" ] || fail "templates are left"
[ -z "$(shortcuts)" ] || fail "the shortcut is left"
[ -z "$(entries)" ] || fail "the uninstall entry is left"
! wine reg query 'HKLM\Software\Krestel' $view >/dev/null 2>&1 || fail "HKLM\\Software\\Krestel is left"
[ "$(value "$policy\\Client" DisableVideo)" = 0x1 ] || fail "the policy value was touched"

# A folder of the administrator's choosing is remembered and shown in
# Add/Remove Programs: the same version rebuilt goes there too, a folder
# given to an upgrade wins over it, and the removal takes it away.
chosen='C:\Tools\Polvane Here\'
chosen_unix="$c/Tools/Polvane Here"
msiexec /i "$package" "INSTALLDIR=$chosen" || fail "installing to $chosen exited with $?"
cmp -s "$chosen_unix/Polvane.exe" "$build/Polvane.exe" || fail "Polvane.exe is not in $chosen"
[ "$(value 'HKLM\Software\Krestel\Polvane' InstallDir)" = "$chosen" ] ||
  fail "the folder is not remembered: $(value 'HKLM\Software\Krestel\Polvane' InstallDir)"
[ "$(value "$(entries)" InstallLocation)" = "$chosen" ] ||
  fail "Add/Remove Programs shows no install location: $(value "$(entries)" InstallLocation)"
msiexec /i "$rebuilt" || fail "the same version rebuilt exited with $?"
[ -e "$chosen_unix/Polvane.exe" ] && [ ! -e "$program" ] || fail "the rebuilt package left $chosen"
# A folder given to an upgrade wins over the remembered one.
moved='C:\Tools\Moved\'
moved_unix="$c/Tools/Moved"
msiexec /i "$newer" "INSTALLDIR=$moved" || fail "the upgrade to $moved exited with $?"
[ -e "$moved_unix/Polvane.exe" ] && [ ! -e "$chosen_unix" ] || fail "the upgrade did not move to $moved"
[ "$(value 'HKLM\Software\Krestel\Polvane' InstallDir)" = "$moved" ] || fail "$moved is not remembered"
msiexec /x "$newer" || fail "msiexec /x exited with $?"
[ ! -e "$moved_unix" ] || fail "$moved is left: $(ls "$moved_unix")"
[ -z "$(entries)" ] || fail "the uninstall entry is left"
! wine reg query 'HKCU\Software\Krestel' >/dev/null 2>&1 || fail "the package wrote HKEY_CURRENT_USER"

# The folder on the system PATH, asked for: "Polvane" at a prompt in another
# folder is the console program, and the removal takes the folder off.
folder="C:\\$program_files\\Polvane\\"
msiexec /i "$package" ADDLOCAL=ALL || fail "installing with ADDLOCAL=ALL exited with $?"
[ "$(value "$environment" PATH)" = "$path_before;$folder" ] ||
  fail "the folder is not at the end of the PATH: $(value "$environment" PATH)"
prompt=$(cd / && wine cmd.exe /c 'cd /d C:\windows & Polvane /show' | tr -d '\r')
[ "$(echo "$prompt" | grep -c '=')" -eq 5 ] || fail "Polvane at a prompt printed: $prompt"
msiexec /x "$package" || fail "msiexec /x exited with $?"
case ";$(value "$environment" PATH);" in
  *";$folder;"*) fail "the folder is left on the PATH: $(value "$environment" PATH)" ;;
esac
# Wine's msiexec leaves the separator it added; Windows' takes it too.
wine reg add "$environment" /v PATH /t REG_EXPAND_SZ /d "$path_before" /f >/dev/null
! wine reg query 'HKLM\Software\Krestel' $view >/dev/null 2>&1 || fail "HKLM\\Software\\Krestel is left"
echo "1 passed, 0 failed"
