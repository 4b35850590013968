#!/bin/sh
# Makes a throw-away ECDSA P-256 key that signs the stand-in directory's replies
# on this machine (never for a release), and prints its public point 04||X||Y in
# hexadecimal: the key the program trusts. An existing key in <dir> is kept.
# Usage: make-directory-key.sh <dir>
set -eu
dir=$1
mkdir -p "$dir"
if [ ! -f "$dir/directory.key" ]; then
  openssl ecparam -name prime256v1 -genkey -noout -out "$dir/directory.key" 2>/dev/null
fi
# The DER public key ends with the 65 bytes of the uncompressed point.
openssl ec -in "$dir/directory.key" -pubout -conv_form uncompressed -outform DER 2>/dev/null |
  tail -c 65 | od -An -tx1 -v | tr -d ' \n'
echo
