#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Sets each benchmark of the program against its plain baseline from the same run.

  scripts/bench_ratios.py MODEL_JSON [QT_JSON ...] [--python-rounds N]

The JSON files are what Google Benchmark writes with --benchmark_out (run with repetitions, the
medians are used). When the model's file holds the 65,536-entry list, Python's ipaddress module
makes the same list here (scripts/baseline.py) and is set against it too. A pair whose
benchmarks are missing from the files (the Qt ones without an X server, say) is left out.
"""
import argparse
import json
import re
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import baseline  # noqa: E402

# What is compared, the program's benchmark, its baseline, the measure, and the largest ratio
# the program may reach.
PAIRS = [
    ("65,536-entry list (10.1.2.3, /24), model tick", "BM_Timer10_ClassA_24",
     "BM_Plain_ToChars_List65536", "cpu_time", 2.0),
    ("CSV of 16,384 entries, built in memory", "BM_CsvExport_16384_Memory",
     "BM_Plain_Csv16384_Memory", "cpu_time", 2.0),
    ("CSV of 16,384 entries, to disk", "BM_CsvExport_16384_Disk", "BM_Plain_Csv16384_Disk",
     "real_time", 1.2),
    ("same, against the plain loop making the bytes and the folder synced too",
     "BM_CsvExport_16384_Disk", "BM_Plain_Csv16384_BuiltDiskSyncedFolder", "real_time", 1.2),
    ("the file store alone, against the plain way with the folder synced",
     "BM_FileStore_Replace_16384", "BM_Plain_Csv16384_DiskSyncedFolder", "real_time", 1.2),
    ("start-up to first paint under Xvfb, CPU time, against a bare Qt program with the "
     "design's fonts and colours", "BM_StartUpCpuX11", "BM_BareStartUpCpuX11", "real_time", 1.03),
]
# What the 65,536-entry list adds to a run, click on 計算 to painted list, in CPU time: the run
# of 10.1.2.3 /24 less the run of 192.168.1.130 /26 (4 entries), and the most it may add.
LIST_RUN = ("BM_ClickToPaintedList65536", "BM_ClickToPaintedList4", 2.3)
PYTHON_SUBJECT = "BM_Timer10_ClassA_24"
PYTHON_LEAST_RATIO = 100.0

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(paths):
    """Per benchmark name: its median measures in milliseconds and the number of runs."""
    runs, medians = {}, {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                continue
            name = b.get("run_name", b["name"]).removesuffix("/real_time").removesuffix("/manual_time")
            name = re.sub(r"/iterations:\d+", "", name)
            scale = TO_MS[b.get("time_unit", "ns")]
            values = {k: v for k, v in b.items() if isinstance(v, (int, float))}
            for k in ("real_time", "cpu_time"):
                if k in values:
                    values[k] *= scale
            if b.get("run_type") == "aggregate":
                if b.get("aggregate_name") == "median":
                    medians[name] = values
            else:
                runs.setdefault(name, []).append(values)
    result = {}
    for name, values in runs.items():
        if name in medians:
            result[name] = (medians[name], len(values))
        else:
            keys = set.intersection(*(set(v) for v in values))
            result[name] = ({k: statistics.median(v[k] for v in values) for k in keys},
                            len(values))
    for name, values in medians.items():
        result.setdefault(name, (values, 0))
    return result


def fmt(ms):
    return f"{ms * 1000:.1f} µs" if ms < 0.1 else f"{ms:.3g} ms" if ms < 10 else f"{ms:.1f} ms"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("json", nargs="+")
    p.add_argument("--python-rounds", type=int, default=7)
    args = p.parse_args()
    found = load(args.json)

    rows = []
    for what, subject, base, measure, most in PAIRS:
        if subject not in found or base not in found:
            continue
        s, sn = found[subject]
        b, bn = found[base]
        if measure not in s or measure not in b or b[measure] <= 0:
            continue
        ratio = s[measure] / b[measure]
        rows.append((what, fmt(s[measure]), fmt(b[measure]), f"{ratio:.2f}×", f"≤ {most:g}×",
                     "met" if ratio <= most else "NOT MET", max(sn, bn)))

    print()
    print("Against the plain baselines of the same run (medians):")
    widths = [max(len(r[i]) for r in rows + [("Work", "Sabrota", "Baseline", "Ratio", "Target",
                                              "", 0)]) for i in range(5)]
    head = ("Work", "Sabrota", "Baseline", "Ratio", "Target")
    print("  " + "  ".join(h.ljust(w) for h, w in zip(head, widths)))
    for r in rows:
        print("  " + "  ".join(c.ljust(w) for c, w in zip(r[:5], widths)) + f"  {r[5]}")
    if not rows:
        print("  (no pair of benchmark and baseline in the files)")

    long_run, short_run, most_ms = LIST_RUN
    if long_run in found and short_run in found:
        whole = found[long_run][0]["real_time"]
        added = whole - found[short_run][0]["real_time"]
        verdict = "met" if added <= most_ms else "NOT MET"
        print(f"  65,536-entry list, click on 計算 to painted list, CPU time: the run takes "
              f"{fmt(whole)}, of which the list adds {fmt(added)} (target ≤ {most_ms:g} ms: "
              f"{verdict})")

    if PYTHON_SUBJECT in found and "real_time" in found[PYTHON_SUBJECT][0]:
        best, count, version = baseline.measure(args.python_rounds)
        ours = found[PYTHON_SUBJECT][0]["real_time"]
        ratio = best / ours
        verdict = "met" if ratio >= PYTHON_LEAST_RATIO else "NOT MET"
        print(f"  Python {version} ipaddress, the same {count:,} networks: best of "
              f"{args.python_rounds} {fmt(best)}; the model's list ({fmt(ours)}) is "
              f"{ratio:.0f}× faster (target ≥ {PYTHON_LEAST_RATIO:g}×: {verdict})")


if __name__ == "__main__":
    main()
