#!/usr/bin/env python3
"""Makes the damaged copies of a signed program that the signature check must refuse.

  tamper.py <good.exe> <other program, unsigned> <out dir>

Each copy keeps the good file's signature and breaks one promise of it.
"""
import hashlib
import os
import struct
import sys


def layout(data):
    pe = struct.unpack_from("<I", data, 60)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    security = directories + 4 * 8
    offset, size = struct.unpack_from("<II", data, security)
    return optional + 64, security, offset, size


def pe_hash(data):
    checksum, security, offset, _ = layout(data)
    end = offset or len(data)
    return hashlib.sha256(data[:checksum] + data[checksum + 4:security] + data[security + 8:end]).digest()


def code_offset(data):
    """A byte inside the first section's raw data."""
    pe = struct.unpack_from("<I", data, 60)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    section = pe + 24 + optional_size
    raw_offset = struct.unpack_from("<I", data, section + 20)[0]
    return raw_offset + 16


def flip(data, at):
    return data[:at] + bytes([data[at] ^ 0x5A]) + data[at + 1:]


def der_length(data, at):
    """(content start, content length) of the DER element at `at`."""
    first = data[at + 1]
    if first < 0x80:
        return at + 2, first
    count = first & 0x7F
    return at + 2 + count, int.from_bytes(data[at + 2:at + 2 + count], "big")


def indirect_content(data):
    """Content octets of SpcIndirectDataContent: what the signed digest attribute covers."""
    oid = bytes.fromhex("060a2b060104018237020104")
    at = data.index(oid) + len(oid)  # then [0] { SEQUENCE {...} }
    inner, _ = der_length(data, at)
    start, length = der_length(data, inner)
    return start, length


def main(good_path, other_path, out):
    good = open(good_path, "rb").read()
    other = open(other_path, "rb").read()
    _, _, offset, size = layout(good)
    stored = pe_hash(good)
    assert good.count(stored) == 1

    changed = flip(good, code_offset(good))
    copies = {
        "code_changed.exe": changed,
        "bytes_appended.exe": good + b"MZ appended after the signature" + bytes(1),
    }
    # The good file's signature table put on another program.
    _, other_security, _, _ = layout(other)
    padded = other + bytes(-len(other) % 8)
    moved = bytearray(padded + good[offset:offset + size])
    struct.pack_into("<II", moved, other_security, len(padded), size)
    copies["signature_moved.exe"] = bytes(moved)
    # Changed code, and the stored digest rewritten to match it.
    rewritten = changed.replace(stored, pe_hash(changed))
    copies["digest_rewritten.exe"] = rewritten
    # ... and the signed digest attribute rewritten as well: only the signer's
    # signature itself can tell now.
    start, length = indirect_content(good)
    old_attribute = hashlib.sha256(good[start:start + length]).digest()
    new_attribute = hashlib.sha256(rewritten[start:start + length]).digest()
    assert rewritten.count(old_attribute) == 1
    copies["signature_forged.exe"] = rewritten.replace(old_attribute, new_attribute)

    os.makedirs(out, exist_ok=True)
    for name, data in copies.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
