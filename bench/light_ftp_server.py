#!/usr/bin/python3
"""A light FTP(S) server for the publishing benchmark, on 127.0.0.1 only.

The test server (tests/support/ftp_server.py) carries every fault the tests need, and its
Python machinery costs 3 to 4 ms of processor time a file, one after the other for all
connections: at a few milliseconds a reply the benchmark then times that server more than the
program. This one knows only the commands a publish sends (the login with AUTH TLS, PWD, CWD,
TYPE, EPSV, PASV, STOR, NLST, SIZE, MKD, RNFR, RNTO, DELE, QUIT), runs in one asyncio loop
with the standard library's ssl, and waits --delay seconds before each reply of the control
connection, the waits of all connections side by side. The data connections take TLS
(TLS 1.2, the control connection's session resumed) when PROT P asked for it.

It takes the test server's options that the benchmark passes and prints the same line once
listening, "READY <port> <pin> <root>", and ends as that one does: when its standard input
reaches its end, when its parent is gone, or after --time-limit seconds.
"""
import argparse
import asyncio
import os
import ssl
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "support"))
from ftp_server import make_certificate, watch_for_end  # noqa: E402


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--tls", choices=["explicit", "none"], default="explicit")
    p.add_argument("--user", default="user")
    p.add_argument("--password", default="secret")
    p.add_argument("--delay", type=float, default=0.0)
    p.add_argument("--time-limit", type=float, default=3600.0)
    return p.parse_args()


