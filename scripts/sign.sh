#!/usr/bin/env bash
# Signs one file of the release with Authenticode, in place, with the
# publisher's certificate and key, through osslsigncode. The build calls it
# for Polvane.exe as soon as it is linked, before the MSI and the ZIP take
# it, and for each MSI once it is made (see "Signing a release" in the
# README).
#   scripts/sign.sh FILE CERTIFICATE KEY [TIMESTAMP_URL]
# CERTIFICATE is PEM or DER (a chain, the publisher's first), KEY its private
# key (PEM). A passphrase for the key is read from the file that
# POLVANE_SIGN_PASSWORD_FILE names, or from standard input when it is "-":
# never from a command line, where other processes can read it. A timestamp
# server keeps the signature valid after the certificate expires.
set -euo pipefail
file=${1:?file} certificate=${2:?certificate} key=${3:?key} timestamp=${4:-}
homepage=$(sed -n 's/^#define POLVANE_HOMEPAGE_URL "\(.*\)"$/\1/p' "$(dirname "$0")/../rules/Links.h")
options=(-certs "$certificate" -key "$key" -n Polvane -i "$homepage" -h sha256)
[ -n "${POLVANE_SIGN_PASSWORD_FILE:-}" ] && options+=(-readpass "$POLVANE_SIGN_PASSWORD_FILE")
[ -n "$timestamp" ] && options+=(-ts "$timestamp")
osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
echo "Signed $file"
