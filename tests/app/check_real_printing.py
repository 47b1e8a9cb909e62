#!/usr/bin/python3
"""Real printing: `kestrova imprimer` on a private CUPS server whose default
printer is a cups-pdf queue, then the PDF that the queue writes is read back.

The server is our own cupsd (configuration, spool, cache and logs in a
temporary directory, listening on a Unix socket only); the program reaches it
through CUPS_SERVER. The system's CUPS configuration is never read or changed.

cups-pdf reads its settings from its compiled-in directory only
(/etc/cups/cups-pdf.conf, or /etc/cups/cups-pdf-NAME.conf for a queue whose
device is cups-pdf:/NAME), so it cannot be pointed at a private output
directory without writing under /etc. It writes where the system's settings
say: "Out" of /etc/cups/cups-pdf.conf, "${HOME}/PDF" of the job's user by
default (/root/PDF when run as root), as TITLE-job_ID.pdf. Jobs of this run
get numbers no other run uses (the private server starts counting at a number
drawn here), and every file this run finds there is removed at the end.

Exit status 77 (skipped) with the reason printed when cupsd cannot start:
not root, cups or cups-pdf not installed, or the server does not come up.

Usage: check_real_printing.py KESTROVA_BINARY
"""

import glob
import os
import pwd
import random
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

SKIP = 77
QUEUE = "kestrova_pdf"
CUPSD = "/usr/sbin/cupsd"
LPADMIN = "/usr/sbin/lpadmin"
BACKEND = "/usr/lib/cups/backend/cups-pdf"
PPD_GLOB = "/usr/share/ppd/cups-pdf/CUPS-PDF*.ppd"
A4 = (595.0, 842.0)


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def fail(message, logs=None):
    print("FAIL: " + message)
    if logs and os.path.exists(logs):
        with open(logs, errors="replace") as f:
            lines = [l for l in f if not l.startswith("D ")]
        print("--- cupsd error_log (last lines) ---")
        print("".join(lines[-25:]))
    sys.exit(1)


def output_directory(user):
    """Where cups-pdf writes the jobs of `user`, from the system's cups-pdf.conf."""
    out = "/var/spool/cups-pdf/${USER}"
    try:
        with open("/etc/cups/cups-pdf.conf") as f:
            for line in f:
                m = re.match(r"\s*Out\s+(\S.*?)\s*$", line)
                if m:
                    out = m.group(1)
    except OSError:
        pass
    entry = pwd.getpwnam(user)
    return out.replace("${HOME}", entry.pw_dir).replace("${USER}", user)


