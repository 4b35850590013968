#!/usr/bin/env python3
"""Compiles a catalogue description into the directory reply that Nimvara reads.

    directory_reply.py CATALOGUE [--key K] [--signing-key KEY.pem] [-o update-nimvara.php]

The output is the whole reply body: serve it as a static file at
/update-nimvara.php on the directory hosts, with any web server (the query
string the program sends can be ignored). K is the one-character scramble key
the program was built with (NIMVARA_SCRAMBLE_KEY, default "N"). KEY.pem is the
vendor's ECDSA P-256 private key, whose public half the program pins
(NIMVARA_DIRECTORY_PUBLIC_KEY): the reply then ends with the line
"Signature=" + base64 of r||s over SHA-256 of every byte before that line.
Builds make a throw-away one: build/<preset>/signing/directory.key. Signing
uses the openssl command.

A catalogue description has one statement per line; "#" starts a comment:

    port 8080               proxy port shared by every server (1..65535)
    user alice              proxy user name
    password s3cret         proxy password
    server 1 203.0.113.7    a server: country index (0..9), then its host
    notice 1                service #1 (or 2) is out of order
    new-version             a newer program must be installed
    count 5                 the "C" value, when it must differ from the servers
    raw Anything=1          a line copied into the reply as it stands

Country indexes: 1 United States, 2 United Kingdom, any other Unknown.
"""
import argparse
import base64
import subprocess
import sys

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
            elif verb == "count":
                cat.count = args[0]
            elif verb == "raw":
                cat.raw.append(args[0] if args else "")
            else:
                raise ValueError("unknown statement " + verb)
        except (IndexError, ValueError) as e:
            raise SystemExit("catalogue line %d: %s: %s" % (number, line.strip(), e))
    return cat


def compile_reply(cat, key):
    """The reply text: the two markers around notices, shared values and servers."""
    lines = ["B=1"]
    lines += ["ServiceNotAvailable-%s=1" % n for n in cat.notices]
    if cat.new_version:
        lines.append("NewVersion=1")
    lines.append("C=%s" % (cat.count if cat.count is not None else len(cat.servers)))
    if cat.servers or cat.port:
        lines += ["P=" + scramble(cat.port, key), "U=" + scramble(cat.user, key),
                  "K=" + half_reverse(cat.password)]
    lines += ["%d=%s%s" % (n, country, scramble(host, key)) for n, (country, host) in enumerate(cat.servers, 1)]
    lines += cat.raw
    lines.append("E=1")
    return "".join(line + "\r\n" for line in lines)


def compile_file(path, key):
    with open(path, encoding="latin-1") as f:
        return compile_reply(parse(f.read()), key)


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
    ap.add_argument("-o", "--output")
    args = ap.parse_args(argv)
    reply = compile_file(args.catalogue, args.key)
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
