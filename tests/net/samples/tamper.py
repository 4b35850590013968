#!/usr/bin/env python3
"""Makes the damaged copies of a signed program that the signature check must refuse.

  tamper.py <good.exe> <other program, unsigned> <impostor-signed.exe> <publisher.pem> <out dir>

Each copy keeps the good file's signature and breaks one promise of it, or
carries data beside it that nobody signed. The impostor's file was signed by a
certificate with the publisher's issuer and serial number but another key; its
copy carries the publisher's own certificate instead.
"""
import base64
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


def der_element(data, at):
    """(tag, content, end) of the DER element at `at`."""
    start, length = der_length(data, at)
    return data[at], data[start:start + length], start + length


def der_children(content):
    items, at = [], 0
    while at < len(content):
        tag, inner, at = der_element(content, at)
        items.append([tag, inner])
    return items


def der(tag, content):
    n = len(content)
    length = bytes([n]) if n < 0x80 else bytes([0x80 | ((n.bit_length() + 7) // 8)]) + n.to_bytes(
        (n.bit_length() + 7) // 8, "big")
    return bytes([tag]) + length + content


def der_join(items):
    return b"".join(der(tag, content) for tag, content in items)


def resigned(data, edit):
    """`data` with its signature's SignedData children changed by edit(children);
    the signature table is rebuilt around the new message."""
    _, security, offset, size = layout(data)
    length = struct.unpack_from("<I", data, offset)[0]
    _, info, _ = der_element(data[offset + 8:offset + length], 0)
    oid, explicit = der_children(info)
    signed = der_children(der_children(explicit[1])[0][1])
    edit(signed)
    message = der(0x30, der_join([oid, [0xA0, der(0x30, der_join(signed))]]))
    table = struct.pack("<IHH", 8 + len(message), 0x0200, 0x0002) + message
    table += bytes(-len(table) % 8)
    out = bytearray(data[:offset] + table)
    struct.pack_into("<II", out, security, offset, len(table))
    return bytes(out)


def signer_info(signed):
    """The one SignerInfo of the SignedData children, to change in place."""
    infos = der_children(signed[-1][1])
    return infos, infos[0]


def with_signer_info(signed, change):
    infos, info = signer_info(signed)
    fields = der_children(info[1])
    change(fields)
    info[1] = der_join(fields)
    signed[-1][1] = der_join(infos)


def unsigned_copies(good, publisher_der, impostor):
    """Copies that carry data beside the signed parts, and the impostor's."""
    attribute = der(0x30, der(0x06, bytes.fromhex("2a030405")) + der(0x31, der(0x04, b"payload")))
    not_signed = der(0x04, b"nobody signed this")

    def certificates(signed):
        return next(item for item in signed if item[0] == 0xA0)

    def bag_extra(signed):
        certificates(signed)[1] += der(0x30, not_signed)

    def crl(signed):
        signed.insert(signed.index(certificates(signed)) + 1, [0xA1, der(0x30, not_signed)])

    def after_encap(signed):
        signed[2][1] += not_signed

    def bag_is_publisher(signed):
        certificates(signed)[1] = publisher_der

    return {
        "unsigned_attributes.exe": resigned(good, lambda s: with_signer_info(s, lambda f: f.append(
            [0xA1, attribute]))),
        "certificate_bag_extra.exe": resigned(good, bag_extra),
        "crl_content.exe": resigned(good, crl),
        "after_encapsulated.exe": resigned(good, after_encap),
        "after_signer_info.exe": resigned(good, lambda s: with_signer_info(s, lambda f: f.append(
            [0x04, b"nobody signed this"]))),
        "impostor_key.exe": resigned(impostor, bag_is_publisher),
    }


def pem_der(text):
    body = text.split("-----BEGIN CERTIFICATE-----")[1].split("-----END CERTIFICATE-----")[0]
    return base64.b64decode("".join(body.split()))


def main(good_path, other_path, impostor_path, publisher_path, out):
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
    impostor = open(impostor_path, "rb").read()
    copies.update(unsigned_copies(good, pem_der(open(publisher_path).read()), impostor))

    os.makedirs(out, exist_ok=True)
    for name, data in copies.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
