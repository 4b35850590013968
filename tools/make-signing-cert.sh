#!/bin/sh
# Makes a throw-away code-signing certificate for builds and tests on this
# machine (never for a release), and prints the SHA-256 of its DER form: the
# pin the program trusts. An existing one in <dir> is kept.
# Usage: make-signing-cert.sh <dir> <name> <subject common name>
set -eu
dir=$1 name=$2 cn=$3
mkdir -p "$dir"
if [ ! -f "$dir/$name.pem" ] || [ ! -f "$dir/$name.key" ]; then
  openssl req -x509 -newkey rsa:2048 -sha256 -nodes -days 3650 -subj "/CN=$cn" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$dir/$name.key" -out "$dir/$name.pem" >/dev/null 2>&1
fi
openssl x509 -in "$dir/$name.pem" -outform der | sha256sum | cut -d' ' -f1
