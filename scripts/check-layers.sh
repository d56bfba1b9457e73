#!/usr/bin/env bash
# Fails when an #include reaches up from a lower layer of the program to a
# higher one. The layers, from the bottom:
#   seams/     the interfaces the rules and the windows are handed: the
#              registry, files, output, Group Policy, elevation and the like
#   rules/     the policy rules, the command line and the texts; no Windows
#   platform/  Windows services with no window: registry, shell, version record
#   ui/        the windows
#   program/   the entry point and start-up
# resources/ (resource ids, version numbers) serves every layer that has
# Windows, platform/ and above.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case $1 in
    seams) echo 0 ;;
    rules) echo 1 ;;
    platform | resources) echo 2 ;;
    ui) echo 3 ;;
    program) echo 4 ;;
    *) echo 99 ;;  # tests, bench and the like: never included by the program
  esac
}

faults=0
for layer in seams rules platform ui program; do
  while IFS= read -r hit; do
    target=${hit#*#include \"}
    target=${target%%/*}
    if [ "$(rank "$target")" -gt "$(rank "$layer")" ]; then
      echo "$hit: $layer/ may not include from $target/"
      faults=$((faults + 1))
    fi
  done < <(grep -rnE '^\s*#\s*include "[^"/]+/' "$layer" || true)
done
[ "$faults" -eq 0 ] || exit 1
echo "No #include reaches up a layer: seams < rules < platform < ui < program"
