#!/usr/bin/python3
"""FTP server for the backup tests, on 127.0.0.1 (pyftpdlib).

    backup_ftp_server.py --root DIR --user U --password P [--read-only]

Prints "PORT <n>" once listening. --read-only refuses every upload.
"""
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--read-only", action="store_true")
    args = parser.parse_args()
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr" if args.read_only else "elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    try:
        server.serve_forever(timeout=1)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