def start_cupsd(base, first_job):
    for d in ("conf", "spool", "cache", "state", "log", "tmp", "home"):
        os.makedirs(os.path.join(base, d))
    # The filters run as lp: they must reach the spool and the temporary files.
    os.chmod(base, 0o755)
    os.chmod(os.path.join(base, "tmp"), 0o1777)
    socket = os.path.join(base, "cups.sock")
    with open(os.path.join(base, "conf", "cupsd.conf"), "w") as f:
        f.write(f"""Listen {socket}
LogLevel info
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
""")
    with open(os.path.join(base, "conf", "cups-files.conf"), "w") as f:
        f.write(f"""ServerRoot {base}/conf
RequestRoot {base}/spool
CacheDir {base}/cache
StateDir {base}/state
TempDir {base}/tmp
ErrorLog {base}/log/error_log
AccessLog {base}/log/access_log
PageLog {base}/log/page_log
Printcap {base}/printcap
User lp
Group lp
SystemGroup root
""")
    with open(os.path.join(base, "cache", "job.cache"), "w") as f:
        f.write(f"NextJobId {first_job}\n")
    process = subprocess.Popen(
        [CUPSD, "-f", "-c", f"{base}/conf/cupsd.conf", "-s", f"{base}/conf/cups-files.conf"],
        stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
    env = dict(os.environ, CUPS_SERVER=socket, HOME=os.path.join(base, "home"))
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        if process.poll() is not None:
            break
        if os.path.exists(socket) and subprocess.run(
                ["lpstat", "-r"], env=env, capture_output=True, timeout=10).returncode == 0:
            return process, env
        time.sleep(0.2)
    process.kill()
    process.wait()
    log = os.path.join(base, "log", "error_log")
    tail = open(log, errors="replace").read()[-600:] if os.path.exists(log) else ""
    skip("the private cupsd did not start: " + tail.strip())


def run(cmd, env, timeout=60):
    r = subprocess.run(cmd, env=env, capture_output=True, text=True, timeout=timeout)
    if r.returncode != 0:
        fail(f"{' '.join(cmd)} -> {r.returncode}\n{r.stdout}{r.stderr}")
    return r.stdout


def wait_for_job(job, env, out_dir, logs, timeout=90):
    """The PDF cups-pdf writes for that job, once the job is completed."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        done = subprocess.run(["lpstat", "-W", "completed", "-o", QUEUE], env=env,
                              capture_output=True, text=True, timeout=10).stdout
        if re.search(rf"^{QUEUE}-{job}\s", done, re.M):
            files = glob.glob(os.path.join(out_dir, f"*job_{job}.pdf"))
            if files:
                return files[0]
        state = subprocess.run(["lpstat", "-l", "-o", QUEUE], env=env,
                               capture_output=True, text=True, timeout=10).stdout
        if re.search(r"(stopped|aborted|canceled)", state, re.I):
            fail(f"job {job} did not complete:\n{state}", logs)
        time.sleep(0.3)
    fail(f"no PDF for job {job} in {out_dir} after {timeout} s", logs)


def page_geometry(pdf):
    """Width, height (points) and rotation of each page, as pdfinfo reports them."""
    info = subprocess.run(["pdfinfo", "-f", "1", "-l", "99", pdf], capture_output=True, text=True,
                          timeout=30, check=True).stdout
    sizes = re.findall(r"^Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts", info, re.M)
    rots = re.findall(r"^Page\s+\d+ rot:\s+(\d+)", info, re.M)
    return [(float(w), float(h), int(r)) for (w, h), r in zip(sizes, rots)]


def words(pdf):
    """Pages of (width, height, [(text, xMin, yMin, xMax, yMax)]) from pdftotext -bbox."""
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True, text=True,
                          timeout=30, check=True).stdout
    html = re.sub(r"<!DOCTYPE[^>]*>", "", html)
    root = ET.fromstring(html)
    ns = {"h": "http://www.w3.org/1999/xhtml"}
    pages = []
    for page in root.iter("{http://www.w3.org/1999/xhtml}page"):
        found = [(w.text or "", float(w.get("xMin")), float(w.get("yMin")),
                  float(w.get("xMax")), float(w.get("yMax")))
                 for w in page.findall("h:word", ns)]
        pages.append((float(page.get("width")), float(page.get("height")), found))
    return pages


def check_pdf(label, pdf, landscape, expected, reference):
    geometry = page_geometry(pdf)
    if not geometry:
        fail(f"{label}: pdfinfo reports no page")
    pages = words(pdf)
    for i, (w, h, rot) in enumerate(geometry, 1):
        if abs(min(w, h) - A4[0]) > 2 or abs(max(w, h) - A4[1]) > 2:
            fail(f"{label}: page {i} is {w} x {h} pts, not A4")
        # A landscape job reaches a portrait sheet turned a quarter: its lines
        # of text then run up the page (word boxes taller than wide).
        found = pages[i - 1][2] if i <= len(pages) else []
        long_words = [(x1 - x0, y1 - y0) for t, x0, y0, x1, y1 in found if len(t) >= 3]
        turned = sum(1 for bw, bh in long_words if bh > bw) > len(long_words) / 2
        sheet_landscape = (w > h) != (rot % 180 == 90)
        shown_landscape = sheet_landscape != turned
        if shown_landscape != landscape:
            fail(f"{label}: page {i} reads {'landscape' if shown_landscape else 'portrait'} "
                 f"({w} x {h}, rotated {rot}, text {'turned' if turned else 'upright'})")
    texts = []
    for i, (w, h, found) in enumerate(pages, 1):
        for text, x0, y0, x1, y1 in found:
            if x0 < -0.5 or y0 < -0.5 or x1 > w + 0.5 or y1 > h + 0.5:
                fail(f"{label}: « {text} » on page {i} lies outside the page "
                     f"({x0:.1f},{y0:.1f})-({x1:.1f},{y1:.1f}) of {w:.0f} x {h:.0f}")
        texts += [t for t, *_ in found]
    joined = " ".join(texts)
    for wanted in expected:
        if wanted not in joined:
            fail(f"{label}: « {wanted} » is missing from the printed page:\n{joined[:1500]}")
    # Paper shows every word of the same page written straight to PDF.
    if reference:
        missing = sorted(set(t for _, _, found in words(reference) for t, *_ in found) - set(texts))
        if missing:
            fail(f"{label}: words of the page are missing on paper: {missing[:20]}")
    print(f"ok: {label}: {len(geometry)} page(s), {len(texts)} words inside the page")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    kestrova = sys.argv[1]
    if os.geteuid() != 0:
        skip("a private cupsd runs its cups-pdf backend as root only; not root here")
    for path in (CUPSD, LPADMIN, BACKEND):
        if not os.path.exists(path):
            skip(f"{path} is not installed (packages cups, printer-driver-cups-pdf)")
    ppds = sorted(glob.glob(PPD_GLOB))
    if not ppds:
        skip("no cups-pdf PPD under /usr/share/ppd/cups-pdf")
    for tool in ("lpstat", "pdfinfo", "pdftotext"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed")

    user = pwd.getpwuid(os.geteuid()).pw_name
    out_dir = output_directory(user)
    first_job = random.randint(100000, 900000)
    base = tempfile.mkdtemp(prefix="kestrova-cups-")
    process = None
    produced = []
    try:
        process, env = start_cupsd(base, first_job)
        logs = os.path.join(base, "log", "error_log")
        # The queue turns our PDF into PostScript for cups-pdf. Ghostscript, the
        # default, redraws the embedded TrueType text as glyphs without their
        # characters (right on paper, unreadable to pdftotext); poppler's cairo
        # renderer keeps them, as cups-pdf's Debian notes advise for this queue.
        run([LPADMIN, "-p", QUEUE, "-E", "-v", "cups-pdf:/", "-P", ppds[-1],
             "-o", "pdftops-renderer-default=pdftocairo"], env)
        run([LPADMIN, "-d", QUEUE], env)
        if QUEUE not in run(["lpstat", "-d"], env):
            fail("the cups-pdf queue is not the default printer")

        data = os.path.join(base, "data")
        os.makedirs(data)
        app_env = dict(env, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
        run([kestrova, "--dir", data, "demo"], app_env, timeout=120)
        db = sqlite3.connect(os.path.join(data, "reserv.mdb"))
        invoice, name, ht, tva, ttc = db.execute(
            "SELECT f.id, i.nom, f.total_ht, f.total_tva, f.total_ttc FROM facturation f "
            "JOIN infos i ON i.id = f.id_client WHERE i.nom <> '' ORDER BY f.id LIMIT 1").fetchone()
        quote, quote_name = db.execute(
            "SELECT d.id, i.nom FROM devis d JOIN infos i ON i.id = d.id_client "
            "WHERE i.nom <> '' ORDER BY d.id LIMIT 1").fetchone()
        night = db.execute("SELECT MIN(r_date) FROM reserv").fetchone()[0]
        db.close()
        month = f"01/{night[5:7]}/{night[0:4]}"
        month_names = ["janvier", "février", "mars", "avril", "mai", "juin", "juillet", "aout",
                       "septembre", "octobre", "novembre", "décembre"]

        jobs = [
            ("facture", ["facture", str(invoice)], False,
             [f"Facture N° {invoice}", name, f"{ht:.2f}", f"{tva:.2f}", f"{ttc:.2f}"]),
            ("devis", ["devis", str(quote)], False, [f"Devis N° {quote}", quote_name]),
            ("planning du mois", ["planning", "mois", month], True, [month_names[int(night[5:7]) - 1]]),
        ]
        job = first_job
        for label, args, landscape, expected in jobs:
            reference = os.path.join(base, f"reference-{job}.pdf")
            run([kestrova, "--dir", data, "imprimer"] + args + ["--pdf", reference], app_env, timeout=120)
            run([kestrova, "--dir", data, "imprimer"] + args, app_env, timeout=120)
            pdf = wait_for_job(job, env, out_dir, logs)
            produced.append(pdf)
            # KESTROVA_SHOTS=DIR keeps a copy of each printed PDF, to look at.
            if os.environ.get("KESTROVA_SHOTS"):
                shutil.copy(pdf, os.path.join(os.environ["KESTROVA_SHOTS"], f"printed-{args[0]}.pdf"))
            check_pdf(label, pdf, landscape, expected, reference)
            job += 1
        return 0
    finally:
        for pdf in produced + glob.glob(os.path.join(out_dir, f"*job_{first_job}.pdf")) + \
                glob.glob(os.path.join(out_dir, f"*job_{first_job + 1}.pdf")) + \
                glob.glob(os.path.join(out_dir, f"*job_{first_job + 2}.pdf")):
            if os.path.exists(pdf):
                os.remove(pdf)
        if process:
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
