#!/usr/bin/python3
# A throwaway FTP server for the tests: pyftpdlib on a loopback port (a free one
# unless --port is given). Prints "PORT <n>" once it listens; stopped by its PID.
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("--root", required=True)
parser.add_argument("--port", type=int, default=0)
parser.add_argument("--throttle", type=int, default=0, help="bytes per second, 0 for none")
parser.add_argument("--user", default="")
parser.add_argument("--password", default="")
parser.add_argument("--log", default="", help="a file that gets one line per file received")
args = parser.parse_args()

logging.basicConfig(level=logging.ERROR)
authorizer = DummyAuthorizer()
authorizer.add_anonymous(args.root, perm="elradfmwMT")
if args.user:
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

class Handler(FTPHandler):
    def on_file_received(self, file):
        if args.log:
            with open(args.log, "a", encoding="utf-8") as log:
                log.write(file + "\n")


handler = Handler
handler.authorizer = authorizer
handler.banner = "test server ready"
if args.throttle:
    dtp = ThrottledDTPHandler
    dtp.read_limit = args.throttle
    dtp.write_limit = args.throttle
    handler.dtp_handler = dtp

server = FTPServer(("127.0.0.1", args.port), handler)
print("PORT", server.address[1], flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    sys.exit(0)
