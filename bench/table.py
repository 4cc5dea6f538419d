#!/usr/bin/env python3
"""Pairs wall times with callgrind instruction counts and prints a table.

Usage: table.py TIMES CALLGRIND_OUT...
TIMES holds "TIME <label> <ms>", "COUNT <label> <X requests> <round trips>",
"NOTE <text>" and "FAILED <text>" lines; the callgrind files
hold one dump per label ("desc: Trigger: Client Request: <label>" with a
"totals:" or "summary:" line).
"""
import re
import sys
from collections import OrderedDict


def read_times(path):
    times, counts, notes = OrderedDict(), {}, []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "TIME":
                times[parts[1]] = float(parts[2])
            elif len(parts) == 4 and parts[0] == "COUNT":
                counts[parts[1]] = (int(parts[2]), int(parts[3]))
            elif parts and parts[0] in ("NOTE", "FAILED"):
                notes.append(line.rstrip() if parts[0] == "FAILED" else line[5:].rstrip())
    return times, counts, notes


def per_unit(counts, label, size):
    """X requests and round trips of one measurement per unit of its size."""
    if not label or label not in counts:
        return "-"
    try:
        n = float(size)
    except ValueError:
        n = 1.0
    req, trips = counts[label]
    return "%.1f / %.2f" % (req / n, trips / n)


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
    times, counts, notes = read_times(sys.argv[1])
    instr = read_instr(sys.argv[2:])
    rows = OrderedDict()
    for label in times:
        try:
            group, op, impl, size = label.rsplit(".", 3)
        except ValueError:
            continue
        rows.setdefault((group, op, size), {})[impl] = label
    with_counts = bool(counts)
    head = "| operation | size | impl | ms | instructions | peer | peer ms | peer instr | ratio ms | ratio instr |"
    rule = "|---|---|---|---|---|---|---|---|---|---|"
    if with_counts:
        head += " requests / round trips per unit | peer's |"
        rule += "---|---|"
    print(head)
    print(rule)
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
            line = "| %s.%s | %s | xd | %s | %s | %s | %s | %s | %s | %s |" % (
                group, op, size, xt, xn, peer or "-", pt, pn, rt, rn)
            if with_counts:
                line += " %s | %s |" % (per_unit(counts, xd, size),
                                        per_unit(counts, impls.get(peer) if peer else None, size))
            print(line)
    for n in notes:
        print("note: " + n)


if __name__ == "__main__":
    main()
