#!/usr/bin/python3
"""Reads memcheck's XML report of a host session and decides whether the
plug-ins did any harm.

Fails when
  - any record has a frame in a plug-in (an object file named vorlan*.mex),
    in the stack of the report or in the stack where the block or the
    uninitialised value came from;
  - any record is an access error (invalid read, write, free, jump, use of an
    uninitialised value, overlapping copy, bad system call argument) wherever
    it happens: the host does none of these on its own, so one that appears
    may be the plug-ins' doing (a stray write, an output element left
    unwritten) even with no plug-in frame on the stack.
Leaks with no plug-in frame are Octave's own; they are listed but do not fail.

With --expect-faults (the check of the judge itself, on a deliberately faulty
plug-in) it passes only if plug-in records of a leak, an invalid read and a
use of uninitialised memory are all there.
"""
import re
import sys
import xml.etree.ElementTree as ET
from collections import Counter

MAX_SHOWN = 20
PLUGIN_OBJECT = re.compile(r"(^|/)vorlan[A-Za-z]*\.mex$")


def frames(error):
    for stack in error.findall("stack"):
        for frame in stack.findall("frame"):
            yield frame.findtext("obj", ""), frame.findtext("fn", "?")


def describe(error):
    what = error.findtext("what") or error.findtext("xwhat/text") or ""
    lines = [f"{error.findtext('kind')}: {what}"]
    for obj, fn in frames(error):
        mark = "  <== plug-in" if PLUGIN_OBJECT.search(obj) else ""
        lines.append(f"    {fn} ({obj}){mark}")
    return "\n".join(lines)


def main(path, expect_faults):
    root = ET.parse(path).getroot()
    errors = root.findall("error")
    plugin_records = []
    access_records = []
    host_leaks = []
    for error in errors:
        kind = error.findtext("kind", "")
        in_plugin = any(PLUGIN_OBJECT.search(obj) for obj, _ in frames(error))
        if in_plugin:
            plugin_records.append(error)
        elif not kind.startswith("Leak_"):
            access_records.append(error)
        else:
            host_leaks.append(error)

    suppressed = {
        s.findtext("name"): int(s.findtext("count", "0"))
        for s in root.findall("suppcounts/pair")
    }
    print(f"memcheck: {len(errors)} unsuppressed records; suppressed by entry: {suppressed}")
    kinds = Counter(error.findtext("kind", "") for error in plugin_records)
    print(f"records with plug-in frames by kind: {dict(kinds)}")
    shown = [("host leak, not counted against the plug-ins", e) for e in host_leaks]
    shown += [("ACCESS ERROR", e) for e in access_records]
    shown += [("PLUG-IN RECORD", e) for e in plugin_records]
    if not expect_faults:
        for title, error in shown[:MAX_SHOWN]:
            print(f"{title}:\n{describe(error)}")
        if len(shown) > MAX_SHOWN:
            print(f"... {len(shown) - MAX_SHOWN} more records in {path}")
    if expect_faults:
        wanted = {
            "a definite leak": any(k == "Leak_DefinitelyLost" for k in kinds),
            "an invalid read": "InvalidRead" in kinds,
            "uninitialised memory": any(k.startswith("Uninit") for k in kinds),
        }
        missing = [name for name, seen in wanted.items() if not seen]
        if missing:
            print("FAILED: the faulty plug-in's records lack " + ", ".join(missing))
            return 1
        print("memcheck: the faulty plug-in's leak, invalid read and uninitialised use are caught")
        return 0
    if plugin_records or access_records:
        print(f"FAILED: {len(plugin_records)} records with plug-in frames, "
              f"{len(access_records)} access errors")
        return 1
    print("memcheck: no record involves the plug-ins")
    return 0


if __name__ == "__main__":
    args = sys.argv[1:]
    expect = "--expect-faults" in args
    paths = [a for a in args if a != "--expect-faults"]
    sys.exit(main(paths[0], expect))
