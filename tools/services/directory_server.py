#!/usr/bin/env python3
"""Stand-in for the vendor's directory service: three servers on loopback port
80 answering GET /update-nimvara.php with the reply compiled from a catalogue
description (see directory_reply.py).

    directory_server.py start STATE_DIR [--key K] [--signing-key KEY.pem] [--catalogue FILE] [--modes "M0 M1 M2"]
                              [--serial N]
    directory_server.py stop STATE_DIR
    directory_server.py serve STATE_DIR [...]      # in the foreground

With --signing-key (the build's build/<preset>/signing/directory.key) every
reply but a cut-off or empty one ends with the vendor's signature line. Every
reply is marked as the vendor's current one: serial N (default 100) and an
expiry a week after the request.

Everything a test may change lives in STATE_DIR and is read at each request:
  catalogue.txt  the catalogue description (start copies --catalogue there)
  modes          one mode per server, in the order of --hosts:
                   good       the compiled reply
                   unsigned   the compiled reply without its signature line
                   otherkey   the compiled reply signed with another key
                              (STATE_DIR/other.key, made at start)
                   old:N      an earlier reply replayed: marked with serial N,
                              not yet expired
                   expired    the reply marked as expired an hour ago
                   down       not listening: the connection is refused
                   slow[:S]   the reply after S seconds (default 3)
                   drip[:S]   the whole answer one byte every S seconds (default 2)
                   cut        the reply cut off before its "E=1" line
                   empty      200 OK with an empty body
                   malformed  both markers around a garbled catalogue
  requests.log   appended per request: "<host> <request line>", the header
                 lines indented by two blanks, then an empty line
  download/nimvara.exe  served as the vendor's installer download, when present
"""
import argparse
import os
import selectors
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import background  # noqa: E402
import directory_reply  # noqa: E402

DEFAULT_HOSTS = "127.0.0.1,127.0.0.2,127.0.0.3"
REQUEST_PATH = "/update-nimvara.php"
DOWNLOAD_PATH = "/download/nimvara.exe"
HEAD_LIMIT = 64 * 1024
MALFORMED = "B=1\r\nC=two\r\nP=\r\n1=\r\n2=x\r\nSerial=%d\r\nExpires=%d\r\nE=1\r\n"  # marked as current
log_lock = threading.Lock()


def read_modes(state_dir, count):
    try:
        with open(os.path.join(state_dir, "modes")) as f:
            modes = f.read().split()
    except OSError:
        modes = []
    return (modes + ["down"] * count)[:count]


def read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data and len(data) < HEAD_LIMIT:
        part = conn.recv(4096)
        if not part:
            break
        data += part
    return data.split(b"\r\n\r\n", 1)[0].decode("latin-1")


def log_request(state_dir, host, head):
    lines = head.split("\r\n")
    text = "%s %s\n" % (host, lines[0]) + "".join("  %s\n" % line for line in lines[1:]) + "\n"
    with log_lock, open(os.path.join(state_dir, "requests.log"), "a", encoding="latin-1") as f:
        f.write(text)


def body_for(state_dir, key, signing_key, serial, mode):
    if mode == "empty":
        return ""
    now = int(time.time())
    expires = now - 3600 if mode == "expired" else now + directory_reply.WEEK
    if mode.startswith("old:"):
        serial = int(mode.partition(":")[2])
    reply = MALFORMED % (serial, expires) if mode == "malformed" else directory_reply.compile_file(
        os.path.join(state_dir, "catalogue.txt"), key, serial, expires)
    if mode == "cut":
        return reply[:reply.rfind("E=1")]
    if signing_key and mode == "otherkey":
        return directory_reply.sign_reply(reply, os.path.join(state_dir, "other.key"))
    if signing_key and mode != "unsigned":
        return directory_reply.sign_reply(reply, signing_key)
    return reply


