#!/usr/bin/env python3
"""Pairs wall times with callgrind instruction counts and prints a table.

Usage: table.py TIMES CALLGRIND_OUT...
TIMES holds "TIME <label> <ms>" and "NOTE <text>" lines; the callgrind files
hold one dump per label ("desc: Trigger: Client Request: <label>" with a
"totals:" or "summary:" line).
"""
import re
import sys
from collections import OrderedDict


def read_times(path):
    times, notes = OrderedDict(), []
    with open(path) as f:
        for line in f:
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == "TIME":
                times[parts[1]] = float(parts[2])
            elif parts and parts[0] == "NOTE":
                notes.append(line[5:].rstrip())
    return times, notes


def read_instr(paths):
    instr = {}
    for path in paths:
        label, total = None, None
        with open(path, errors="replace") as f:
            for line in f:
                m = re.match(r"desc: Trigger: Client Request: (\S+)", line)
                if m:
                    label = m.group(1)
                m = re.match(r"(?:totals|summary): (\d+)", line)
                if m:
                    total = int(m.group(1))
        if label and total is not None:
            instr[label] = instr.get(label, 0) + total
    return instr


def main():
    times, notes = read_times(sys.argv[1])
    instr = read_instr(sys.argv[2:])
    rows = OrderedDict()
    for label in times:
        try:
            group, op, impl, size = label.rsplit(".", 3)
        except ValueError:
            continue
        rows.setdefault((group, op, size), {})[impl] = label
    print("| operation | size | impl | ms | instructions | peer | peer ms | peer instr | ratio ms | ratio instr |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for (group, op, size), impls in rows.items():
        xd = impls.get("xd")
        peers = [i for i in impls if i != "xd"] or [None]
        for peer in peers:
            def cell(lbl):
                if not lbl:
                    return "-", "-", None, None
                t, n = times.get(lbl), instr.get(lbl)
                return ("%.2f" % t if t is not None else "-",
                        "{:,}".format(n) if n is not None else "-", t, n)
            xt, xn, xtv, xnv = cell(xd)
            pt, pn, ptv, pnv = cell(impls.get(peer) if peer else None)
            rt = "%.2f" % (xtv / ptv) if xtv is not None and ptv else "-"
            rn = "%.2f" % (xnv / pnv) if xnv is not None and pnv else "-"
            print("| %s.%s | %s | xd | %s | %s | %s | %s | %s | %s | %s |" % (
                group, op, size, xt, xn, peer or "-", pt, pn, rt, rn))
    for n in notes:
        print("note: " + n)


if __name__ == "__main__":
    main()
