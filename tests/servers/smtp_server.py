#!/usr/bin/python3
"""Loopback SMTP relay for the e-mail tests.

Listens on 127.0.0.1 (a free port), accepts AUTH LOGIN with one account and
saves every message it receives as DIR/msg-N.eml. Each session event (EHLO,
STARTTLS, AUTH attempts, MAIL, RCPT) is appended to DIR/log.txt so that tests
can tell what crossed the wire. With --tls it generates a self-signed
certificate for 127.0.0.1 into DIR and requires STARTTLS before AUTH.

Prints the port on the first line of standard output (and with --tls the
certificate's path on the second), then serves until standard input closes or
--lifetime seconds have passed.
"""
import argparse
import asyncio
import logging
import os
import ssl
import subprocess
import sys

import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# The relay's own chatter (AUTH without TLS warnings, refused handshakes) would
# drown the test output; tests read log.txt instead.
warnings.filterwarnings("ignore")
logging.getLogger("mail.log").setLevel(logging.CRITICAL)


class Recorder:
    def __init__(self, directory, refuse):
        self.directory = directory
        self.refuse = refuse
        self.count = 0

    def log(self, line):
        with open(os.path.join(self.directory, "log.txt"), "a", encoding="utf-8") as f:
            f.write(line + "\n")

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        # After STARTTLS the client greets again, now encrypted.
        self.log("EHLO " + hostname + (" TLS" if session.ssl else ""))
        session.host_name = hostname
        return responses

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        self.log("MAIL " + address)
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refuse:
            self.log("RCPT-REFUSED " + address)
            return "550 5.1.1 Destinataire inconnu"
        self.log("RCPT " + address)
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        path = os.path.join(self.directory, "msg-%d.eml" % self.count)
        with open(path + ".part", "wb") as f:
            f.write(envelope.original_content)
        os.replace(path + ".part", path)
        self.log("DATA %d" % len(envelope.original_content))
        return "250 Message accepted"


def make_certificate(directory):
    cert = os.path.join(directory, "relay-cert.pem")
    key = os.path.join(directory, "relay-key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
         "-days", "2", "-subj", "/CN=127.0.0.1",
         "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    return cert, key


async def main():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--user", default="tormivak")
    p.add_argument("--password", default="kavel4072")
    p.add_argument("--tls", action="store_true")
    p.add_argument("--refuse", action="append", default=[], help="recipient answered 550")
    p.add_argument("--lifetime", type=float, default=120)
    a = p.parse_args()

    recorder = Recorder(a.dir, a.refuse)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and \
            auth_data.login.decode() == a.user and auth_data.password.decode() == a.password
        recorder.log("AUTH %s %s %s" % (mechanism, auth_data.login.decode() if isinstance(auth_data, LoginPassword)
                                         else "?", "ok" if ok else "refused"))
        return AuthResult(success=ok, handled=False)

    tls_context = None
    cert = None
    if a.tls:
        cert, key = make_certificate(a.dir)
        tls_context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls_context.load_cert_chain(cert, key)

    def factory():
        return SMTP(recorder, hostname="relais.test", tls_context=tls_context, require_starttls=a.tls,
                    auth_required=True, auth_require_tls=a.tls, authenticator=authenticator,
                    auth_exclude_mechanism=["PLAIN"], timeout=30)

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    if cert:
        print(cert, flush=True)
    stdin_closed = loop.run_in_executor(None, sys.stdin.read)
    try:
        await asyncio.wait_for(stdin_closed, a.lifetime)
    except asyncio.TimeoutError:
        pass
    server.close()
    os._exit(0)


asyncio.run(main())
