#!/usr/bin/env python3
"""Stand-in for the vendor's proxy servers: an HTTP proxy and a SOCKS5 server on
one port, on loopback. The first byte of a connection decides: 0x05 is SOCKS5,
anything else an HTTP proxy request (absolute-URI requests and CONNECT).

Only targets inside 127.0.0.0/8, given as IPv4 literals, are relayed; every
other target is refused without a name lookup. Outgoing connections leave from
the address the client reached (a distinct loopback address per proxy), so the
target sees the proxy's address, not the client's. Each relayed or refused
request is logged as one line, so a test can tell that traffic went through it.

With --user and --password, HTTP clients must send those credentials (Basic, in
Proxy-Authorization, else in Authorization): missing ones are answered 407, wrong ones
401 "Access Denied". SOCKS5 clients that offer user name and password are
checked the same way; clients that offer no authentication are let in, since
browsers cannot log in to a SOCKS server.

With --refuse the proxy turns every client away, as a provider does with a
blocked account: HTTP requests get 403 with an "Access Denied" page, SOCKS5
requests "not allowed".

With --down FILE, every listen address named in FILE (read every 50 ms) stops
listening, as a dead server does, until it is taken out of the file again.

    proxy_server.py [--listen 127.0.0.10:8080 ...] [--user U --password P] [--refuse] [--log FILE]
                    [--down FILE]
"""
import argparse
import asyncio
import base64
import ipaddress
import signal
import socket
import struct
import sys
import time

DEFAULT_LISTEN = "127.0.0.10:8080"
HEAD_LIMIT = 64 * 1024
HEAD_TIMEOUT = 10.0
CONNECT_TIMEOUT = 5.0
IDLE_TIMEOUT = 60.0
CHUNK = 16 * 1024
ACCESS_DENIED_PAGE = "<html><head><title>Proxy</title></head><body><h1>Access Denied</h1></body></html>"


class Log:
    def __init__(self, path):
        self.file = open(path, "a", buffering=1, encoding="utf-8") if path else None

    def __call__(self, text):
        line = "%s %s" % (time.strftime("%H:%M:%S"), text)
        print(line, flush=True)
        if self.file:
            self.file.write(line + "\n")


def loopback_target(host):
    """The host as an IPv4 literal inside 127.0.0.0/8, else None (never looked up)."""
    try:
        address = ipaddress.IPv4Address(host)
    except ValueError:
        return None
    return str(address) if address in ipaddress.IPv4Network("127.0.0.0/8") else None


def printable(text):
    return "".join(c if 32 <= ord(c) < 127 else "?" for c in text)[:200]


async def relay(reader, writer, peer_reader, peer_writer):
    async def pump(src, dst):
        try:
            while True:
                data = await asyncio.wait_for(src.read(CHUNK), IDLE_TIMEOUT)
                if not data:
                    break
                dst.write(data)
                await dst.drain()
        except (asyncio.TimeoutError, ConnectionError, OSError):
            pass
        finally:
            try:
                if dst.can_write_eof():
                    dst.write_eof()
            except (OSError, RuntimeError):
                pass

    await asyncio.gather(pump(reader, peer_writer), pump(peer_reader, writer))


async def open_target(host, port, source):
    """Connects from `source`, the proxy's own address, on any free port."""
    return await asyncio.wait_for(asyncio.open_connection(host, port, local_addr=(source, 0)), CONNECT_TIMEOUT)


