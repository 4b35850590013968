#!/usr/bin/env python3
"""Turns the benchmark's raw lines ("figure subject value") into report.md:
median, min and max of each figure, its ratio to the reference tray program
where there is one, and whether it meets its goal.

    report.py RESULTS REPORT QUICK(0|1)
"""
import statistics
import sys
from collections import defaultdict

MB = 1024 * 1024


def goal_of(figure, subject, median, ref):
    """(goal text, met or None) for one row."""
    if figure == "start_to_tray_ms" and subject != "reference":
        return "at most 1.2 x reference", ref is not None and median <= 1.2 * ref
    if figure == "reply_to_switch_ms":
        return "at most 20 ms", median <= 20
    if figure.startswith("idle_") and subject != "reference":
        return "no more than the reference", ref is not None and median <= ref
    if figure.startswith("private_") and subject != "reference":
        return "at most reference + 3 MB", ref is not None and median <= ref + 3 * MB
    if figure == "exe_bytes" and subject.startswith("nimvara"):
        return "at most 1.5 MB", median <= 1.5 * MB
    if figure == "catalogue_total_ms_10000":
        return "under 200 ms", median < 200
    if figure == "download_rate_mb_s" and subject == "nimvara":
        return "at least half of curl", ref is not None and median >= 0.5 * ref
    return "", None


def reference_of(figure, values):
    for name in ("reference", "curl"):
        if (figure, name) in values:
            return statistics.median(values[(figure, name)])
    return None


def main(results_path, report_path, quick):
    values = defaultdict(list)
    order = []
    for line in open(results_path):
        parts = line.split()
        if len(parts) != 3 or not parts[2].replace(".", "", 1).isdigit():
            continue  # a measurement that produced nothing
        figure, subject, value = parts
        if (figure, subject) not in values:
            order.append((figure, subject))
        values[(figure, subject)].append(float(value))

    # Parse and list together, per catalogue size.
    for figure, subject in list(order):
        if figure.startswith("catalogue_parse_ms_"):
            n = figure.rsplit("_", 1)[1]
            lists = values.get(("catalogue_list_ms_" + n, subject), [])
            total = [p + l for p, l in zip(values[(figure, subject)], lists)]
            if total:
                order.append(("catalogue_total_ms_" + n, subject))
                values[("catalogue_total_ms_" + n, subject)] = total

    lines = ["# Nimvara benchmark", ""]
    if quick == "1":
        lines += ["Quick mode: one repetition, short idle windows, small sizes. Not for conclusions.", ""]
    lines += ["| figure | subject | median | min | max | reference | ratio | goal | met |",
              "|---|---|---|---|---|---|---|---|---|"]
    for figure, subject in order:
        v = values[(figure, subject)]
        median = statistics.median(v)
        ref = reference_of(figure, values)
        is_ref = subject in ("reference", "curl") or ref is None
        ratio = "" if is_ref or ref == 0 else "%.2f" % (median / ref)
        goal, met = goal_of(figure, subject, median, ref)
        lines.append("| %s | %s | %.6g | %.6g | %.6g | %s | %s | %s | %s |" % (
            figure, subject, median, min(v), max(v), "" if is_ref else "%.6g" % ref, ratio, goal,
            "" if met is None else ("yes" if met else "**no**")))
    lines += ["", "Runs per figure: %d at most. Times in ms; idle over the idle window (CPU ms from "
              "/proc utime+stime, wake-ups as context switches of all threads); memory in bytes "
              "(private bytes as Windows reports them, which Wine takes from the anonymous resident pages; "
              "private dirty bytes from Linux's smaps_rollup, nimvara's with a session on)." % max(len(v) for v in values.values())]
    with open(report_path, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(*sys.argv[1:4])
