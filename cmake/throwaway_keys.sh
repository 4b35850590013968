#!/bin/sh
# Prints the public half of every private key (PEM) found anywhere under
# <tree>, one a line, in both forms a release could pin: the SHA-256 of its
# SubjectPublicKeyInfo (a publisher pin) and, for a P-256 key, its point
# 04||X||Y (a directory key). A key that lies in a source or build tree is a
# throw-away one, whatever made it. Wine prefixes and git's own folder hold no
# keys and are skipped; so are files over 64 KiB.
# Usage: throwaway_keys.sh <tree>...
set -u
for tree in "$@"; do
  find "$tree" \( -name .git -o -name wineprefix -o -name 'wineprefix*' \) -prune -o -type f -size -64k -print 2>/dev/null
done | while IFS= read -r file; do
  grep -q -- "PRIVATE KEY-----" "$file" 2>/dev/null || continue
  der=$(openssl pkey -in "$file" -pubout -outform DER 2>/dev/null | od -An -tx1 -v | tr -d ' \n')
  [ -n "$der" ] || continue
  openssl pkey -in "$file" -pubout -outform DER 2>/dev/null | sha256sum | cut -d' ' -f1
  case $der in
    3059301306072a8648ce3d020106082a8648ce3d03010703420004*)
      echo "${der#3059301306072a8648ce3d020106082a8648ce3d030107034200}" ;;
  esac
done
