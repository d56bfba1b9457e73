#!/usr/bin/env bash
# Builds the release twice from this source tree, in two folders of
# different depth, and requires the same bytes: the i686 Polvane.exe and
# Polvane.com, the MSI and the release ZIP; and that the MSI and the ZIP
# carry the very programs the build made.
#   reproducible_test.sh [FOLDER]     (default build/reproducible)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-build/reproducible}
rm -rf "$root"
folders=("$root/one" "$root/and/two")
for folder in "${folders[@]}"; do
  cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$folder" --target Polvane polvane_console msi >/dev/null
  (cd "$folder" && cpack -G ZIP >/dev/null)
done
failed=0
for file in Polvane.exe Polvane.com Polvane-*-x86.msi Polvane-*-win32.zip; do
  first=$(cd "${folders[0]}" && ls $file)
  if cmp -s "${folders[0]}/$first" "${folders[1]}/$first"; then
    echo "the same bytes: $first"
  else
    echo "FAIL: $first differs between ${folders[0]} and ${folders[1]}"
    failed=1
  fi
done
# What ships is what was built: each program inside the MSI and the ZIP is
# the build's own, byte for byte.
folder=${folders[0]}
rm -rf "$folder/shipped" && mkdir -p "$folder/shipped/msi" "$folder/shipped/zip"
(cd "$folder/shipped/msi" && msiextract ../../Polvane-*-x86.msi >/dev/null)
(cd "$folder/shipped/zip" && cmake -E tar xf ../../Polvane-*-win32.zip)
for program in Polvane.exe Polvane.com; do
  for shipped in "$folder/shipped/msi/Program Files/Polvane/$program" "$folder/shipped/zip/$program"; do
    if cmp -s "$shipped" "$folder/$program"; then
      echo "the build's own bytes: ${shipped#"$folder/"}"
    else
      echo "FAIL: ${shipped#"$folder/"} is not the build's $program"
      failed=1
    fi
  done
done
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