class Control:
    """One control connection: its commands one after another, each reply after the delay."""

    def __init__(self, server, reader, writer):
        self.s, self.reader, self.writer = server, reader, writer
        self.logged_in = self.protect = False
        self.user = None
        self.data = None          # the listener of the last EPSV or PASV
        self.accepted = None      # the future of its one data connection
        self.rename_from = None

    async def reply(self, text):
        if self.s.delay > 0:
            await asyncio.sleep(self.s.delay)
        self.writer.write(text.encode("utf-8") + b"\r\n")
        await self.writer.drain()

    def path(self, arg):
        """The argument as a path under the root; None for one that leaves it."""
        parts = []
        for part in arg.replace("\\", "/").split("/"):
            if part == "..":
                return None
            if part and part != ".":
                parts.append(part)
        return os.path.join(self.s.root, *parts)

    async def listen(self):
        if self.data:
            self.data.close()
        loop = asyncio.get_running_loop()
        self.accepted = loop.create_future()

        def connected(reader, writer):
            if not self.accepted.done():
                self.accepted.set_result((reader, writer))
            else:
                writer.close()
        tls = self.s.context if self.protect else None
        self.data = await asyncio.start_server(connected, "127.0.0.1", 0, ssl=tls)
        return self.data.sockets[0].getsockname()[1]

    async def data_connection(self):
        if not self.accepted:
            await self.reply("425 Use EPSV or PASV first.")
            return None
        try:
            reader, writer = await asyncio.wait_for(self.accepted, 30)
        except asyncio.TimeoutError:
            await self.reply("425 No data connection.")
            return None
        finally:
            self.data.close()
            self.data = self.accepted = None
        return reader, writer

    async def command(self, verb, arg):
        if verb == "AUTH" and self.s.context and arg.upper() in ("TLS", "SSL"):
            await self.reply("234 AUTH TLS accepted.")
            await self.writer.start_tls(self.s.context)
            return True
        if verb in ("PBSZ", "PROT"):
            self.protect = verb == "PROT" and arg.upper() == "P" or self.protect
            await self.reply("200 OK.")
            return True
        if verb == "USER":
            self.user = arg
            await self.reply("331 Password required.")
            return True
        if verb == "PASS":
            self.logged_in = self.user == self.s.user and arg == self.s.password
            await self.reply("230 Logged in." if self.logged_in else "530 Login incorrect.")
            return True
        if verb == "QUIT":
            await self.reply("221 Bye.")
            return False
        if not self.logged_in:
            await self.reply("530 Log in first.")
            return True
        if verb == "PWD":
            await self.reply('257 "/" is the current folder.')
        elif verb == "CWD":
            folder = self.path(arg)
            await self.reply("250 OK." if folder and os.path.isdir(folder)
                             else "550 No such folder.")
        elif verb == "TYPE":
            await self.reply("200 Type set.")
        elif verb == "EPSV":
            await self.reply("229 Entering Extended Passive Mode (|||%d|)" % await self.listen())
        elif verb == "PASV":
            port = await self.listen()
            await self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)." % divmod(port, 256))
        elif verb == "STOR":
            await self.store(self.path(arg))
        elif verb == "NLST":
            await self.list_names(self.path(arg or "/"))
        elif verb == "SIZE":
            target = self.path(arg)
            if target and os.path.isfile(target):
                await self.reply("213 %d" % os.path.getsize(target))
            else:
                await self.reply("550 No such file.")
        elif verb == "MKD":
            target = self.path(arg)
            try:
                os.mkdir(target)
                await self.reply('257 "%s" made.' % arg)
            except (OSError, TypeError):
                await self.reply("550 Cannot make the folder.")
        elif verb == "RNFR":
            self.rename_from = self.path(arg)
            await self.reply("350 Ready." if self.rename_from and
                             os.path.exists(self.rename_from) else "550 No such file.")
        elif verb == "RNTO":
            source, self.rename_from = self.rename_from, None
            try:
                os.replace(source, self.path(arg))
                await self.reply("250 Renamed.")
            except (OSError, TypeError):
                await self.reply("550 Cannot rename.")
        elif verb == "DELE":
            try:
                os.remove(self.path(arg))
                await self.reply("250 Deleted.")
            except (OSError, TypeError):
                await self.reply("550 Cannot delete.")
        else:
            await self.reply("502 Not implemented.")
        return True

    async def opened(self, refusal, opening):
        """The transfer's data connection after the opening reply; None (and the refusal or
        the data connection's failure told) when there is none."""
        if refusal:
            await self.reply(refusal)
            return None
        await self.reply(opening)
        return await self.data_connection()

    async def store(self, target):
        connection = await self.opened(None if target else "553 Not a name here.",
                                       "150 Send the file.")
        if not connection:
            return
        reader, writer = connection
        chunks = []
        while chunk := await reader.read(65536):
            chunks.append(chunk)
        writer.close()
        with open(target, "wb") as f:
            f.write(b"".join(chunks))
        await self.reply("226 Stored.")

    async def list_names(self, folder):
        exists = folder and os.path.isdir(folder)
        connection = await self.opened(None if exists else "550 No such folder.",
                                       "150 Here are the names.")
        if not connection:
            return
        _, writer = connection
        writer.write("".join(name + "\r\n" for name in sorted(os.listdir(folder)))
                     .encode("utf-8", "surrogateescape"))
        await writer.drain()
        writer.close()
        await self.reply("226 Listed.")

    async def run(self):
        try:
            await self.reply("220 Light benchmark server ready.")
            while line := await self.reader.readline():
                text = line.decode("utf-8", "surrogateescape").rstrip("\r\n")
                verb, _, arg = text.partition(" ")
                if not await self.command(verb.upper(), arg):
                    break
        except (ConnectionError, ssl.SSLError, asyncio.IncompleteReadError):
            pass
        finally:
            if self.data:
                self.data.close()
            self.writer.close()


class Server:
    def __init__(self, args, root, certfile):
        self.delay, self.user, self.password, self.root = (args.delay, args.user,
                                                           args.password, root)
        self.context = None
        if args.tls == "explicit":
            self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.context.load_cert_chain(certfile)
            self.context.minimum_version = self.context.maximum_version = ssl.TLSVersion.TLSv1_2


async def serve(args, root, certfile, pin):
    server = Server(args, root, certfile)
    listener = await asyncio.start_server(
        lambda r, w: Control(server, r, w).run(), "127.0.0.1", 0)
    print("READY %d %s %s" % (listener.sockets[0].getsockname()[1], pin, root), flush=True)
    async with listener:
        await listener.serve_forever()


def main():
    args = parse_args()
    work = tempfile.mkdtemp(prefix="vb-light-ftp-")
    watch_for_end(time.monotonic() + args.time_limit, os.getppid(), work, True)
    root = os.path.join(work, "root")
    os.makedirs(root)
    certfile, pin = make_certificate(work, "localhost")
    asyncio.run(serve(args, root, certfile, pin))


if __name__ == "__main__":
    main()
