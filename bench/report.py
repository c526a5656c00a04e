#!/usr/bin/env python3
"""Turns the figures that bench/run.sh gathered into Markdown tables.

usage: report.py WORKDIR --date D --machine M --device NAME --small-device NAME --megabytes N

Every figure is a median with its quartiles (q1-q3). A ratio of two benchmarks is the ratio
of their medians, with the range that their quartiles allow; a ratio of two programs run in
turns is the median of the ratios of the runs of one round, with their quartiles.
"""

import argparse
import json
import statistics
from pathlib import Path


def quantile(values, q):
    v = sorted(values)
    at = q * (len(v) - 1)
    lo = int(at)
    hi = min(lo + 1, len(v) - 1)
    return v[lo] + (v[hi] - v[lo]) * (at - lo)


class Spread:
    """Median and quartiles of some values."""

    def __init__(self, values):
        self.values = list(values)
        self.median = statistics.median(self.values)
        self.q1 = quantile(self.values, 0.25)
        self.q3 = quantile(self.values, 0.75)

    def text(self, unit, digits=1):
        return (f"{self.median:.{digits}f} {unit} "
                f"({self.q1:.{digits}f}–{self.q3:.{digits}f})")


def load_benchmarks(path):
    """CPU time (in the benchmark's unit) of every repetition of each benchmark."""
    out = {}
    for b in json.loads(path.read_text())["benchmarks"]:
        if b.get("error_occurred"):
            raise SystemExit(f"{b['name']}: {b.get('error_message', 'failed')}")
        if b.get("run_type") == "iteration":
            out.setdefault(b["run_name"], []).append(b)
    return out


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
    ap.add_argument("--small-device", required=True)
    ap.add_argument("--megabytes", type=int, required=True)
    a = ap.parse_args()

    bench = {}
    for name in ("peer_defs", "peer_eval", "eval", "session"):
        bench.update(load_benchmarks(a.work / f"{name}.json"))

    def cpu(name, key="cpu_time"):
        return Spread(r[key] for r in bench[name])

    def rate(name):
        return Spread(r["bytes_per_second"] / 1e6 for r in bench[name])

    def ratio(x, y):
        """x / y of two spreads: ratio of medians, and the range the quartiles allow."""
        return (x.median / y.median, x.q1 / y.q3, x.q3 / y.q1)

    def ratio_text(r, digits=2, suffix="x"):
        return f"{r[0]:.{digits}f}{suffix} ({r[1]:.{digits}f}–{r[2]:.{digits}f})"

    def processes(file):
        return {i: c for i, c in enumerate(json.loads((a.work / file).read_text()))}

    def paired(first, second):
        """Ratios second / first of the runs of each round."""
        return Spread(b / a_ for a_, b in zip(first["ms"], second["ms"]))

    cli = processes("cli.json")
    empty, version = Spread(cli[0]["ms"]), Spread(cli[1]["ms"])
    version_ratio = paired(cli[0], cli[1])

    def run_row(index, what):
        """The row of `quorvel run` on one device, taken against --version."""
        times, ratio_ = Spread(cli[index]["ms"]), paired(cli[1], cli[index])
        return (what, times.text("ms", 2), f"`quorvel --version`: {version.text('ms', 2)}",
                ratio_text((ratio_.median, ratio_.q1, ratio_.q3)), "at most 1.3x",
                verdict(ratio_.median <= 1.3), "the same program, loading a device or not")

    start = processes("startup.json")
    bare, window = Spread(start[0]["ms"]), Spread(start[1]["ms"])
    window_ratio = paired(start[0], start[1])
    bare_peak = start[0]["median_maxrss_kib"] / 1024
    window_peak = start[1]["median_maxrss_kib"] / 1024
    switches = []
    for line in (a.work / "switches.txt").read_text().split("\n"):
        if line.startswith("rss_kib="):
            fields = dict(f.split("=") for f in line.split())
            switches.append(int(fields["rss_kib"]) / 1024)
    switched = Spread(switches)

    ours5, peer5 = rate("PeerDefs/ours/5"), rate("PeerDefs/pugixml/5")
    inplace5 = rate("PeerDefs/pugixml-inplace/5")
    defs_scale = ratio(cpu("PeerDefs/ours/10"), cpu("PeerDefs/ours/5"))
    peer_scale = ratio(cpu("PeerDefs/pugixml/10"), cpu("PeerDefs/pugixml/5"))

    prepared1, prepared10 = cpu("PeerEval/ours-prepared/1"), cpu("PeerEval/ours-prepared/10")
    by_text1 = cpu("PeerEval/ours-by-text/1")
    rew1 = cpu("PeerEval/ours-rewriting/1")
    mup1, mup10 = cpu("PeerEval/muparser-parse/1"), cpu("PeerEval/muparser-parse/10")
    pre1 = cpu("PeerEval/muparser-preparsed/1")
    speed_prepared = ratio(pre1, prepared1)  # as fast as: their time over ours
    speed_rewriting = ratio(mup1, rew1)
    speed_by_text = ratio(pre1, by_text1)
    longer = ratio(prepared10, prepared1)
    peer_longer = ratio(mup10, mup1)

    def per_char(name):
        # Time per character: the benchmark reports bytes per second.
        return Spread(1e9 / r["bytes_per_second"] for r in bench[name])

    again = ratio(per_char("BM_LongFormulaAgain/32000"), per_char("BM_LongFormulaAgain/3200"))
    edge = ratio(per_char("BM_LongFormulaAgain/4200"), per_char("BM_LongFormulaAgain/4000"))
    first_sight = ratio(per_char("BM_LongFormulaFirstSight/32000"),
                        per_char("BM_LongFormulaFirstSight/3200"))

    rows = [
        ("`quorvel --version`, whole process", version.text("ms", 2),
         f"empty C++ program: {empty.text('ms', 2)}", ratio_text(
             (version_ratio.median, version_ratio.q1, version_ratio.q3)),
         "at most 2x", verdict(version_ratio.median <= 2.0), "yes: both start and end"),
        run_row(2, f"`quorvel run {a.device}`, whole process"),
        run_row(3, f"`quorvel run {a.small_device}`, whole process (smallest definition and "
                   "diagram)"),
        ("Window to its first complete paint (`Quorvel_Configuration`)", window.text("ms"),
         f"bare QMainWindow, same size: {bare.text('ms')}",
         ratio_text((window_ratio.median, window_ratio.q1, window_ratio.q3)), "at most 1.3x",
         verdict(window_ratio.median <= 1.3), "yes: both painted, off-screen"),
        ("Peak memory to the first paint", f"{fmt(window_peak)} MiB",
         f"bare QMainWindow: {fmt(bare_peak)} MiB", f"{fmt(window_peak / bare_peak, 2)}x", "",
         "", "yes"),
        ("Memory after thirty device switches", switched.text("MiB"), "", "", "under 40 MiB",
         verdict(switched.median < 40), "resident set after the last switch"),
        ("Definition reader, 5 MB file", ours5.text("MB/s", 0),
         f"pugixml load_buffer: {peer5.text('MB/s', 0)}",
         ratio_text(ratio(ours5, peer5)) + " as fast", "at least as fast",
         verdict(ours5.median >= peer5.median),
         "both read the whole file into their own structures"),
        ("Same file, pugixml parsing in place", ours5.text("MB/s", 0),
         f"pugixml load_buffer_inplace: {inplace5.text('MB/s', 0)}",
         ratio_text(ratio(ours5, inplace5)) + " as fast", "", "",
         "pugixml may write into the text; ours reads it"),
        ("Definition reader, 10 MB against 5 MB", ratio_text(defs_scale) + " the time",
         f"pugixml load_buffer: {ratio_text(peer_scale)}", "", "at most 2x",
         verdict(defs_scale[0] <= 2.0), "yes"),
        ("31 formulas, compiled forms kept", prepared1.text("µs", 2),
         f"muparser pre-parsed: {pre1.text('µs', 2)}",
         ratio_text(speed_prepared) + " as fast", "at least 0.5x",
         verdict(speed_prepared[0] >= 0.5),
         "yes: both prepared once, results stored through variables"),
        ("31 formulas, parsed anew", rew1.text("µs", 1),
         f"muparser parsing each anew: {mup1.text('µs', 0)}",
         ratio_text(speed_rewriting, 1) + " as fast", "", "", "yes: both parse every time"),
        ("31 formulas by text, as the calculation runs", by_text1.text("µs", 2),
         f"muparser pre-parsed: {pre1.text('µs', 2)}", ratio_text(speed_by_text) + " as fast",
         "", "", "no: ours also finds each compiled form by its text"),
        ("Formulas ten times as long, compiled forms kept", ratio_text(longer, 1) + " the time",
         f"muparser parsing: {ratio_text(peer_longer, 1)}", "", "at most 15x",
         verdict(longer[0] <= 15), ""),
        ("Per character, 32,000-character formula against 3,200", ratio_text(again),
         "", "", "at most 2x", verdict(again[0] <= 2.0), "the same formula evaluated again"),
        ("Per character, 4,200 characters against 4,000", ratio_text(edge), "", "",
         "at most 2x", verdict(edge[0] <= 2.0), "across the former 4,096 limit"),
        ("Per character, first sight, 32,000 against 3,200", ratio_text(first_sight), "", "",
         "at most 2x", verdict(first_sight[0] <= 2.0), "compiled and run once"),
        ("Results equal to muparser's", "within 1e-13 relative", "", "", "checked before timing",
         "yes", ""),
    ]

    # Device loading and clicks on generated descriptions of growing size.
    scaling = []
    for lines in (120, 1100, 11000, 33000):
        load = f"BM_LoadLines/{lines}"
        click = f"BM_ClickLines/{lines}"
        if load in bench and click in bench:
            scaling.append((lines, cpu(load), cpu(click)))
    overlapping = cpu("BM_LoadOverlapping/1000") if "BM_LoadOverlapping/1000" in bench else None
    for lines, load, click in scaling:
        if lines == 33000:
            rows.append((f"Device load, {lines:,} lines", load.text("ms", 2), "", "",
                         "under 50 ms", verdict(load.median < 50), ""))
            rows.append((f"One click, {lines:,} lines", click.text("ms", 3), "", "",
                         "under 0.5 ms", verdict(click.median < 0.5),
                         "with its recalculation"))
            if f"BM_SelectLines/{lines}" in bench:
                select = cpu(f"BM_SelectLines/{lines}")
                rows.append(("The same click without the recalculation", select.text("µs", 2),
                             "", "", "", "", "its lines, their rules and the repaint"))
    if overlapping:
        rows.append(("Device load, 1,000 overlapping lines", overlapping.text("ms", 2), "", "",
                     "under 20 ms", verdict(overlapping.median < 20), ""))

    print(f"Measured {a.date} on {a.machine}, with `bench/run.sh`. Each figure is a median with")
    print("its quartiles in brackets. Benchmarks are CPU time over repetitions run in shuffled")
    print("order; programs are wall time of whole processes run in turns with their peer, and")
    print("their ratio is the median of the ratios within a round. The last column says whether")
    print("both sides do the same work.")
    print()
    print("| Measure | Quorvel | Peer | Ratio | Goal | Met | Like for like |")
    print("| --- | --- | --- | --- | --- | --- | --- |")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print()

    if scaling:
        print("Device loading and one selecting click on generated descriptions (one name per")
        print("two lines, link and alternatives groups, EXCL groups and connectors in proportion):")
        print()
        print("| Lines | Load | Per line | One click |")
        print("| --- | --- | --- | --- |")
        for lines, load, click in scaling:
            print(f"| {lines:,} | {load.text('ms', 2)} | {fmt(load.median * 1000 / lines, 2)} µs "
                  f"| {click.text('ms', 3)} |")
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
