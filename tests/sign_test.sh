#!/usr/bin/env bash
# A signed release, built in a folder of its own with a throwaway
# certificate whose key has a passphrase, read from a file: the build's
# Polvane.exe and Polvane.com, the ones the MSI installs, the ones in the ZIP
# and the MSI itself all verify as signed by it.
#   sign_test.sh SOURCE FOLDER
set -euo pipefail
source_dir=${1:?source folder} build=${2:?build folder}
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$build" && mkdir -p "$build/keys" "$build/shipped/msi" "$build/shipped/zip"
keys=$build/keys
echo "a passphrase" >"$keys/password"
openssl req -x509 -newkey rsa:2048 -passout "file:$keys/password" -days 2 \
  -subj "/CN=Polvane test publisher" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-i686.cmake" \
  -DPOLVANE_SIGN_CERTIFICATE="$keys/cert.pem" -DPOLVANE_SIGN_KEY="$keys/key.pem" >/dev/null
POLVANE_SIGN_PASSWORD_FILE=$keys/password cmake --build "$build" --target Polvane polvane_console msi >/dev/null
(cd "$build" && cpack -G ZIP >/dev/null)
(cd "$build/shipped/msi" && msiextract ../../Polvane-*-x86.msi >/dev/null)
(cd "$build/shipped/zip" && cmake -E tar xf ../../Polvane-*-win32.zip)
for file in "$build"/Polvane.{exe,com} "$build/shipped/msi/Program Files/Polvane"/Polvane.{exe,com} \
  "$build/shipped/zip"/Polvane.{exe,com} "$build"/Polvane-*-x86.msi; do
  osslsigncode verify -CAfile "$keys/cert.pem" -in "$file" >"$build/verify.log" 2>&1 ||
    fail "${file#"$build/"} does not verify: $(tail -3 "$build/verify.log")"
  grep -q "Polvane test publisher" "$build/verify.log" || fail "${file#"$build/"} names no signer"
done
echo "1 passed, 0 failed"
