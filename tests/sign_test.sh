#!/usr/bin/env bash
# The signing step, with a throwaway certificate made here: it signs copies
# of Polvane.exe and the MSI, and osslsigncode verifies both signatures
# against that certificate. Given no certificate it signs nothing.
#   sign_test.sh BUILD
set -euo pipefail
build=${1:?build folder}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cmake --build "$build" --target Polvane msi >/dev/null
cp "$build"/Polvane.exe "$build"/Polvane-*.msi "$work/"
sign="$(dirname "$0")/../scripts/sign.sh"

bash "$sign" "$work" | grep -q "nothing was signed" || fail "signed without a certificate"
osslsigncode verify -in "$work/Polvane.exe" >/dev/null 2>&1 && fail "an unsigned file verified"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Polvane test publisher" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
bash "$sign" "$work" "$work/cert.pem" "$work/key.pem" >/dev/null
for file in "$work"/Polvane.exe "$work"/Polvane-*.msi; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
    fail "$(basename "$file") does not verify: $(tail -3 "$work/verify.log")"
  grep -q "Polvane test publisher" "$work/verify.log" || fail "$(basename "$file") names no signer"
done
echo "1 passed, 0 failed"
