#!/usr/bin/env python3
"""Side by side: the application's screens against a pandas script of the
same screen, on the same store, in one run.

    python3 bench/sidebyside.py                # 5,000 scrips x 2,500 trading days
    python3 bench/sidebyside.py --size small   # 500 x 300, a quick check
    python3 bench/sidebyside.py --only rising  # screens whose key or title holds the text

The store is made once with tarvenix-gen and kept in the cache folder
(/work/bench-cache, or $TARVENIX_BENCH_CACHE, or --cache); later runs reuse it.
Every run of either side is a process of its own: its time is the screen's
work alone (min and median of --runs), its memory the process's peak resident
size. Both sides' rows are compared (floats within 1e-6 relative or 0.01);
the ratio to pandas and to DuckDB's figures for the same screens are printed.
Needs the build (build/bench/sidebyside_app, build/tarvenix-gen) and Debian's
python3-pandas (bench/install-bench-deps.sh).
"""

import argparse
import datetime
import json
import math
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
NBSP = "\u00a0"

SIZES = {"full": (5000, 2500), "small": (500, 300)}
YEAR_DAYS = 250

# key, title, screen, window in trading days (0: none), and DuckDB's time for
# the same screen on the 5,000 x 2,500 store, in seconds (low, high), measured
# on this kind of machine; None where there is none
SCREENS = [
    ("adq22", "Average Delivery Quantity, 22 days", "adq", 22, (0.05, 0.05)),
    ("adq250", "Average Delivery Quantity, 250 days", "adq", 250, (0.06, 0.06)),
    ("combined250", "Combined Report, NSE & BSE, 250 days", "combined", 250, (0.17, 0.26)),
    ("groupwise250", "Total Delivery Value - GroupWise, 250 days", "groupwise", 250, None),
    ("rising5", "rising delivery scan, N = 5", "rising", 5, (0.03, 0.03)),
    ("topn", "Top N Delivery Quantity, one day", "topn", 0, (0.010, 0.010)),
]


