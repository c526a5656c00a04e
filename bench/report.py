#!/usr/bin/env python3
"""Turns the figures that bench/run.sh gathered into Markdown tables.

usage: report.py WORKDIR --date D --machine M --device NAME --megabytes N
"""

import argparse
import json
import statistics
from pathlib import Path


def load(path):
    """CPU time (in the benchmark's unit) and rate of every repetition of each benchmark."""
    out = {}
    for b in json.loads(path.read_text())["benchmarks"]:
        if b.get("error_occurred"):
            raise SystemExit(f"{b['name']}: {b.get('error_message', 'failed')}")
        if b.get("run_type") == "iteration":
            out.setdefault(b["run_name"], []).append(b)
    return out


def median(runs, key):
    return statistics.median(r[key] for r in runs)


def fastest(runs, key):
    return min(r[key] for r in runs)


def verdict(ok):
    return "yes" if ok else "**no**"


def plural(n, word):
    return f"{n} {word}" + ("" if n == 1 else "s")


def fmt(x, digits=1):
    return f"{x:.{digits}f}"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("work", type=Path)
    ap.add_argument("--date", required=True)
    ap.add_argument("--machine", required=True)
    ap.add_argument("--device", required=True)
    ap.add_argument("--megabytes", type=int, required=True)
    a = ap.parse_args()

    defs = load(a.work / "defs.json")
    ev = load(a.work / "eval.json")
    startup = json.loads((a.work / "startup.json").read_text())["results"]

    def mbps(name):
        return median(defs[name], "bytes_per_second") / 1e6

    def scale(name, pick):
        return pick(defs[name + "/10"], "cpu_time") / pick(defs[name + "/5"], "cpu_time")

    def us(name):
        return median(ev[name], "cpu_time")

    ours5, peer5 = mbps("PeerDefs/ours/5"), mbps("PeerDefs/pugixml/5")
    inplace5 = mbps("PeerDefs/pugixml-inplace/5")
    ours_scale = scale("PeerDefs/ours", median)
    ours_scale_fastest = scale("PeerDefs/ours", fastest)
    peer_scale = scale("PeerDefs/pugixml", median)
    ours1, ours10 = us("PeerEval/ours/1"), us("PeerEval/ours/10")
    rew1 = us("PeerEval/ours-rewriting/1")
    mup1, mup10 = us("PeerEval/muparser-parse/1"), us("PeerEval/muparser-parse/10")
    pre1 = us("PeerEval/muparser-preparsed/1")
    speedup = mup1 / ours1
    bare_ms = startup[0]["median"] * 1000
    first_ms = startup[1]["median"] * 1000

    def mib(file):
        values = [int(v) for v in (a.work / file).read_text().split()]
        return statistics.median(values) / 1024

    bare_mib = mib("memory_bare.txt")
    first_mib = mib("memory_first.txt")
    device_mib = mib("memory_device.txt")

    rows = [
        ("Definition reader, 5 MB file", f"{fmt(ours5, 0)} MB/s",
         f"pugixml load_buffer: {fmt(peer5, 0)} MB/s", f"{fmt(ours5 / peer5, 2)}x as fast",
         "at least as fast", verdict(ours5 >= peer5)),
        ("Same file, pugixml parsing in place", f"{fmt(ours5, 0)} MB/s",
         f"pugixml load_buffer_inplace: {fmt(inplace5, 0)} MB/s",
         f"{fmt(ours5 / inplace5, 2)}x as fast", "", ""),
        ("Definition reader, 10 MB against 5 MB",
         f"{fmt(ours_scale, 2)}x the time (fastest runs: {fmt(ours_scale_fastest, 2)}x)",
         f"pugixml load_buffer: {fmt(peer_scale, 2)}x", "", "at most 2x",
         verdict(ours_scale <= 2.0)),
        ("Set of 31 formulas, parsed and evaluated", f"{fmt(ours1, 2)} µs",
         f"muparser parsing each anew: {fmt(mup1, 0)} µs", f"{fmt(speedup, 0)}x as fast",
         "at least 25x, under 10 µs", verdict(speedup >= 25 and ours1 < 10)),
        ("Same set, ours without compiled forms", f"{fmt(rew1, 1)} µs",
         f"muparser parsing each anew: {fmt(mup1, 0)} µs", f"{fmt(mup1 / rew1, 1)}x as fast",
         "", ""),
        ("Same set, muparser pre-parsed", f"{fmt(ours1, 2)} µs",
         f"muparser evaluating only: {fmt(pre1, 2)} µs", f"{fmt(pre1 / ours1, 2)}x as fast",
         "", ""),
        ("Formulas ten times as long", f"{fmt(ours10 / ours1, 1)}x the time",
         f"muparser parsing: {fmt(mup10 / mup1, 1)}x", "", "at most 15x",
         verdict(ours10 / ours1 <= 15)),
        ("Results equal to muparser's", "within 1e-13 relative", "", "", "checked before timing",
         "yes"),
        ("Start to the first shown window (median)", f"{fmt(first_ms)} ms",
         f"bare QMainWindow: {fmt(bare_ms)} ms", f"{fmt(first_ms / bare_ms, 2)}x",
         "at most 1.3x", verdict(first_ms <= 1.3 * bare_ms)),
        ("Peak memory, first window", f"{fmt(first_mib)} MiB",
         f"bare QMainWindow: {fmt(bare_mib)} MiB", f"{fmt(first_mib / bare_mib, 2)}x", "", ""),
        (f"Peak memory after loading {a.device}", f"{fmt(device_mib)} MiB",
         f"bare QMainWindow: {fmt(bare_mib)} MiB", f"{fmt(device_mib / bare_mib, 2)}x",
         "at most 1.6x, under 45 MiB",
         verdict(device_mib <= 1.6 * bare_mib and device_mib < 45)),
    ]

    print(f"Measured {a.date} on {a.machine}, with `bench/run.sh`. Benchmark figures are")
    print("medians of CPU time over repeated runs; start-up is the median wall time of repeated")
    print("off-screen runs, memory the median peak resident set.")
    print()
    print("| Measure | Quorvel | Peer | Ratio | Goal | Met |")
    print("| --- | --- | --- | --- | --- | --- |")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print()

    # Limits: each reader on every hostile input; its slowest and hungriest run.
    per_reader = {}
    for line in (a.work / "limits.tsv").read_text().splitlines():
        reader, text, seconds, added, outcome = line.split("\t")
        per_reader.setdefault(reader, []).append((float(seconds), int(added), text, outcome))
    print(f"Every reader on {a.megabytes} MB of each of "
          f"{len(next(iter(per_reader.values())))} hostile inputs (random bytes, and lines of")
    print("the characters each reader splits, nests or searches on); memory is what the reader")
    print("adds to the input text itself.")
    print()
    print("| Reader | Random bytes | Slowest input | Most memory | Outcomes |")
    print("| --- | --- | --- | --- | --- |")
    for reader, runs in per_reader.items():
        rnd = next((r for r in runs if r[2] == "random bytes"), runs[0])
        slow = max(runs)
        hungry = max(runs, key=lambda r: r[1])
        results = sum(1 for r in runs if r[3] == "result")
        messages = len(runs) - results
        print(f"| {reader} | {fmt(rnd[0], 2)} s, {rnd[1]} MiB | {slow[2]}: {fmt(slow[0], 2)} s "
              f"| {hungry[2]}: {hungry[1]} MiB | {plural(results, 'result')}, "
              f"{plural(messages, 'message')} |")


if __name__ == "__main__":
    main()
