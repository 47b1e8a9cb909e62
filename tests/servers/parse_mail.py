#!/usr/bin/python3
"""Reads one saved message with Python's email package and prints what a mail
reader would see, as JSON: decoded headers, the structure, each part's
content type, charset, decoded text, and for attachments the file name and
the SHA-256 of the decoded bytes."""
import email
import email.policy
import hashlib
import json
import sys

with open(sys.argv[1], "rb") as f:
    msg = email.message_from_binary_file(f, policy=email.policy.default)

out = {
    "subject": str(msg["Subject"]),
    "from": str(msg["From"]),
    "reply_to": str(msg["Reply-To"]),
    "to": str(msg["To"]),
    "date_ok": msg["Date"] is not None and msg["Date"].datetime is not None,
    "message_id": str(msg["Message-ID"]),
    "structure": [],
    "parts": [],
    "defects": [str(d) for d in msg.defects],
}
for part in msg.walk():
    out["structure"].append(part.get_content_type())
    if part.is_multipart():
        continue
    entry = {"type": part.get_content_type(), "charset": part.get_content_charset()}
    if part.get_content_maintype() == "text":
        entry["text"] = part.get_content()
    else:
        data = part.get_payload(decode=True)
        entry["filename"] = part.get_filename()
        entry["disposition"] = part.get_content_disposition()
        entry["sha256"] = hashlib.sha256(data).hexdigest()
        entry["size"] = len(data)
    out["parts"].append(entry)
    out["defects"] += [str(d) for d in part.defects]

json.dump(out, sys.stdout, ensure_ascii=False)