def run_child(command):
    """Runs `command`; returns its JSON line, with the process's peak resident KiB."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, stdout=out, stderr=err)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        if process.returncode != 0:
            sys.stderr.write(err.read().decode(errors="replace"))
            raise SystemExit(f"failed: {' '.join(command)}")
        sys.stderr.write(err.read().decode(errors="replace"))
        result = json.loads(out.read().decode().strip().splitlines()[-1])
    result["peak_kib"] = usage.ru_maxrss
    return result


def timed_runs(command_for_run, runs):
    results = [run_child(command_for_run(i)) for i in range(runs)]
    seconds = sorted(r["seconds"] for r in results)
    return {
        "min": seconds[0],
        "median": statistics.median(seconds),
        "peak_kib": max((r.get("peak_kib") or 0) for r in results),
        "last": results[-1],
    }


def same_value(a, b):
    if isinstance(a, (int, float)) and isinstance(b, (int, float)):
        if math.isnan(a) or math.isnan(b):
            return math.isnan(a) and math.isnan(b)
        return abs(a - b) <= max(1e-6 * max(abs(a), abs(b)), 0.0100001)
    return a == b


def compare(app_file, pandas_file):
    """'same rows', 'same rows, other order', or the first difference."""
    with open(app_file) as f:
        app = json.load(f)
    with open(pandas_file) as f:
        theirs = json.load(f)
    keep = [i for i, name in enumerate(app["columns"]) if name.strip(NBSP)]
    app_rows = [[row[i] for i in keep] for row in app["rows"]]
    app_columns = [app["columns"][i] for i in keep]
    if [c.lower() for c in app_columns] != [c.lower() for c in theirs["columns"]]:
        return f"DIFFER: columns {app_columns} / {theirs['columns']}"
    if len(app_rows) != len(theirs["rows"]):
        return f"DIFFER: {len(app_rows)} rows / {len(theirs['rows'])} rows"

    def first_difference(left, right):
        for n, (a, b) in enumerate(zip(left, right)):
            if len(a) != len(b) or not all(same_value(x, y) for x, y in zip(a, b)):
                return n, a, b
        return None

    if first_difference(app_rows, theirs["rows"]) is None:
        return "same rows"
    key = lambda row: [("" if v is None else str(v)) if not isinstance(v, (int, float)) else "" for v in row]
    found = first_difference(sorted(app_rows, key=key), sorted(theirs["rows"], key=key))
    if found is None:
        return "same rows, other order"
    n, a, b = found
    return f"DIFFER at row {n}: app {a} / pandas {b}"


def compare_stores(app_store, pandas_store):
    import sqlite3
    con = sqlite3.connect(app_store)
    con.execute("ATTACH ? AS other", (pandas_store,))
    columns = ("TransDate, scriptcode, NSEScriptCode, BSEScriptCode, NSETrdQty, BSETrdQty, NSEDelyQty, "
               "BSEDelyQty, NSEPerc, BSEPerc, NSEClPrice, BSEClPrice")
    only_app = con.execute(f"SELECT count(*) FROM (SELECT {columns} FROM main.mto EXCEPT "
                           f"SELECT {columns} FROM other.mto)").fetchone()[0]
    only_pandas = con.execute(f"SELECT count(*) FROM (SELECT {columns} FROM other.mto EXCEPT "
                              f"SELECT {columns} FROM main.mto)").fetchone()[0]
    con.close()
    if only_app == 0 and only_pandas == 0:
        return "same rows"
    return f"DIFFER: {only_app} rows only in the app's store, {only_pandas} only in pandas'"


def trading_days(store, count):
    import sqlite3
    con = sqlite3.connect(f"file:{store}?mode=ro", uri=True)
    days = [d for (d,) in con.execute(
        "WITH RECURSIVE day(d) AS (SELECT max(TransDate) FROM mto UNION ALL"
        " SELECT (SELECT max(TransDate) FROM mto WHERE TransDate < day.d) FROM day WHERE day.d IS NOT NULL)"
        " SELECT d FROM day WHERE d IS NOT NULL LIMIT ?", (count,))]
    rows = con.execute("SELECT max(rowid) FROM mto").fetchone()[0]
    con.close()
    return days, rows


def seconds_text(value):
    if math.isnan(value):
        return "-"
    return f"{value:.3f}" if value < 10 else f"{value:.1f}"


def ratio_text(value):
    return "-" if math.isnan(value) else f"{value:.1f}x"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--size", choices=sorted(SIZES), default="full")
    parser.add_argument("--scrips", type=int)
    parser.add_argument("--days", type=int)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--pandas-import-runs", type=int, default=1,
                        help="runs of the pandas year import (about a minute each at full size; 0: none)")
    parser.add_argument("--only", default="")
    parser.add_argument("--skip-import", action="store_true")
    parser.add_argument("--cache", default=os.environ.get("TARVENIX_BENCH_CACHE", "/work/bench-cache"))
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--python", default="/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable,
                        help="the Python that has Debian's pandas")
    args = parser.parse_args()

    scrips, days = SIZES[args.size]
    scrips, days = args.scrips or scrips, args.days or days
    app = os.path.join(args.build, "bench", "sidebyside_app")
    pandas = [args.python, os.path.join(HERE, "pandas_screens.py")]
    if not os.path.exists(app):
        raise SystemExit(f"{app} is missing: build first (cmake --build build --target sidebyside_app tarvenix-gen)")

    data = run_child([app, "prepare", "--cache", args.cache, "--scrips", str(scrips), "--days", str(days),
                      "--year-days", str(YEAR_DAYS)])
    store = data["store"]
    window, stored = trading_days(store, 250)
    work = tempfile.mkdtemp(prefix="sidebyside-", dir=args.cache)
    print(f"store: {store}: {stored:,} mto rows, {scrips:,} scrips x {days:,} trading days, newest {window[0]}")
    print(f"runs per figure: {args.runs} (min / median); memory: peak resident size of the process")
    if (scrips, days) != SIZES["full"]:
        print("DuckDB's figures are those of 5,000 x 2,500: the ratios to them mean little at this size")
    print()
    header = (f"{'screen':<44} {'rows':>6} {'app min':>8} {'app med':>8} {'pandas min':>10} {'pandas med':>10} "
              f"{'vs pandas':>9} {'DuckDB':>11} {'vs DuckDB':>9} {'app MB':>7} {'pandas MB':>9}  result")
    print(header)
    print("-" * len(header))
    failures = 0
    try:
        for key, title, screen, span, duckdb in SCREENS:
            if args.only and args.only not in key and args.only.lower() not in title.lower():
                continue
            first = window[0]
            if screen == "topn":
                second = window[1]
            else:
                second = window[min(span, len(window)) - 1]
            app_out = os.path.join(work, f"{key}-app.json")
            pandas_out = os.path.join(work, f"{key}-pandas.json")
            app_args = ["--store", store, "--screen", screen, "--first", first, "--out", app_out]
            if screen in ("adq", "combined", "groupwise"):
                app_args += ["--second", second]
            mine = timed_runs(lambda i: [app, "query"] + app_args, args.runs)
            theirs = timed_runs(lambda i: pandas + [screen, "--store", store, "--first", first, "--second", second,
                                                     "--out", pandas_out], args.runs)
            verdict = compare(app_out, pandas_out)
            failures += verdict.startswith("DIFFER")
            vs_pandas = theirs["median"] / mine["median"]
            if duckdb:
                duck_text = f"{duckdb[0]:.3f}" if duckdb[0] == duckdb[1] else f"{duckdb[0]:.2f}-{duckdb[1]:.2f}"
                vs_duck = ratio_text(mine["median"] / duckdb[0])
            else:
                duck_text, vs_duck = "-", "-"
            print(f"{title:<44} {mine['last']['rows']:>6.0f} {seconds_text(mine['min']):>8} "
                  f"{seconds_text(mine['median']):>8} {seconds_text(theirs['min']):>10} "
                  f"{seconds_text(theirs['median']):>10} {ratio_text(vs_pandas):>9} {duck_text:>11} {vs_duck:>9} "
                  f"{mine['peak_kib'] / 1024:>7.0f} {theirs['peak_kib'] / 1024:>9.0f}  {verdict}", flush=True)

        if not args.skip_import and (not args.only or "import" in args.only):
            year = data["year_files"]
            files = sorted(n for n in os.listdir(year) if n.startswith("NB"))
            size = sum(os.path.getsize(os.path.join(year, n)) for n in files)
            app_store = os.path.join(work, "year-app.db")
            pandas_store = os.path.join(work, "year-pandas.db")
            mine = timed_runs(lambda i: [app, "import-year", "--files", year, "--scrips", str(scrips),
                                         "--store", app_store], args.runs)
            if args.pandas_import_runs > 0:
                theirs = timed_runs(lambda i: pandas + ["import-year", "--files", year, "--store", pandas_store,
                                                         "--template", app_store, "--out",
                                                         os.path.join(work, "year-pandas.json")],
                                    args.pandas_import_runs)
                verdict = compare_stores(app_store, pandas_store)
            else:
                theirs = {"min": math.nan, "median": math.nan, "peak_kib": math.nan}
                verdict = "pandas not run"
            failures += verdict.startswith("DIFFER")
            import sqlite3
            con = sqlite3.connect(app_store)
            indexes = [n for (n,) in con.execute("SELECT name FROM main.sqlite_master WHERE type = 'index' AND "
                                                 "tbl_name = 'mto' ORDER BY name")]
            con.close()
            title = f"a year of daily files ({len(files)} x {scrips:,}) imported"
            print(f"{title:<44} {mine['last']['rows']:>6.0f} {seconds_text(mine['min']):>8} "
                  f"{seconds_text(mine['median']):>8} {seconds_text(theirs['min']):>10} "
                  f"{seconds_text(theirs['median']):>10} {ratio_text(theirs['median'] / mine['median']):>9} "
                  f"{'-':>11} {'-':>9} {mine['peak_kib'] / 1024:>7.0f} {theirs['peak_kib'] / 1024:>9.0f}  {verdict}")
            print(f"    {size / 1e6:.0f} MB of files into a new store; its mto indexes after the batch: "
                  f"{', '.join(indexes)}; pandas runs: {args.pandas_import_runs}")

            # The same year through the range download, from a web server on 127.0.0.1.
            served = os.path.join(work, "server")
            os.makedirs(served)
            os.symlink(year, os.path.join(served, "updates"))
            with socket.socket() as probe:
                probe.bind(("127.0.0.1", 0))
                port = probe.getsockname()[1]
            server = subprocess.Popen([sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1",
                                       "--directory", served], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(1.0)
                trading = []
                day = datetime.date(2024, 1, 1)  # tarvenix-gen's first day
                while len(trading) < len(files):
                    if day.weekday() < 5:
                        trading.append(day)
                    day += datetime.timedelta(days=1)
                ranged = timed_runs(lambda i: [app, "range-download", "--base", f"http://127.0.0.1:{port}/",
                                               "--first", trading[0].isoformat(), "--last", trading[-1].isoformat(),
                                               "--scrips", str(scrips), "--store", os.path.join(work, "range.db"),
                                               "--save", os.path.join(work, "downloads")], args.runs)
            finally:
                server.terminate()
                server.wait()
            print(f"the same year through the range download ({(trading[-1] - trading[0]).days + 1} days asked of "
                  f"a web server on 127.0.0.1, {ranged['last']['days_imported']:.0f} imported): "
                  f"min {seconds_text(ranged['min'])} s, median {seconds_text(ranged['median'])} s; "
                  f"peak {ranged['peak_kib'] / 1024:.0f} MB")

            # One more day into the whole store, on a copy so the cached store stays as it is.
            copy = os.path.join(work, "one-more-day.db")
            shutil.copyfile(store, copy)
            os.sync()  # so that writing the copy back does not slow the imports down
            next_files = data["next_day_files"]
            names = sorted(os.listdir(next_files))
            runs = [run_child([app, "one-day", "--store", copy, "--file", os.path.join(next_files, n)])
                    for n in names[:args.runs]]
            print(f"one more day ({runs[0]['rows']:,.0f} rows) into the {stored:,}-row store, "
                  f"{len(runs)} days in a row: " + ", ".join(f"{seconds_text(r['seconds'])} s" for r in runs) +
                  f" (closing the store after each: up to {max(r['close_seconds'] for r in runs):.3f} s); "
                  f"peak {max(r['peak_kib'] for r in runs) / 1024:.0f} MB")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print()
    print("targets: >= 5x faster than pandas on each screen; within 3x of DuckDB where given; "
          "query peak < 500 MB; year import <= 5 s; one more day <= 0.2 s")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
