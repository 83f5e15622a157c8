#!/usr/bin/env python3
"""Prints the table of a kelmo4-bench run from its Google Benchmark JSON output.

Usage: report.py results.json [more.json ...]
With repetitions the medians are shown, otherwise the single run.
"""
import json
import sys

# name: (work, goal text, test of the figures)
ROWS = [
    ("Register1000", "「登録」 of a 1000-line record", "≤ 2×", lambda f: f["ratio"] <= 2),
    ("ShowRecord1000", "showing a 1000-line record", "≤ 3×", lambda f: f["ratio"] <= 3),
    ("GridEdit", "one typed value in a full grid", "≤ 10×, < 16 ms",
     lambda f: f["ratio"] <= 10 and f["ours_ms"] < 16),
    ("DataSheet1000", "data sheet of a 1000-line record (48 pages, PDF)", "≤ 1.5×", lambda f: f["ratio"] <= 1.5),
    ("Initialize200", "「初期化」 of the large project (200 records × 100 lines)", "≤ 3×",
     lambda f: f["ratio"] <= 3),
    # On the local throw-away server against libpq; no goal is set for these.
    ("Register1000Server", "「登録」 of a 1000-line record, tables on a local server (libpq baseline)", "—", None),
    ("Initialize200Server", "「初期化」 of the large project, tables on a local server (libpq baseline)", "—", None),
]


def figures(benchmarks):
    """Counters per benchmark: the median aggregate when there is one, else the run."""
    found = {}
    for b in benchmarks:
        name = b.get("run_name", b["name"]).split("/")[0]
        if b.get("error_occurred"):
            found[name] = {"error": b.get("error_message", "error")}
            continue
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                found[name] = b
        elif name not in found or found[name].get("run_type") != "aggregate":
            found[name] = b
    return found


def ms(value):
    return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms"


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        data = json.load(f)
    # Later files add or replace benchmarks (a rerun of one of them).
    for extra in sys.argv[2:]:
        with open(extra, encoding="utf-8") as f:
            data["benchmarks"] += json.load(f)["benchmarks"]
    found = figures(data["benchmarks"])
    context = data.get("context", {})
    reps = max((b.get("repetitions", 1) for b in data["benchmarks"]), default=1)

    print("| Work | Ours | Baseline (the limit) | Ratio | Goal | met? |")
    print("|---|---|---|---|---|---|")
    missed = 0
    errors = []

    def row(work, ours, base, ratio, goal, met):
        """Met: True, False, or None for a row without a goal (counted as missed when it failed)."""
        nonlocal missed
        missed += 0 if met or met is None else 1
        print(f"| {work} | {ours} | {base} | {ratio} | {goal} | {'—' if met is None else 'yes' if met else 'NO'} |")

    for name, work, goal, test in ROWS:
        f = found.get(name)
        if not f or "error" in f:
            if f:
                errors.append(f"{name}: {f['error']}")
            row(work, "—", "—", "—", goal, False)
            continue
        row(work, ms(f["ours_ms"]), ms(f["baseline_ms"]), f"{f['ratio']:.2f}×", goal, None if test is None else test(f))

    f = found.get("Batch50")
    if f and "error" not in f:
        row(f"batch of 50 records ({f['pages']:.0f} pages, one PDF)",
            f"{f['ms_per_page']:.1f} ms per page ({f['ours_ms'] / 1000:.1f} s)", "—", "—",
            "< 20 ms per page", f["ms_per_page"] < 20)
    else:
        row("batch of 50 records", "—", "—", "—", "< 20 ms per page", False)

    f = found.get("BatchLarge")
    if f and "error" not in f:
        row(f"batch of the large project ({f['pages']:.0f} pages, one PDF), peak memory",
            f"{f['peak_mib']:.1f} MiB ({f['ms_per_page']:.1f} ms per page)",
            f"{f['peak50_mib']:.1f} MiB (the first 50 pages)", f"{f['peak_ratio']:.2f}×",
            "≤ 120 MiB, ≤ 1.3× memory", f["peak_mib"] <= 120 and f["peak_ratio"] <= 1.3)
    else:
        row("batch of the large project, peak memory", "—", "—", "—", "≤ 120 MiB, ≤ 1.3× memory", False)

    f = found.get("Batch2000")
    if f and "error" not in f:
        row(f"batch of 2000 records ({f['pages']:.0f} pages, one PDF), per record",
            f"{f['per_record_ms']:.1f} ms ({f['ours_ms'] / 1000:.1f} s, {f['ms_per_page']:.1f} ms per page, "
            f"{f['peak_mib']:.1f} MiB)", f"{f['per_record_x1_ms']:.1f} ms (200 records)", f"{f['growth']:.2f}×",
            "≤ 1.3× per record, < 20 ms per page", f["growth"] <= 1.3 and f["ms_per_page"] < 20)
    else:
        row("batch of 2000 records", "—", "—", "—", "≤ 1.3× per record, < 20 ms per page", False)

    for name, work, limit in (("Initialize2000", "「初期化」 of 2000 records × 100 lines", 3),
                              ("Summary2000", "summary export of 2000 records (PDF)", 1.5)):
        f = found.get(name)
        goal = f"≤ {limit}×; per record ≤ 1.3× of 200 records"
        if not f or "error" in f:
            row(work, "—", "—", "—", goal, False)
            continue
        row(work, f"{ms(f['ours_ms'])} ({f['per_record_ms']:.3f} ms per record)", ms(f["baseline_ms"]),
            f"{f['ratio']:.2f}×; {f['growth']:.2f}× per record", goal,
            f["ratio"] <= limit and f["growth"] <= 1.3)

    f = found.get("Preview1000")
    if f and "error" not in f:
        row("opening the preview of the 48-page data sheet", ms(f["ours_ms"]),
            f"{ms(f['baseline_ms'])} (to PDF)", f"{f['ratio']:.2f}×", "≤ 1.5×", f["ratio"] <= 1.5)
        row("a page button in that preview (slowest of 47)", ms(f["page_max_ms"]), "—", "—", "≤ 50 ms",
            f["page_max_ms"] <= 50)
    else:
        row("preview of the 48-page data sheet", "—", "—", "—", "≤ 1.5×, ≤ 50 ms per page", False)

    f = found.get("Startup")
    if f and "error" not in f:
        row("start-up until the main window is shown (offscreen)", ms(f["ours_ms"]), ms(f["baseline_ms"]),
            f"{f['ratio']:.2f}×", "≤ 1.5× time", f["ratio"] <= 1.5)
        row("start-up, peak memory (VmHWM)", f"{f['ours_peak_mib']:.1f} MiB",
            f"{f['baseline_peak_mib']:.1f} MiB", f"{f['peak_ratio']:.2f}×", "≤ 1.5× memory",
            f["peak_ratio"] <= 1.5)
    else:
        row("start-up", "—", "—", "—", "≤ 1.5× time, ≤ 1.5× memory", False)

    print()
    print(f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
          f"{'median of ' + str(reps) + ' repetitions' if reps > 1 else 'one run'}, "
          f"{context.get('date', '')}")
    for error in errors:
        print(f"failed: {error}")
    if missed:
        print(f"{missed} goal(s) missed")


if __name__ == "__main__":
    main()
