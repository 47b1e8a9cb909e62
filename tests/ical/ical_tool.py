#!/usr/bin/python3
"""An independent iCalendar reader and writer for the tests (python3-icalendar).

    ical_tool.py read FILE...   prints, as JSON, every event of the files:
                                [{"file", "uid", "start", "end", "summary", "sequence", "dtstamp"}]
    ical_tool.py write OUT      reads [{"uid", "start", "end", "summary"}] (ISO dates) on
                                standard input and writes a calendar of all-day events
"""
import datetime
import json
import sys

import icalendar


def read(paths):
    out = []
    for path in paths:
        with open(path, "rb") as f:
            cal = icalendar.Calendar.from_ical(f.read())
        for ev in cal.walk("VEVENT"):
            out.append({
                "file": path,
                "uid": str(ev["UID"]),
                "start": ev.decoded("DTSTART").isoformat(),
                "end": ev.decoded("DTEND").isoformat(),
                "summary": str(ev.get("SUMMARY", "")),
                "sequence": int(ev.get("SEQUENCE", 0)),
                "dtstamp": ev.decoded("DTSTAMP").isoformat(),
            })
    print(json.dumps(out, ensure_ascii=False))


def write(path):
    cal = icalendar.Calendar()
    cal.add("prodid", "-//Site de test//Reservations//FR")
    cal.add("version", "2.0")
    for e in json.load(sys.stdin):
        ev = icalendar.Event()
        ev.add("uid", e["uid"])
        ev.add("dtstamp", datetime.datetime(2026, 1, 1, tzinfo=datetime.timezone.utc))
        ev.add("dtstart", datetime.date.fromisoformat(e["start"]))
        ev.add("dtend", datetime.date.fromisoformat(e["end"]))
        ev.add("summary", e["summary"])
        cal.add_component(ev)
    with open(path, "wb") as f:
        f.write(cal.to_ical())


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2:])
    else:
        write(sys.argv[2])
