#!/usr/bin/python3
"""An FTP(S) server for the publishing tests and benchmark, on 127.0.0.1 only.

Serves a temporary folder (or --root) to one user, plain or with TLS (AUTH TLS on the same
port, or TLS from the first byte), with a certificate made for this run. Once listening it
prints one line to standard output and flushes it:

    READY <port> <pin> <root>

<pin> is the certificate's public-key pin, "sha256//" and the base64 of the SHA-256 of its
SubjectPublicKeyInfo. The faults that --help lists are switched on by flags. The server
ends by itself when its standard input reaches its end (the parent closed the pipe or died),
when its parent process is gone, or after --time-limit seconds; a temporary root goes with
it.

--log FILE appends one line per command received (a password is written as PASS ***), and
lines for the events the tests look for: "TLS control <version> reused=<0|1>", "TLS data
<version> reused=<0|1>", "DROP <command>", "FULL <path>", "BUSY".
"""
import argparse
import base64
import collections
import datetime
import hashlib
import os
import shutil
import socket
import sys
import tempfile
import threading
import time

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID
from OpenSSL import SSL
from OpenSSL._util import lib as _ssl_lib
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler, DTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--tls", choices=("explicit", "implicit", "none"), default="explicit",
                   help="explicit: AUTH TLS offered (plain FTP still allowed); implicit: TLS "
                        "from the first byte; none: no TLS offered at all (AUTH refused)")
    p.add_argument("--user", default="user")
    p.add_argument("--password", default="secret")
    p.add_argument("--root", help="the folder served (default: a new temporary folder)")
    p.add_argument("--cert-name", default="ftp.vornack-test.example",
                   help="the name the certificate is made for")
    p.add_argument("--delay", type=float, default=0.0,
                   help="seconds added before each reply of the control connection")
    p.add_argument("--drop-after", type=int, metavar="K",
                   help="once K more files have been stored (since the start or the last "
                        "drop), drop the connection that sends the next STOR, unanswered")
    p.add_argument("--drops", type=int, default=0, metavar="T",
                   help="with --drop-after: drop at most T times (0: no limit)")
    p.add_argument("--max-connections", type=int, default=0,
                   help="logged-in or not, control connections beyond this get 421")
    p.add_argument("--no-rename-over", action="store_true",
                   help="refuse RNTO onto an existing name (550)")
    p.add_argument("--nlst-450", action="store_true",
                   help="answer every NLST 450 (no files found), whatever the folder holds")
    p.add_argument("--full-after", type=int, metavar="N",
                   help="after N files stored, every further upload ends in 552 and is "
                        "removed")
    p.add_argument("--require-reuse", action="store_true",
                   help="refuse (522) a TLS data connection that does not resume the "
                        "control connection's TLS session")
    p.add_argument("--tls-max", choices=("1.2", "1.3"), default="1.3",
                   help="highest TLS version the server takes")
    p.add_argument("--port", type=int, default=0,
                   help="the port to listen on (default: a free one); a server started again "
                        "on its predecessor's port is the same destination to a publish")
    p.add_argument("--log", help="file to append the commands and events to")
    p.add_argument("--verbose", action="store_true",
                   help="pyftpdlib's own log of every command and reply on standard error")
    p.add_argument("--keep-stdin", action="store_true",
                   help="keep running when standard input ends (a server started with &)")
    p.add_argument("--time-limit", type=float, default=900.0,
                   help="seconds after which the server ends by itself")
    return p.parse_args()


def make_certificate(folder, name):
    """A self-signed certificate for name and 127.0.0.1; returns (PEM path, pin)."""
    key = ec.generate_private_key(ec.SECP256R1())
    subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, name),
                         x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Vornack test server")])
    now = datetime.datetime.now(datetime.timezone.utc)
    import ipaddress
    cert = (x509.CertificateBuilder()
            .subject_name(subject).issuer_name(subject)
            .public_key(key.public_key())
            .serial_number(x509.random_serial_number())
            .not_valid_before(now - datetime.timedelta(hours=1))
            .not_valid_after(now + datetime.timedelta(days=2))
            .add_extension(x509.SubjectAlternativeName(
                [x509.DNSName(name), x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]),
                critical=False)
            .sign(key, hashes.SHA256()))
    path = os.path.join(folder, "server.pem")
    with open(path, "wb") as f:
        f.write(key.private_bytes(serialization.Encoding.PEM,
                                  serialization.PrivateFormat.PKCS8,
                                  serialization.NoEncryption()))
        f.write(cert.public_bytes(serialization.Encoding.PEM))
    spki = key.public_key().public_bytes(serialization.Encoding.DER,
                                         serialization.PublicFormat.SubjectPublicKeyInfo)
    pin = "sha256//" + base64.b64encode(hashlib.sha256(spki).digest()).decode()
    return path, pin