class ProxyServer:
    def __init__(self, user, password, log, refuse=False):
        self.user = user
        self.password = password
        self.log = log
        self.refuse = refuse

    def credentials_ok(self, user, password):
        return self.user is None or (user == self.user and password == self.password)

    async def handle(self, reader, writer):
        client = "%s:%s" % writer.get_extra_info("peername")[:2]
        source = writer.get_extra_info("sockname")[0]
        try:
            first = await asyncio.wait_for(reader.readexactly(1), HEAD_TIMEOUT)
            if first == b"\x05":
                await self.socks5(reader, writer, client, source)
            else:
                await self.http(first, reader, writer, client, source)
        except (asyncio.IncompleteReadError, asyncio.LimitOverrunError, asyncio.TimeoutError, ConnectionError, OSError,
                ValueError):
            pass
        finally:
            try:
                writer.close()
                await writer.wait_closed()
            except (OSError, ConnectionError):
                pass

    # --- SOCKS5 -----------------------------------------------------------
    async def socks5(self, reader, writer, client, source):
        count = (await reader.readexactly(1))[0]
        methods = await reader.readexactly(count)
        if 0 in methods:
            writer.write(b"\x05\x00")
        elif 2 in methods:
            writer.write(b"\x05\x02")
            await writer.drain()
            if not await self.socks5_login(reader, writer, client):
                return
        else:
            writer.write(b"\x05\xff")
            await writer.drain()
            self.log("REFUSED socks5 client=%s no acceptable method" % client)
            return
        await writer.drain()
        version, command, _, kind = await reader.readexactly(4)
        if kind == 1:
            host = socket.inet_ntoa(await reader.readexactly(4))
        elif kind == 3:
            host = (await reader.readexactly((await reader.readexactly(1))[0])).decode("latin-1")
        elif kind == 4:
            host = socket.inet_ntop(socket.AF_INET6, await reader.readexactly(16))
        else:
            return await self.socks5_reply(writer, 8)
        port = struct.unpack("!H", await reader.readexactly(2))[0]
        if version != 5 or command != 1:
            self.log("REFUSED socks5 client=%s command=%d" % (client, command))
            return await self.socks5_reply(writer, 7)
        if self.refuse:
            self.log("REFUSED socks5 client=%s target=%s:%d (refusing)" % (client, printable(host), port))
            return await self.socks5_reply(writer, 2)
        target = loopback_target(host)
        if target is None:
            self.log("REFUSED socks5 client=%s target=%s:%d" % (client, printable(host), port))
            return await self.socks5_reply(writer, 2)
        try:
            peer_reader, peer_writer = await open_target(target, port, source)
        except (OSError, asyncio.TimeoutError):
            self.log("FAILED socks5 client=%s target=%s:%d" % (client, target, port))
            return await self.socks5_reply(writer, 5)
        self.log("RELAY socks5 client=%s target=%s:%d" % (client, target, port))
        await self.socks5_reply(writer, 0)
        try:
            await relay(reader, writer, peer_reader, peer_writer)
        finally:
            peer_writer.close()

    async def socks5_login(self, reader, writer, client):
        await reader.readexactly(1)  # sub-negotiation version
        user = (await reader.readexactly((await reader.readexactly(1))[0])).decode("latin-1")
        password = (await reader.readexactly((await reader.readexactly(1))[0])).decode("latin-1")
        ok = self.credentials_ok(user, password)
        writer.write(b"\x01\x00" if ok else b"\x01\x01")
        await writer.drain()
        if not ok:
            self.log("REFUSED socks5 client=%s wrong credentials" % client)
        return ok

    @staticmethod
    async def socks5_reply(writer, code):
        writer.write(b"\x05" + bytes([code]) + b"\x00\x01" + b"\x00" * 6)
        await writer.drain()

    # --- HTTP ---------------------------------------------------------------
    async def http(self, first, reader, writer, client, source):
        head = first + await asyncio.wait_for(reader.readuntil(b"\r\n\r\n"), HEAD_TIMEOUT)
        if len(head) > HEAD_LIMIT:
            return await self.http_answer(writer, 431, "Request Header Fields Too Large", "Too large")
        lines = head.decode("latin-1").split("\r\n")
        parts = lines[0].split(" ")
        if len(parts) != 3:
            return await self.http_answer(writer, 400, "Bad Request", "Bad Request")
        method, uri, version = parts
        headers = [line for line in lines[1:] if line]
        if self.refuse:
            self.log("REFUSED http client=%s %s %s (refusing)" % (client, method, printable(uri)))
            return await self.http_answer(writer, 403, "Forbidden", ACCESS_DENIED_PAGE, "text/html")
        refusal = self.http_refusal(headers)
        if refusal:
            self.log("REFUSED http client=%s %s %s (%s)" % (client, method, printable(uri), refusal[1]))
            return await self.http_answer(writer, *refusal)
        if method == "CONNECT":
            host, _, port = uri.rpartition(":")
            return await self.http_tunnel(reader, writer, client, host, port, source)
        if not uri.lower().startswith("http://"):
            return await self.http_answer(writer, 400, "Bad Request", "Bad Request")
        rest = uri[7:]
        authority, slash, path = rest.partition("/")
        host, _, port = authority.partition(":")
        target = loopback_target(host)
        if target is None or not (port or "80").isdigit():
            self.log("REFUSED http client=%s %s %s" % (client, method, printable(uri)))
            return await self.http_answer(writer, 403, "Forbidden", "Forbidden")
        try:
            peer_reader, peer_writer = await open_target(target, int(port or "80"), source)
        except (OSError, asyncio.TimeoutError):
            self.log("FAILED http client=%s %s %s" % (client, method, printable(uri)))
            return await self.http_answer(writer, 502, "Bad Gateway", "Bad Gateway")
        self.log("RELAY http client=%s %s %s" % (client, method, printable(uri)))
        kept = [h for h in headers if h.split(":", 1)[0].strip().lower()
                not in ("proxy-authorization", "proxy-connection", "connection", "keep-alive")]
        request = "\r\n".join(["%s /%s %s" % (method, path, version)] + kept + ["Connection: close"]) + "\r\n\r\n"
        peer_writer.write(request.encode("latin-1"))
        try:
            await relay(reader, writer, peer_reader, peer_writer)
        finally:
            peer_writer.close()

    def http_refusal(self, headers):
        if self.user is None:
            return None
        # Proxy-Authorization is the proxy's own; a bare Authorization counts
        # only without it, since it may be meant for the target site.
        found = {}
        for header in headers:
            name, _, value = header.partition(":")
            name = name.strip().lower()
            if name in ("proxy-authorization", "authorization") and name not in found:
                found[name] = value.strip()
        value = found.get("proxy-authorization", found.get("authorization"))
        given = None
        if value is not None:
            scheme, _, token = value.partition(" ")
            if scheme.lower() == "basic":
                try:
                    given = base64.b64decode(token.strip()).decode("latin-1")
                except ValueError:
                    given = ""
        if given is None:
            return 407, "Proxy Authentication Required", "Proxy Authentication Required"
        user, _, password = given.partition(":")
        if not self.credentials_ok(user, password):
            return 401, "Unauthorized", "Access Denied"
        return None

    async def http_tunnel(self, reader, writer, client, host, port, source):
        target = loopback_target(host)
        if target is None or not port.isdigit():
            self.log("REFUSED http client=%s CONNECT %s:%s" % (client, printable(host), printable(port)))
            return await self.http_answer(writer, 403, "Forbidden", "Forbidden")
        try:
            peer_reader, peer_writer = await open_target(target, int(port), source)
        except (OSError, asyncio.TimeoutError):
            self.log("FAILED http client=%s CONNECT %s:%s" % (client, target, port))
            return await self.http_answer(writer, 502, "Bad Gateway", "Bad Gateway")
        self.log("RELAY http client=%s CONNECT %s:%s" % (client, target, port))
        writer.write(b"HTTP/1.1 200 Connection established\r\n\r\n")
        await writer.drain()
        try:
            await relay(reader, writer, peer_reader, peer_writer)
        finally:
            peer_writer.close()

    @staticmethod
    async def http_answer(writer, code, reason, body, content_type="text/plain"):
        extra = 'Proxy-Authenticate: Basic realm="Nimvara"\r\n' if code == 407 else ""
        data = body.encode("latin-1")
        writer.write(("HTTP/1.0 %d %s\r\n%sContent-Type: %s\r\nContent-Length: %d\r\n"
                      "Connection: close\r\n\r\n" % (code, reason, extra, content_type, len(data))).encode("latin-1")
                     + data)
        await writer.drain()


