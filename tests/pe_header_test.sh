#!/usr/bin/env bash
# Checks Polvane.exe's PE header without running it, so that the i686 build
# is checked where 32-bit programs cannot run: the machine type of its
# build, Windows 7 (6.1) as the subsystem and OS version it is made for, and
# its size: the i686 program, the one that ships first, under 128 KiB with
# all its pictures. The 64-bit build is counted without the unwind tables
# (.pdata, .xdata) that 64-bit Windows requires of every function and 32-bit
# Windows has no use for, and may be a sixteenth larger: the same code takes
# longer instructions there, and its pointers, in import tables and in every
# table of the program's own, are twice as wide.
#   pe_header_test.sh OBJDUMP EXE i386|i386:x86-64
set -euo pipefail
objdump=${1:?objdump} exe=${2:?exe} machine=${3:?machine}
header=$("$objdump" -p "$exe")
fail() { echo "FAIL: $*"; exit 1; }
grep -q "architecture: $machine," <<<"$("$objdump" -f "$exe")" || fail "not an $machine program"
for field in MajorSubsystemVersion=6 MinorSubsystemVersion=1 MajorOSystemVersion=6 \
  MinorOSystemVersion=1; do
  grep -Eq "^${field%%=*}[[:space:]]+${field#*=}$" <<<"$header" || fail "$field"
done
grep -q "(Windows GUI)" <<<"$header" || fail "not a Windows GUI program"
size=$(stat -c %s "$exe")
# Each section takes whole 512-byte blocks of the file.
while read -r _ name bytes _; do
  [[ $name == .pdata || $name == .xdata ]] && size=$((size - (0x$bytes + 511) / 512 * 512))
done < <("$objdump" -h "$exe" | grep -E '^ +[0-9]+ ')
budget=$((128 * 1024))
[[ $machine == i386 ]] || budget=$((136 * 1024))
((size < budget)) || fail "$size bytes, not under $((budget / 1024)) KiB"
echo "1 passed, 0 failed ($size bytes counted)"