class State:
    """What the fault hooks count across all connections (one thread: the server's loop)."""
    args = None
    log = None
    stored = 0            # files stored whole
    since_drop = 0        # of those, since the last drop
    drops = 0

    @classmethod
    def write(cls, line):
        if cls.log:
            cls.log.write(line + "\n")
            cls.log.flush()


def tls_version(conn):
    return conn.get_protocol_version_name()


def session_reused(conn):
    return bool(_ssl_lib.SSL_session_reused(conn._ssl))


class DataHandlerMixin:
    """The data channel. pyftpdlib's DTPHandler.readable() closes a channel that has input
    before its transfer command; a TLS client (libcurl) sends its ClientHello as soon as the
    data connection is made, before STOR or NLST. While the handshake is pending the channel
    stays readable so that the handshake goes on."""

    def readable(self):
        if getattr(self, "_ssl_accepting", False) or getattr(self, "_ssl_want_read", False):
            return True
        return super().readable()

    def handle_ssl_established(self):
        reused = session_reused(self.socket)
        State.write("TLS data %s reused=%d" % (tls_version(self.socket), reused))
        if State.args.require_reuse and not reused:
            self.cmd_channel.respond("522 TLS session of the control connection required.")
            self._error = True
            self.close()


class PlainData(DataHandlerMixin, DTPHandler):
    pass


class TlsData(DataHandlerMixin, TLS_DTPHandler):
    pass


class ControlMixin:
    """The control connection: the command log, the reply delay and the fault hooks."""

    auth_failed_timeout = 0  # answer a wrong password at once

    def __init__(self, *a, **kw):
        self._delayed = collections.deque()
        self._flush_task = None
        self._close_after_flush = False
        self._storing = None
        super().__init__(*a, **kw)

    # --- the log
    def pre_process_command(self, line, cmd, arg):
        State.write("PASS ***" if cmd == "PASS" else line)
        super().pre_process_command(line, cmd, arg)

    # --- the reply delay: every byte of the control connection waits in order
    def push(self, s):
        if State.args.delay <= 0:
            return super().push(s)
        self._delayed.append((time.monotonic() + State.args.delay, s))
        if self._flush_task is None:
            self._flush_task = self.ioloop.call_later(State.args.delay, self._flush,
                                                      _errback=self.handle_error)

    def _flush(self):
        self._flush_task = None
        now = time.monotonic()
        while self._delayed and self._delayed[0][0] <= now + 0.0002:
            if self._closed:
                self._delayed.clear()
                return
            item = self._delayed.popleft()[1]
            if callable(item):
                item()
            else:
                super().push(item)
        if self._delayed:
            self._flush_task = self.ioloop.call_later(
                max(0.0, self._delayed[0][0] - now), self._flush, _errback=self.handle_error)
        elif self._close_after_flush:
            super().close_when_done()

    def close_when_done(self):
        if self._delayed:
            self._close_after_flush = True
        else:
            super().close_when_done()

    # --- the limit of connections
    def handle_max_cons_per_ip(self):
        State.write("BUSY")
        super().handle_max_cons_per_ip()

    # --- replies that the faults change
    def respond(self, resp, logfun=None):
        if resp.startswith("226") and self._storing is not None:
            path, self._storing = self._storing, None
            full = State.args.full_after is not None and State.stored >= State.args.full_after
            if full:
                try:
                    os.remove(path)
                except OSError:
                    pass
                State.write("FULL %s" % path)
                resp = "552 Requested file action aborted: exceeded storage allocation."
            else:
                State.stored += 1
                State.since_drop += 1
        elif not resp.startswith(("150", "125")):
            self._storing = None
        if logfun is None:
            return super().respond(resp)
        return super().respond(resp, logfun)

    def ftp_STOR(self, file, mode="w"):
        a = State.args
        if (a.drop_after is not None and State.since_drop >= a.drop_after
                and (a.drops == 0 or State.drops < a.drops)):
            State.drops += 1
            State.since_drop = 0
            State.write("DROP STOR")
            self._drop()
            return None
        self._storing = file
        return super().ftp_STOR(file, mode)

    def ftp_NLST(self, path):
        if State.args.nlst_450:
            self.respond("450 No files found.")
            return None
        return super().ftp_NLST(path)

    def ftp_RNTO(self, path):
        if State.args.no_rename_over and self._rnfr and self.fs.lexists(path):
            self._rnfr = None
            self.respond("550 Cannot rename onto an existing file.")
            return None
        return super().ftp_RNTO(path)

    def _drop(self):
        """Closes the connection without a reply or a TLS close, as a dropped line does."""
        raw = getattr(self.socket, "_socket", self.socket)
        try:
            raw.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self._error = True
        self._delayed.clear()
        self.close()


