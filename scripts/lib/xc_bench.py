#!/usr/bin/env python3
"""Times the cross-country scorer against the reference scorer igc-xc-score on the reference's
own test flights and writes the table into bench/REPORT.md between its markers, leaving the
other sections as they are.

Both run one after the other on each flight and set of rules (interleaved, so that a busy
spell of a shared machine hits both alike): the reference's command-line tool with trim=true
(launch and landing detection, as ours) in its default mode, and qvd-xc-score. The times are
wall times of the whole process (reading the file included) and, for ours, also the time the
scorer reports for itself.
"""
import argparse
import datetime
import glob
import json
import os
import subprocess
import sys
import tempfile
import time

BEGIN = "<!-- xc-score begin -->"
END = "<!-- xc-score end -->"
GOAL_RATIO = 1 / 20
GOAL_SINGLE_S = 1.0


def run_reference(node_package, igc, rules, out):
    start = time.monotonic()
    subprocess.run(["node", os.path.join(node_package, "dist", "igc-xc-score.cjs"), igc,
                    f"out={out}", f"scoring={rules}", "quiet=true", "noflight=true", "trim=true"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    wall = time.monotonic() - start
    try:
        with open(out) as f:
            p = json.load(f)["properties"]
        return wall, p.get("type", "?"), float(p.get("score", 0)), bool(p.get("optimal"))
    except (OSError, ValueError, KeyError):
        return wall, "failed", 0.0, False


def run_ours(tool, igc, rules):
    start = time.monotonic()
    done = subprocess.run([tool, igc, "--rules", rules], capture_output=True, text=True,
                          check=False)
    wall = time.monotonic() - start
    cols = done.stdout.strip().split("\t")
    if len(cols) < 7:
        return wall, "failed", 0.0, False, 0.0
    return wall, cols[2], float(cols[4]), cols[5] == "yes", float(cols[6]) / 1000


def fixes_of(igc):
    with open(igc, "rb") as f:
        return sum(1 for line in f if line.startswith(b"B"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", required=True)
    ap.add_argument("--package", required=True)
    ap.add_argument("--report", required=True)
    ap.add_argument("--commit", default="")
    args = ap.parse_args()
    flights = sorted(glob.glob(os.path.join(args.package, "test", "*.igc")))
    if not flights:
        print("no test flights in", args.package, file=sys.stderr)
        return 1
    load_start = open("/proc/loadavg").read().split()[:3]
    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for igc in flights:
            for rules in ("XContest", "FFVL"):
                ref = run_reference(args.package, igc, rules, os.path.join(tmp, "out.json"))
                ours = run_ours(args.tool, igc, rules)
                rows.append((os.path.basename(igc), fixes_of(igc), rules, ref, ours))
                print(f"{rows[-1][0]} {rules}: reference {ref[0]:.2f} s, ours {ours[0]:.3f} s",
                      flush=True)
    load_end = open("/proc/loadavg").read().split()[:3]

    total_ref = sum(r[3][0] for r in rows)
    total_ours = sum(r[4][0] for r in rows)
    total_ours_scorer = sum(r[4][4] for r in rows)
    slowest = max(rows, key=lambda r: r[4][0])
    same = sum(1 for r in rows if r[3][1] == r[4][1]
               and abs(r[3][2] - r[4][2]) <= max(0.02, 0.0005 * r[3][2]))
    optimal = sum(1 for r in rows if r[4][3])
    ratio = total_ours / total_ref if total_ref else float("nan")
    verdict = lambda ok: "**PASS**" if ok else "**FAIL**"
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    out = [BEGIN, "## Cross-country score against igc-xc-score", "",
           f"Written by `scripts/bench-xc` on {now}"
           + (f" (commit {args.commit})" if args.commit else "")
           + f"; load average {' '.join(load_start)} at the start, {' '.join(load_end)} at "
           "the end. The reference is igc-xc-score 1.8.0 (npm, Node.js "
           + subprocess.run(["node", "--version"], capture_output=True, text=True).stdout.strip()
           + ") with `trim=true`, ours `qvd-xc-score` from the Release build; both on every "
           "test flight of the reference's package, under XContest and FFVL rules, one after "
           "the other (interleaved). Wall times of the whole process; for ours the scorer's "
           "own time in brackets. The load averages say how busy the machine was; the figures "
           "are noisy, the ratio less so.", "",
           "| | Measured | Goal | Result |", "|---|---|---|---|",
           f"| Total, ours / reference | {total_ours:.2f} s / {total_ref:.2f} s = {ratio:.3f} "
           f"| at most {GOAL_RATIO:.3f} | {verdict(ratio <= GOAL_RATIO)} |",
           f"| Slowest flight, ours | {slowest[4][0]:.3f} s ({slowest[0]}, {slowest[2]}) "
           f"| at most {GOAL_SINGLE_S:.0f} s | {verdict(slowest[4][0] <= GOAL_SINGLE_S)} |",
           f"| Same type and points (0.05 %, at least 0.02) | {same} of {len(rows)} | all | "
           f"{verdict(same == len(rows))} |",
           f"| Proven optimal, ours | {optimal} of {len(rows)} | all | "
           f"{verdict(optimal == len(rows))} |", "",
           f"The scorer's own time, without starting the process and reading the file: "
           f"{total_ours_scorer:.2f} s in all.", "",
           "| Flight | Fixes | Rules | Reference | Ours | Ratio | Reference's result | Ours |",
           "|---|---|---|---|---|---|---|---|"]
    for name, fixes, rules, ref, ours in rows:
        r = ours[0] / ref[0] if ref[0] else float("nan")
        out.append(f"| {name} | {fixes:,} | {rules} | {ref[0]:.2f} s | {ours[0]:.3f} s "
                   f"({ours[4]:.3f} s) | {r:.3f} | {ref[1]} {ref[2]:.2f}"
                   f"{'' if ref[3] else ' (not optimal)'} | {ours[1]} {ours[2]:.2f}"
                   f"{'' if ours[3] else ' (not proven)'} |")
    out += ["", END]
    section = "\n".join(out)
    text = open(args.report).read() if os.path.exists(args.report) else ""
    if BEGIN in text and END in text:
        text = text[:text.index(BEGIN)] + section + text[text.index(END) + len(END):]
    else:
        text = text.rstrip("\n") + "\n\n" + section + "\n"
    with open(args.report, "w") as f:
        f.write(text)
    print(f"wrote {args.report}: ratio {ratio:.3f}, slowest {slowest[4][0]:.3f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
