#!/bin/sh
# Makes a throw-away code-signing certificate for builds and tests on this
# machine (never for a release), and prints the SHA-256 of its public key
# (SubjectPublicKeyInfo, DER): the pin the program trusts, which a renewed
# certificate on the same key keeps. An existing one in <dir> is kept. Fails,
# printing nothing, when the certificate or its key cannot be read or do not
# belong together. With <record>, the pin is also added to that file, where a
# release's check finds it even when the build tree is gone or lies elsewhere.
# Usage: make-signing-cert.sh <dir> <name> <subject common name> [<record>]
set -eu
dir=$1 name=$2 cn=$3 record=${4:-}
mkdir -p "$dir"
if [ ! -f "$dir/$name.pem" ] || [ ! -f "$dir/$name.key" ]; then
  openssl req -x509 -newkey rsa:2048 -sha256 -nodes -days 3650 -subj "/CN=$cn" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$dir/$name.key" -out "$dir/$name.pem" >/dev/null 2>&1
fi
spki=$dir/$name.spki
trap 'rm -f "$spki.cert" "$spki.key"' EXIT
if ! openssl x509 -in "$dir/$name.pem" -noout -pubkey 2>/dev/null | openssl pkey -pubin -outform DER -out "$spki.cert" 2>/dev/null ||
   ! openssl pkey -in "$dir/$name.key" -pubout -outform DER -out "$spki.key" 2>/dev/null ||
   [ ! -s "$spki.cert" ] || ! cmp -s "$spki.cert" "$spki.key"; then
  echo "make-signing-cert.sh: $dir/$name.pem and $dir/$name.key are not a readable certificate and its key" >&2
  exit 1
fi
pin=$(sha256sum < "$spki.cert" | cut -d' ' -f1)
if [ -n "$record" ]; then
  mkdir -p "$(dirname "$record")"
  grep -qx "$pin" "$record" 2>/dev/null || echo "$pin" >> "$record"
fi
echo "$pin"