def parse_listen(text):
    host, _, port = text.rpartition(":")
    if loopback_target(host) is None or not port.isdigit():
        raise argparse.ArgumentTypeError("a loopback IPv4 address and port, e.g. 127.0.0.10:8080")
    return host, int(port)


async def follow_down_file(path, servers, proxy, log):
    """Addresses named in the file stop listening, as a dead server does
    (connections are refused), until they leave it again."""
    while True:
        try:
            with open(path, encoding="latin-1") as f:
                down = set(f.read().split())
        except OSError:
            down = set()
        for address, server in list(servers.items()):
            if address in down and server is not None:
                server.close()
                servers[address] = None
                log("DOWN %s" % address)
            elif address not in down and server is None:
                host, port = address.rsplit(":", 1)
                servers[address] = await asyncio.start_server(proxy.handle, host, int(port), reuse_address=True)
                log("UP %s" % address)
        await asyncio.sleep(0.05)


async def serve(args):
    log = Log(args.log)
    proxy = ProxyServer(args.user, args.password, log, args.refuse)
    servers = {}
    for host, port in args.listen or [parse_listen(DEFAULT_LISTEN)]:
        try:
            server = await asyncio.start_server(proxy.handle, host, port, reuse_address=True)
            address = "%s:%d" % server.sockets[0].getsockname()[:2]  # port 0 gets a free one
            servers[address] = server
            log("LISTEN " + address)
        except OSError as error:
            log("SKIPPED %s:%d (%s)" % (host, port, error.strerror or error))
    if not servers:
        log("nothing to serve: every address is taken")
        return
    if args.down:
        asyncio.get_running_loop().create_task(follow_down_file(args.down, servers, proxy, log))
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, stop.set)
    await stop.wait()
    for server in servers.values():
        if server is not None:
            server.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--listen", action="append", type=parse_listen, help="address:port, repeatable")
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--refuse", action="store_true", help='turn every client away with "Access Denied"')
    parser.add_argument("--log", help="also append the log lines to this file")
    parser.add_argument("--down", help="a file naming address:port entries that are to stop listening for now")
    asyncio.run(serve(parser.parse_args()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
