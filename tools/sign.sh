#!/bin/sh
# Signs a Windows program with Authenticode (SHA-256). No timestamp: the
# self-update refuses a signature that carries unsigned attributes.
# Usage: sign.sh <in.exe> <out.exe> <certificate.pem> <key.pem>
set -eu
in=$1 out=$2 cert=$3 key=$4
rm -f "$out"
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n Nimvara -in "$in" -out "$out" >/dev/null
