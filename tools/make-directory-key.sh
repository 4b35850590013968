#!/bin/sh
# Makes a throw-away ECDSA P-256 key that signs the stand-in directory's replies
# on this machine (never for a release), and prints its public point 04||X||Y in
# hexadecimal: the key the program trusts. An existing key in <dir> is kept.
# Fails, printing nothing, unless the key gives exactly those 130 hex digits:
# a damaged key must stop the build, not leave it without one. With <record>,
# the point is also added to that file, where a release's check finds it even
# when the build tree is gone or lies elsewhere.
# Usage: make-directory-key.sh <dir> [<record>]
set -eu
dir=$1 record=${2:-}
mkdir -p "$dir"
if [ ! -f "$dir/directory.key" ]; then
  openssl ecparam -name prime256v1 -genkey -noout -out "$dir/directory.key" 2>/dev/null
fi
# The DER public key ends with the 65 bytes of the uncompressed point.
der=$(openssl ec -in "$dir/directory.key" -pubout -conv_form uncompressed -outform DER 2>/dev/null | od -An -tx1 -v |
  tr -d ' \n') || der=
# SubjectPublicKeyInfo of a P-256 key: 26 bytes of algorithm header, then the point.
case $der in
  3059301306072a8648ce3d020106082a8648ce3d03010703420004*) ;;
  *) echo "make-directory-key.sh: $dir/directory.key is not a readable P-256 private key" >&2; exit 1 ;;
esac
point=${der#3059301306072a8648ce3d020106082a8648ce3d030107034200}
if [ ${#point} -ne 130 ] || [ -n "$(printf %s "$point" | tr -d 0-9a-f)" ]; then
  echo "make-directory-key.sh: $dir/directory.key gives no 130-digit public point" >&2
  exit 1
fi
if [ -n "$record" ]; then
  mkdir -p "$(dirname "$record")"
  grep -qx "$point" "$record" 2>/dev/null || echo "$point" >> "$record"
fi
echo "$point"
