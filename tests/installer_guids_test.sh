#!/usr/bin/env bash
# The x86 and x64 packages must not share a component GUID: Windows Installer
# keeps one component of one bitness under each. Every component takes its
# GUID from the architecture's block of defines in the package source.
#   installer_guids_test.sh installer/Polvane.wxs
set -euo pipefail
wxs=${1:?Polvane.wxs}
fail() { echo "FAIL: $*"; exit 1; }
block() { awk -v start="$1" -v stop="$2" 'index($0, start) { on = 1; next } index($0, stop) { on = 0 } on' "$wxs"; }
guids() { grep -o '[0-9A-F]\{8\}-[0-9A-F]\{4\}-[0-9A-F]\{4\}-[0-9A-F]\{4\}-[0-9A-F]\{12\}' | sort; }
x64=$(block '<?if $(var.Arch) = x64 ?>' '<?else?>' | grep -v UpgradeCode | guids)
x86=$(block '<?else?>' '<?endif?>' | grep -v UpgradeCode | guids)
[ -n "$x64" ] && [ "$(wc -l <<<"$x64")" -eq "$(wc -l <<<"$x86")" ] || fail "the blocks differ in size"
shared=$(comm -12 <(echo "$x64") <(echo "$x86"))
[ -z "$shared" ] || fail "both architectures use $shared"
fixed=$(grep '<Component ' "$wxs" | grep -v 'Guid="\$(var\.' || true)
[ -z "$fixed" ] || fail "a component GUID shared by both architectures: $fixed"
echo "1 passed, 0 failed"