class PlainControl(ControlMixin, FTPHandler):
    dtp_handler = PlainData


class TlsControl(ControlMixin, TLS_FTPHandler):
    dtp_handler = TlsData

    def secure_connection(self, ssl_context):
        # AUTH's reply goes out in clear before the handshake: when it waits in the delay,
        # the handshake waits behind it.
        if self._delayed:
            secure = super().secure_connection
            self._delayed.append((self._delayed[-1][0], lambda: secure(ssl_context)))
        else:
            super().secure_connection(ssl_context)

    def handle_ssl_established(self):
        State.write("TLS control %s reused=%d" % (tls_version(self.socket),
                                                  session_reused(self.socket)))


class ImplicitTlsControl(TlsControl):
    """TLS from the first byte: the handshake starts before the greeting."""

    def __init__(self, conn, server, ioloop=None):
        super().__init__(conn, server, ioloop)
        if self.connected:
            self.secure_connection(self.ssl_context)


def watch_for_end(deadline, parent, work, watch_stdin):
    """Ends the process when standard input closes, the parent goes, or the time is up."""
    def end():
        shutil.rmtree(work, ignore_errors=True)
        os._exit(0)

    def stdin_reader():
        try:
            while sys.stdin.buffer.read1(4096):
                pass
        except (OSError, ValueError):
            pass
        end()

    def watcher():
        while True:
            if os.getppid() != parent or time.monotonic() > deadline:
                end()
            time.sleep(0.25)

    if watch_stdin:
        threading.Thread(target=stdin_reader, daemon=True).start()
    threading.Thread(target=watcher, daemon=True).start()


def main():
    args = parse_args()
    State.args = args
    work = tempfile.mkdtemp(prefix="vb-ftp-")
    watch_for_end(time.monotonic() + args.time_limit, os.getppid(), work, not args.keep_stdin)
    try:
        root = os.path.abspath(args.root) if args.root else os.path.join(work, "root")
        os.makedirs(root, exist_ok=True)
        if args.log:
            State.log = open(args.log, "a", encoding="utf-8")
        authorizer = DummyAuthorizer()
        authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
        certfile, pin = make_certificate(work, args.cert_name)
        if args.tls == "none":
            handler = PlainControl
        else:
            handler = ImplicitTlsControl if args.tls == "implicit" else TlsControl
            context = SSL.Context(SSL.TLS_METHOD)
            context.use_certificate_chain_file(certfile)
            context.use_privatekey_file(certfile)
            context.set_options(SSL.OP_NO_COMPRESSION)
            context.set_min_proto_version(SSL.TLS1_2_VERSION)
            context.set_max_proto_version(
                SSL.TLS1_3_VERSION if args.tls_max == "1.3" else SSL.TLS1_2_VERSION)
            # One session cache for the control and data connections, as servers that
            # demand the control connection's session on the data connection keep it.
            context.set_session_id(b"vornack-test")
            context.set_session_cache_mode(SSL.SESS_CACHE_SERVER)
            handler.ssl_context = context
        handler.authorizer = authorizer
        handler.banner = "Vornack test server ready."
        handler.passive_ports = None
        handler.permit_foreign_addresses = False
        # The loop waits in epoll for the next scheduled call (a delayed reply), but hands
        # epoll "timeout or -1": a call due now would make it wait for the next socket event.
        ioloop = IOLoop.instance()
        poll = ioloop.poll
        ioloop.poll = lambda timeout: poll(timeout if timeout is None else max(timeout, 1e-4))
        server = FTPServer(("127.0.0.1", args.port), handler, ioloop=ioloop)
        server.max_cons = 0
        server.max_cons_per_ip = args.max_connections
        port = server.socket.getsockname()[1]
        print("READY %d %s %s" % (port, pin, root), flush=True)
        # No poll timeout: the loop then wakes for the delayed replies when they are due.
        server.serve_forever(handle_exit=False)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.DEBUG if "--verbose" in sys.argv else logging.CRITICAL,
                        format="%(relativeCreated)d %(message)s")
    main()