def answer(conn, state_dir, key, signing_key, serial, host, mode):
    head = read_head(conn)
    if not head:
        return
    log_request(state_dir, host, head)
    target = head.split(" ")[1] if head.count(" ") >= 2 else "/"
    download = os.path.join(state_dir, "download", "nimvara.exe")
    if target == DOWNLOAD_PATH and os.path.isfile(download):
        with open(download, "rb") as f:
            data = f.read()
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n\r\n"
                     % len(data) + data)
        return
    if target.split("?", 1)[0] != REQUEST_PATH:
        status, body = "404 Not Found", "<html>No such page</html>"
    else:
        if mode.startswith("slow"):
            time.sleep(float(mode.partition(":")[2] or 3))
        status, body = "200 OK", body_for(state_dir, key, signing_key, serial, mode)
    data = body.encode("latin-1")
    data = ("HTTP/1.0 %s\r\nContent-Type: text/plain\r\nContent-Length: %d\r\n\r\n" % (status, len(data))).encode() + data
    if mode.startswith("drip") and target.split("?", 1)[0] == REQUEST_PATH:
        drip(conn, data, float(mode.partition(":")[2] or 2))
    else:
        conn.sendall(data)


def drip(conn, data, pause):
    """Never silent for long, never done soon: a client's read time-out does
    not fire, only its own deadline ends the wait."""
    for i in range(len(data)):
        conn.sendall(data[i:i + 1])
        time.sleep(pause)


def handle(conn, state_dir, key, signing_key, serial, host, mode):
    try:
        conn.settimeout(30)
        answer(conn, state_dir, key, signing_key, serial, host, mode)
    except OSError:
        pass  # the client went away
    finally:
        conn.close()


def listener(host, port):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind((host, port))
    sock.listen(16)
    sock.setblocking(False)
    return sock


def serve(state_dir, key, signing_key, serial, hosts, port):
    """Opens and closes each server's socket as the modes file says; a closed
    socket refuses connections as a server that is down."""
    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.set())
    selector = selectors.DefaultSelector()
    open_socks = {}
    ready = False
    while not stop.is_set():
        modes = read_modes(state_dir, len(hosts))
        for index, host in enumerate(hosts):
            if modes[index] == "down" and host in open_socks:
                selector.unregister(open_socks[host])
                open_socks.pop(host).close()
            elif modes[index] != "down" and host not in open_socks:
                open_socks[host] = listener(host, port)
                selector.register(open_socks[host], selectors.EVENT_READ, index)
        if not ready:
            open(os.path.join(state_dir, "ready"), "w").close()
            ready = True
        for selected, _ in selector.select(timeout=0.05):
            try:
                conn, _ = selected.fileobj.accept()
            except BlockingIOError:
                continue
            index = selected.data
            conn.setblocking(True)
            threading.Thread(target=handle,
                             args=(conn, state_dir, key, signing_key, serial, hosts[index], modes[index]),
                             daemon=True).start()
    for sock in open_socks.values():
        sock.close()


def start(args):
    stop(args.state_dir)
    os.makedirs(args.state_dir, exist_ok=True)
    for name in ("ready", "requests.log"):
        if os.path.exists(os.path.join(args.state_dir, name)):
            os.remove(os.path.join(args.state_dir, name))
    if args.catalogue:
        shutil.copyfile(args.catalogue, os.path.join(args.state_dir, "catalogue.txt"))
    with open(os.path.join(args.state_dir, "modes"), "w") as f:
        f.write(args.modes + "\n")
    signing = ["--signing-key", os.path.abspath(args.signing_key)] if args.signing_key else []
    if args.signing_key and not os.path.isfile(os.path.join(args.state_dir, "other.key")):
        subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out",
                        os.path.join(args.state_dir, "other.key")], check=True)
    if not background.spawn_and_wait(args.state_dir, __file__, ["--key", args.key, "--hosts", args.hosts,
                                                                  "--port", str(args.port),
                                                                  "--serial", str(args.serial)] + signing):
        return 1
    print("directory servers on %s port %d: %s (%s)" % (args.hosts, args.port, args.modes,
                                                      "signed" if args.signing_key else "unsigned"))
    return 0


def stop(state_dir):
    return background.stop(state_dir)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("command", choices=["start", "stop", "serve"])
    ap.add_argument("state_dir")
    ap.add_argument("--key", default="N")
    ap.add_argument("--signing-key")
    ap.add_argument("--catalogue")
    ap.add_argument("--modes", default="good good good")
    ap.add_argument("--hosts", default=DEFAULT_HOSTS)
    ap.add_argument("--port", type=int, default=80)
    ap.add_argument("--serial", type=int, default=100)
    args = ap.parse_args(argv)
    if args.command == "start":
        return start(args)
    if args.command == "stop":
        return stop(args.state_dir)
    serve(args.state_dir, args.key, args.signing_key, args.serial, args.hosts.split(","), args.port)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
