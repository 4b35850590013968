#!/usr/bin/env python3
"""Compiles a catalogue description into the directory reply that Nimvara reads.

    directory_reply.py CATALOGUE [--key K] [--signing-key KEY.pem] [--serial N] [--valid-for SECONDS]
                       [-o update-nimvara.php]

The output is the whole reply body: serve it as a static file at
/update-nimvara.php on the directory hosts, with any web server (the query
string the program sends can be ignored). K is the one-character scramble key
the program was built with (NIMVARA_SCRAMBLE_KEY, default "N"). KEY.pem is the
vendor's ECDSA P-256 private key, whose public half the program pins
(NIMVARA_DIRECTORY_PUBLIC_KEY): the reply then ends with the line
"Signature=" + base64 of r||s over SHA-256 of every byte before that line.
Builds make a throw-away one: build/<preset>/signing/directory.key. Signing
uses the openssl command.

Every reply is marked, before its "E=1" line, with "Serial=" N, a number that
must grow with every reply the vendor signs (default: the current time in
seconds since 1970), and "Expires=" the second (since 1970, UTC) after which
the program refuses it (default: a week from now, --valid-for 604800). The
program refuses a reply whose serial is below the highest it has read, so that
nobody can replay an older catalogue: re-sign at least daily, every server
serving the newest reply.

A catalogue description has one statement per line; "#" starts a comment:

    port 8080               proxy port shared by every server (1..65535)
    user alice              proxy user name
    password s3cret         proxy password
    server 1 203.0.113.7    a server: country index (0..9), then its host
    notice 1                service #1 (or 2) is out of order
    new-version INSTALLER   a newer program must be installed: the one whose
                            SHA-256 is INSTALLER (64 hex digits), or that of the
                            file INSTALLER (relative to the catalogue's folder);
                            nothing else runs. Without it, the program downloads nothing.
    count 5                 the "C" value, when it must differ from the servers
    raw Anything=1          a line copied into the reply as it stands

Country indexes: 1 United States, 2 United Kingdom, any other Unknown.
"""
import argparse
import base64
import hashlib
import os
import re
import subprocess
import sys
import time

WEEK = 7 * 24 * 3600

BANDS = ((128, 127), (64, 63), (32, 31))


def scramble(text, key):
    """The program's Unscramble: every character keeps its band; its own inverse."""
    if not text or not key:
        return ""
    out = []
    for i, ch in enumerate(text):
        c, k = ord(ch), ord(key[i % len(key)])
        mask = next((m for low, m in BANDS if c >= low), 0)
        out.append(chr(c ^ (k & mask)))
    return "".join(out)


def half_reverse(text):
    h = len(text) // 2
    return text[:h][::-1] + text[h:]


class Catalogue:
    def __init__(self):
        self.port = self.user = self.password = ""
        self.servers = []  # (country, host)
        self.notices = []
        self.new_version = False
        self.installer = None  # the INSTALLER of "new-version", as written
        self.count = None
        self.raw = []


def parse(text):
    cat = Catalogue()
    for number, line in enumerate(text.splitlines(), 1):
        words = line.split("#", 1)[0].split() if not line.lstrip().startswith("raw ") else line.split(None, 1)
        if not words:
            continue
        verb, args = words[0], words[1:]
        try:
            if verb == "port":
                cat.port = args[0]
            elif verb == "user":
                cat.user = args[0] if args else ""
            elif verb == "password":
                cat.password = args[0] if args else ""
            elif verb == "server":
                country, host = args
                if not (len(country) == 1 and country.isdigit()):
                    raise ValueError("country index must be one digit")
                cat.servers.append((country, host))
            elif verb == "notice":
                if args[0] not in ("1", "2"):
                    raise ValueError("notice is 1 or 2")
                cat.notices.append(args[0])
            elif verb == "new-version":
                cat.new_version = True
                cat.installer = args[0] if args else None
            elif verb == "count":
                cat.count = args[0]
            elif verb == "raw":
                cat.raw.append(args[0] if args else "")
            else:
                raise ValueError("unknown statement " + verb)
        except (IndexError, ValueError) as e:
            raise SystemExit("catalogue line %d: %s: %s" % (number, line.strip(), e))
    return cat


def installer_sha256(installer, base_dir):
    """The digest "new-version" names: given in hex, or that of a file."""
    if re.fullmatch(r"[0-9a-fA-F]{64}", installer):
        return installer.lower()
    with open(os.path.join(base_dir, installer), "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def compile_reply(cat, key, serial=None, expires=None, base_dir="."):
    """The reply text: the two markers around notices, shared values, servers
    and the marks of a current reply (serial and expiry)."""
    now = int(time.time())
    lines = ["B=1"]
    lines += ["ServiceNotAvailable-%s=1" % n for n in cat.notices]
    if cat.new_version:
        lines.append("NewVersion=1")
        if cat.installer:
            lines.append("InstallerSha256=" + installer_sha256(cat.installer, base_dir))
    lines.append("C=%s" % (cat.count if cat.count is not None else len(cat.servers)))
    if cat.servers or cat.port:
        lines += ["P=" + scramble(cat.port, key), "U=" + scramble(cat.user, key),
                  "K=" + half_reverse(cat.password)]
    lines += ["%d=%s%s" % (n, country, scramble(host, key)) for n, (country, host) in enumerate(cat.servers, 1)]
    lines += cat.raw
    lines.append("Serial=%d" % (now if serial is None else serial))
    lines.append("Expires=%d" % (now + WEEK if expires is None else expires))
    lines.append("E=1")
    return "".join(line + "\r\n" for line in lines)


def compile_file(path, key, serial=None, expires=None):
    with open(path, encoding="latin-1") as f:
        return compile_reply(parse(f.read()), key, serial, expires, os.path.dirname(os.path.abspath(path)))


def ecdsa_p256_sign(data, key_path):
    """The 64-byte r||s of an ECDSA P-256 signature over SHA-256 of data."""
    der = subprocess.run(["openssl", "dgst", "-sha256", "-sign", key_path], input=data, capture_output=True,
                         check=True).stdout
    at = 2  # SEQUENCE { INTEGER r, INTEGER s }, short form: at most 72 bytes
    numbers = []
    for _ in range(2):
        if der[at] != 0x02:
            raise ValueError("not an ECDSA signature")
        length = der[at + 1]
        numbers.append(int.from_bytes(der[at + 2:at + 2 + length], "big"))
        at += 2 + length
    return b"".join(n.to_bytes(32, "big") for n in numbers)


def sign_reply(reply, key_path):
    """The reply with its signature line appended."""
    signature = ecdsa_p256_sign(reply.encode("latin-1"), key_path)
    return reply + "Signature=" + base64.b64encode(signature).decode("ascii") + "\r\n"


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("catalogue")
    ap.add_argument("--key", default="N")
    ap.add_argument("--signing-key")
    ap.add_argument("--serial", type=int, help="default: the current time in seconds since 1970")
    ap.add_argument("--valid-for", type=int, default=WEEK, help="seconds from now until the reply expires")
    ap.add_argument("-o", "--output")
    args = ap.parse_args(argv)
    reply = compile_file(args.catalogue, args.key, args.serial, int(time.time()) + args.valid_for)
    if args.signing_key:
        reply = sign_reply(reply, args.signing_key)
    reply = reply.encode("latin-1")
    if args.output:
        with open(args.output, "wb") as f:
            f.write(reply)
    else:
        sys.stdout.buffer.write(reply)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
