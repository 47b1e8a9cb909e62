#!/usr/bin/python3
"""A throw-away PostgreSQL server for the tests and benchmarks.

    pg_server.py start STATE   initdb + pg_ctl start in a new /tmp/kestrova-pg-XXXX
                               directory (Unix socket only, no TCP port), then
                               writes STATE: lines "host=", "port=", "user=", "root="
    pg_server.py stop STATE    stops that server and removes its directory

Run as root, the server runs as the user postgres (or nobody). Every failure
exits non-zero with the reason: a PostgreSQL run of the tests must fail, never
skip, when its server cannot start.
"""
import os
import pwd
import shutil
import subprocess
import sys
import tempfile

BIN_DIRS = ["/usr/lib/postgresql/15/bin", "/usr/lib/postgresql/16/bin", "/usr/lib/postgresql/17/bin"]
PORT = "5432"
USER = "kestrova"


def find_bin():
    for d in BIN_DIRS:
        if os.path.exists(os.path.join(d, "initdb")):
            return d
    sys.exit("pg_server: initdb not found (Debian package postgresql) in " + ", ".join(BIN_DIRS))


def server_account():
    if os.geteuid() != 0:
        return None
    for name in ("postgres", "nobody"):
        try:
            return pwd.getpwnam(name)
        except KeyError:
            pass
    sys.exit("pg_server: neither user postgres nor nobody exists")


def run(args, account, timeout=120):
    if account is not None:
        args = ["setpriv", "--reuid=%d" % account.pw_uid, "--regid=%d" % account.pw_gid, "--clear-groups"] + args
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout,
                            cwd="/tmp")
    if result.returncode != 0:
        sys.stderr.write(result.stdout.decode(errors="replace"))
        sys.exit("pg_server: %s failed (exit %d)" % (os.path.basename(args[0] if account is None else args[4]),
                                                    result.returncode))
    return result.stdout.decode(errors="replace")


def read_state(path):
    state = {}
    with open(path) as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            state[key] = value
    return state


def start(state_path):
    bindir = find_bin()
    account = server_account()
    if os.path.exists(state_path):
        # A server left over by an interrupted run: stop it first.
        stop(state_path, quiet=True)
    root = tempfile.mkdtemp(prefix="kestrova-pg-", dir="/tmp")
    data = os.path.join(root, "data")
    if account is not None:
        os.chown(root, account.pw_uid, account.pw_gid)
    fsync = os.environ.get("KESTROVA_PG_FSYNC", "off")
    run([os.path.join(bindir, "initdb"), "-D", data, "-U", USER, "-A", "trust", "-E", "UTF8",
         "--locale=C.UTF-8", "--no-sync"], account)
    with open(os.path.join(data, "postgresql.conf"), "a") as conf:
        conf.write("listen_addresses = ''\nunix_socket_directories = '%s'\nport = %s\n"
                   "fsync = %s\nmax_connections = 200\nshared_buffers = 128MB\n" % (root, PORT, fsync))
    run([os.path.join(bindir, "pg_ctl"), "-D", data, "-l", os.path.join(root, "server.log"), "-w", "-t", "60",
         "start"], account)
    with open(state_path, "w") as f:
        f.write("host=%s\nport=%s\nuser=%s\nroot=%s\nbin=%s\n" % (root, PORT, USER, root, bindir))
    print("PostgreSQL started, socket in %s" % root)


def stop(state_path, quiet=False):
    if not os.path.exists(state_path):
        if quiet:
            return
        sys.exit("pg_server: no state file %s (server not started?)" % state_path)
    state = read_state(state_path)
    root = state.get("root", "")
    data = os.path.join(root, "data")
    if os.path.isdir(data):
        subprocess.run([os.path.join(state.get("bin", find_bin()), "pg_ctl"), "-D", data, "-m", "immediate",
                        "-w", "-t", "60", "stop"] if os.geteuid() != 0 else
                       ["setpriv", "--reuid=%d" % server_account().pw_uid, "--regid=%d" % server_account().pw_gid,
                        "--clear-groups", os.path.join(state.get("bin", find_bin()), "pg_ctl"), "-D", data,
                        "-m", "immediate", "-w", "-t", "60", "stop"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=90, cwd="/tmp")
    if root.startswith("/tmp/kestrova-pg-"):
        shutil.rmtree(root, ignore_errors=True)
    os.remove(state_path)
    if not quiet:
        print("PostgreSQL stopped")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit("usage: pg_server.py start|stop STATE")
    (start if sys.argv[1] == "start" else stop)(os.path.abspath(sys.argv[2]))
