#!/bin/sh
# Makes <out>.pem and <out>.key: a code-signing certificate with the issuer and
# serial number of <certificate> but a key of its own.
# Usage: make_impostor.sh <certificate.pem> <out>
set -eu
cert=$1 out=$2
subject=$(openssl x509 -in "$cert" -noout -subject -nameopt compat | sed 's/^subject=//')
serial=$(openssl x509 -in "$cert" -noout -serial | sed 's/^serial=//')
openssl req -x509 -newkey rsa:2048 -sha256 -nodes -days 3650 -subj "$subject" -set_serial "0x$serial" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
  -keyout "$out.key" -out "$out.pem" >/dev/null 2>&1
