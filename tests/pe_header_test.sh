#!/usr/bin/env bash
# Checks a program's PE header without running it, so that the i686 build
# is checked where 32-bit programs cannot run: the machine type of its
# build, its subsystem (Polvane.exe a windowed program, Polvane.com a
# console one), Windows 7 (6.1) as the subsystem and OS version it is made
# for, and its size: under 512 KiB for either build, all its pictures
# included, a bound against accidents (a library linked in whole, a debug
# build shipped) rather than a target.
#   pe_header_test.sh OBJDUMP EXE i386|i386:x86-64 "Windows GUI"|"Windows CUI"
set -euo pipefail
objdump=${1:?objdump} exe=${2:?exe} machine=${3:?machine} subsystem=${4:?subsystem}
header=$("$objdump" -p "$exe")
fail() { echo "FAIL: $*"; exit 1; }
grep -q "architecture: $machine," <<<"$("$objdump" -f "$exe")" || fail "not an $machine program"
for field in MajorSubsystemVersion=6 MinorSubsystemVersion=1 MajorOSystemVersion=6 \
  MinorOSystemVersion=1; do
  grep -Eq "^${field%%=*}[[:space:]]+${field#*=}$" <<<"$header" || fail "$field"
done
grep -q "($subsystem)" <<<"$header" || fail "not a $subsystem program"
size=$(stat -c %s "$exe")
budget=$((512 * 1024))
((size < budget)) || fail "$size bytes, not under $((budget / 1024)) KiB"
echo "1 passed, 0 failed ($size bytes counted)"
