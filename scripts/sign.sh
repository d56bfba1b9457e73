#!/usr/bin/env bash
# Signs the release with Authenticode: Polvane.exe and the MSI of a build,
# in place, with the publisher's certificate and key, through osslsigncode.
# Without a certificate and key it signs nothing and says so.
#   scripts/sign.sh BUILD [CERTIFICATE KEY [TIMESTAMP_URL]]
# CERTIFICATE is PEM or DER (a chain, the publisher's first), KEY its private
# key (PEM; a passphrase comes from POLVANE_SIGN_PASSWORD). A timestamp server
# keeps the signature valid after the certificate expires.
set -euo pipefail
build=${1:?build folder} certificate=${2:-} key=${3:-} timestamp=${4:-}
if [ -z "$certificate" ] || [ -z "$key" ]; then
  echo "No certificate and key given: nothing was signed."
  exit 0
fi
homepage=$(sed -n 's/^#define POLVANE_HOMEPAGE_URL "\(.*\)"$/\1/p' "$(dirname "$0")/../rules/Links.h")
options=(-certs "$certificate" -key "$key" -n Polvane -i "$homepage" -h sha256)
[ -n "${POLVANE_SIGN_PASSWORD:-}" ] && options+=(-pass "$POLVANE_SIGN_PASSWORD")
[ -n "$timestamp" ] && options+=(-ts "$timestamp")
for file in "$build"/Polvane.exe "$build"/Polvane-*.msi; do
  [ -e "$file" ] || continue
  osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
  echo "Signed $file"
done
