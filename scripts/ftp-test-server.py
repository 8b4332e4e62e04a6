#!/usr/bin/python3
# A throwaway FTP server for the tests: pyftpdlib on a loopback port (a free one
# unless --port is given). Prints "PORT <n>" once it listens; stopped by its PID.
#
# It never outlives its use: it exits after --max-seconds, and when the process
# that started it dies. Its logs stop growing at --log-limit bytes, so a full
# disk or a storm of errors cannot fill the machine with tracebacks.
#
# Faults on request: a line written to the --fault-file arms one fault for the
# next transfer of that kind, and the file is consumed:
#   refuse STOR | refuse RETR        the next upload / download is refused (550)
#   drop STOR <n> | drop RETR <n>    its data connection is closed after n bytes
#   refuse MLSD | drop MLSD <n>      the same for the next directory listing
import argparse
import ctypes
import logging
import os
import signal
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("--root", required=True)
parser.add_argument("--port", type=int, default=0)
parser.add_argument("--throttle", type=int, default=0, help="bytes per second, 0 for none")
parser.add_argument("--user", default="")
parser.add_argument("--password", default="")
parser.add_argument("--perm", default="elradfmwMT", help="pyftpdlib permissions ('elr': read only)")
parser.add_argument("--log", default="", help="a file that gets one line per file received")
parser.add_argument("--fault-file", default="", help="a file holding the next fault to inject")
parser.add_argument("--max-seconds", type=float, default=900, help="the server exits after this long")
parser.add_argument("--log-limit", type=int, default=1 << 20, help="bytes each log may grow by")
args = parser.parse_args()

START = time.monotonic()
PARENT = os.getppid()


class BoundedStream:
    """stderr that swallows everything past the limit, and write errors."""

    def __init__(self, stream, limit):
        self.stream, self.left = stream, limit

    def write(self, text):
        if self.left <= 0:
            return len(text)
        if len(text) >= self.left:
            text = text[: self.left] + "\n[log limit reached: the rest is dropped]\n"
        self.left -= len(text)
        try:
            self.stream.write(text)
        except OSError:
            self.left = 0
        return len(text)

    def flush(self):
        try:
            self.stream.flush()
        except OSError:
            self.left = 0


sys.stderr = BoundedStream(sys.stderr, args.log_limit)
logging.basicConfig(level=logging.ERROR, stream=sys.stderr)
received_left = args.log_limit


def die_with_parent():
    # Linux: the kernel sends SIGTERM when the parent goes; the polling below covers the rest.
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, int(signal.SIGTERM))  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass
    if os.getppid() != PARENT:
        sys.exit(0)


def take_fault(command):
    """The armed fault for command ('STOR'/'RETR'): ('refuse', 0), ('drop', n) or None."""
    if not args.fault_file:
        return None
    try:
        with open(args.fault_file, encoding="utf-8") as f:
            words = f.read().split()
    except OSError:
        return None
    if len(words) < 2 or words[1].upper() != command:
        return None
    os.remove(args.fault_file)
    if words[0] == "refuse":
        return ("refuse", 0)
    if words[0] == "drop" and len(words) == 3 and words[2].isdigit():
        return ("drop", int(words[2]))
    return None


base_dtp = ThrottledDTPHandler if args.throttle else DTPHandler


class FaultyDTP(base_dtp):
    if args.throttle:
        read_limit = args.throttle
        write_limit = args.throttle

    def use_sendfile(self):
        return False  # every byte sent goes through send(), where it is counted

    def _limit(self):
        return getattr(self.cmd_channel, "drop_after", None)

    def _drop(self):
        self.cmd_channel.drop_after = None
        self.transfer_finished = False
        self._resp = ("426 Connection dropped by the test's fault.", logging.getLogger().info)
        self.close()

    def send(self, data):
        limit = self._limit()
        if limit is None:
            return super().send(data)
        allowed = max(0, limit - self.tot_bytes_sent)
        sent = super().send(data[:allowed]) if allowed else 0
        if self.tot_bytes_sent >= limit:
            self._drop()
        return sent

    def handle_read(self):
        limit = self._limit()
        if limit is not None and self.tot_bytes_received >= limit:
            self._drop()
            return
        super().handle_read()
        if limit is not None and self.tot_bytes_received >= limit and not self._closed:
            self._drop()

    handle_read_event = handle_read  # the base class binds its own under this name


class Handler(FTPHandler):
    dtp_handler = FaultyDTP
    drop_after = None

    def _faulty(self, command, path, run):
        self.drop_after = None
        fault = take_fault(command)
        if fault and fault[0] == "refuse":
            # As a refused open does, but without a data channel left waiting for the next command.
            if self.data_channel is not None:
                self.data_channel.close()
            self.respond("550 Refused by the test's fault.")
            return None
        if fault:
            self.drop_after = fault[1]
        return run(path)

    def ftp_RETR(self, file):
        return self._faulty("RETR", file, super().ftp_RETR)

    def ftp_STOR(self, file, mode="w"):
        return self._faulty("STOR", file, lambda path: super(Handler, self).ftp_STOR(path, mode))

    def ftp_MLSD(self, path):
        return self._faulty("MLSD", path, super().ftp_MLSD)

    def on_file_received(self, file):
        global received_left
        line = file + "\n"
        if not args.log or received_left < len(line.encode("utf-8")):
            return
        received_left -= len(line.encode("utf-8"))
        try:
            with open(args.log, "a", encoding="utf-8") as log:
                log.write(line)
        except OSError:
            received_left = 0


authorizer = DummyAuthorizer()
authorizer.add_anonymous(args.root, perm=args.perm)
if args.user:
    authorizer.add_user(args.user, args.password, args.root, perm=args.perm)
Handler.authorizer = authorizer
Handler.banner = "test server ready"
Handler.auth_failed_timeout = 0  # a refused log-in answers at once: tests wait for nothing

die_with_parent()
server = FTPServer(("127.0.0.1", args.port), Handler)
print("PORT", server.address[1], flush=True)
try:
    while time.monotonic() - START < args.max_seconds and os.getppid() == PARENT:
        server.serve_forever(timeout=0.2, blocking=False, handle_exit=False)
except KeyboardInterrupt:
    pass
server.close_all()
sys.exit(0)
