#!/usr/bin/python3
"""The screens of the side-by-side benchmark written as a pandas user would
write them against the same store: read the rows with SQL, compute in pandas.

    pandas_screens.py SCREEN --store PATH [--first DAY] [--second DAY] --out FILE
    pandas_screens.py import-year --files DIR --store NEW.db --template APP.db --out FILE

Prints one JSON object: seconds (reading and computing, without starting
Python or importing pandas) and rows. The result rows go to --out as JSON
({"columns": [...], "rows": [[...], ...]}) for sidebyside.py to compare.
"""

import argparse
import io
import json
import os
import sqlite3
import sys
import time

import numpy as np
import pandas as pd


def jet_round(values, places):
    """The store's round(): halves to even, a value that prints as an exact
    half counting as one (as the application registers it)."""
    scale = 10.0 ** places
    scaled = np.asarray(values, dtype=float) * scale
    snapped = np.rint(scaled * 1e6) / 1e6
    near = np.abs(snapped - scaled) < 1e-7 * np.maximum(1.0, np.abs(scaled))
    scaled = np.where(near, snapped, scaled)
    floor = np.floor(scaled)
    fraction = scaled - floor
    rounded = np.where(fraction > 0.5, floor + 1,
                       np.where(fraction < 0.5, floor, np.where(np.fmod(floor, 2) == 0, floor, floor + 1)))
    return rounded / scale


def connect(path):
    return sqlite3.connect(f"file:{path}?mode=ro", uri=True)


def scrips(con):
    return pd.read_sql_query("SELECT srno, company, nsescrip FROM ScripMaster", con)


def window(con, columns, first, second):
    low, high = sorted([first, second])
    return pd.read_sql_query(f"SELECT {columns} FROM mto WHERE TransDate BETWEEN ? AND ?", con, params=(low, high))


def by_company(frame):
    return frame.sort_values("Stock", key=lambda s: s.str.lower(), kind="stable")


def average_delivery(con, first, second):
    rows = window(con, "scriptcode, NSEScriptCode, NSEDelyQty", first, second)
    rows = rows[rows.NSEScriptCode.fillna("").str.strip() != ""]
    rows = rows.merge(scrips(con), left_on="scriptcode", right_on="srno")
    result = rows.groupby("company", sort=False).NSEDelyQty.mean().reset_index()
    result.columns = ["Stock", "AvgDeliveryQty"]
    return by_company(result)


def combined_report(con, first, second):
    rows = window(con, "scriptcode, NSEScriptCode, NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEClPrice, BSEClPrice",
                  first, second)
    rows = rows[rows.NSEScriptCode.fillna("").str.strip() != ""]
    rows = rows.merge(scrips(con), left_on="scriptcode", right_on="srno")
    traded = rows.NSETrdQty + rows.BSETrdQty
    delivered = rows.NSEDelyQty + rows.BSEDelyQty
    rows = rows.assign(traded=traded, delivered=delivered,
                       perc=jet_round((delivered * 100) / traded.where(traded != 0), 2))
    g = rows.groupby("company", sort=False).agg(
        avg_traded=("traded", "mean"), avg_delivered=("delivered", "mean"), avg_perc=("perc", "mean"),
        high_delivered=("delivered", "max"), low_delivered=("delivered", "min"),
        high_traded=("traded", "max"), low_traded=("traded", "min"),
        nse_high=("NSEClPrice", "max"), bse_high=("BSEClPrice", "max"),
        nse_low=("NSEClPrice", "min"), bse_low=("BSEClPrice", "min")).reset_index()
    result = pd.DataFrame({
        "Stock": g.company,
        "AvgTradingQty": jet_round(g.avg_traded, 0),
        "AvgDeliveryQty": jet_round(g.avg_delivered, 0),
        "Avg % Dely": jet_round(g.avg_perc, 2),
        "HighestDelyQty": g.high_delivered, "LowestDelyQty": g.low_delivered,
        "HighestVolume": g.high_traded, "LowestVolume": g.low_traded,
        "HighPrice": jet_round(np.where(g.nse_high > 0, g.nse_high, g.bse_high), 2),
        "LowPrice": jet_round(np.where(g.nse_low > 0, g.nse_low, g.bse_low), 2),
    })
    return by_company(result)


def group_wise(con, first, second):
    rows = window(con, "scriptcode, TransDate, NSETrdQty, NSEDelyQty, NSEClPrice, BSETrdQty, BSEDelyQty, BSEClPrice",
                  first, second)
    members = pd.read_sql_query("SELECT GrpCode, ScrCode FROM LinkDetails", con)
    groups = pd.read_sql_query("SELECT GroupCode, GroupName FROM GroupMaster", con)
    values = pd.DataFrame({
        "scriptcode": rows.scriptcode, "TransDate": rows.TransDate,
        "nt": rows.NSETrdQty * rows.NSEClPrice, "nd": rows.NSEDelyQty * rows.NSEClPrice,
        "bt": rows.BSETrdQty * rows.BSEClPrice, "bd": rows.BSEDelyQty * rows.BSEClPrice})
    joined = values.merge(members, left_on="scriptcode", right_on="ScrCode")
    sums = joined.groupby(["GrpCode", "TransDate"], sort=False)[["nt", "nd", "bt", "bd"]].sum().reset_index()
    sums = sums.merge(groups, left_on="GrpCode", right_on="GroupCode")
    nt, nd = jet_round(sums.nt / 1e7, 2), jet_round(sums.nd / 1e7, 2)
    bt, bd = jet_round(sums.bt / 1e7, 2), jet_round(sums.bd / 1e7, 2)
    result = pd.DataFrame({
        "GroupName": sums.GroupName, "transdate": sums.TransDate,
        "NSE Total TurnOver In Crs": nt, "NSE Total Dely Val In Crs": nd,
        "BSE Total TurnOver In Crs": bt, "BSE Total Dely Val In Crs": bd,
        "Total TurnOver In Crs": nt + bt, "Total Dely Val In Crs": nd + bd})
    result["_name"] = result.GroupName.str.lower()
    result = result.sort_values(["_name", "transdate"], ascending=[True, False], kind="stable")
    return result.drop(columns="_name")


def rising_delivery(con, first, second, days=5):
    """Scrips whose NSE delivered quantity rose strictly on each of the last
    `days` trading days (a day without delivery counts as 0), with those days."""
    listed = scrips(con)
    listed = listed[listed.nsescrip.fillna("") != ""]
    rows = window(con, "scriptcode, TransDate, NSEDelyQty, BSEDelyQty, NSEClPrice, NSEPerc, NSETrdQty, BSETrdQty",
                  first, second)
    rows = rows[rows.scriptcode.isin(listed.srno)]
    rows = rows.sort_values(["scriptcode", "TransDate"], ascending=[True, False])
    rows["k"] = rows.groupby("scriptcode").cumcount()
    rows = rows[rows.k < days]
    entries = rows.assign(e=rows.NSEDelyQty.where(rows.NSEDelyQty > 0, 0.0)).pivot(
        index="scriptcode", columns="k", values="e").reindex(columns=range(days)).fillna(0.0).to_numpy()
    codes = rows.scriptcode.drop_duplicates().sort_values().to_numpy()
    rising = (entries[:, 1:] < entries[:, :-1]).all(axis=1) if days > 1 else np.zeros(len(codes), dtype=bool)
    passing = rows[rows.scriptcode.isin(codes[rising])].merge(listed, left_on="scriptcode", right_on="srno")
    result = pd.DataFrame({
        "Stock": passing.company, "NSEDelQty": passing.NSEDelyQty, "BSEDelQty": passing.BSEDelyQty,
        "Price": passing.NSEClPrice, "NSEDely%": passing.NSEPerc, "NSETrdQty": passing.NSETrdQty,
        "BSETrdQty": passing.BSETrdQty, "TradingDate": passing.TransDate})
    result["_name"] = result.Stock.str.lower()
    result = result.sort_values(["_name", "TradingDate"], ascending=[True, False], kind="stable")
    return result.drop(columns="_name")


def top_delivery(con, first, previous, n=10):
    """The n scrips with the highest NSE delivered quantity on `first` (ties
    with the n-th kept), beside their figure of the previous trading day."""
    day = pd.read_sql_query("SELECT scriptcode, NSEDelyQty FROM mto WHERE TransDate = ?", con, params=(first,))
    before = pd.read_sql_query("SELECT scriptcode, NSEDelyQty AS prev FROM mto WHERE TransDate = ?", con,
                               params=(previous,))
    both = day.merge(before, on="scriptcode").merge(scrips(con), left_on="scriptcode", right_on="srno")
    both = both[both.NSEDelyQty.rank(method="min", ascending=False) <= n]
    result = pd.DataFrame({"Stock": both.company, "DeliveryQty": both.NSEDelyQty, "PrevDelyQty": both.prev})
    result["_name"] = result.Stock.str.lower()
    result = result.sort_values(["DeliveryQty", "_name"], ascending=[False, True], kind="stable")
    return result.drop(columns="_name")


MTO_COLUMNS = ["serial", "scriptcode", "NSEScriptCode", "BSEScriptCode", "NSETrdQty", "BSETrdQty", "NSEDelyQty",
               "BSEDelyQty", "NSEPerc", "BSEPerc", "NSEClPrice", "BSEClPrice"]
MONTHS = {m: i for i, m in enumerate(["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov",
                                      "Dec"], 1)}


def decode(line):
    """A code line: a tag, then the character codes separated by blanks."""
    return bytes(map(int, line.split(b" ")[1:])).decode("latin-1")


def import_year(files, path, template):
    """Every NB file of the folder into a new store with the application's
    schema, one transaction per file; a file whose day is loaded is skipped."""
    for suffix in ("", "-wal", "-shm"):
        if os.path.exists(path + suffix):
            os.remove(path + suffix)
    con = sqlite3.connect(path)
    source = sqlite3.connect(f"file:{template}?mode=ro", uri=True)
    for (sql,) in source.execute("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%'"
                                 " ORDER BY type = 'index'"):
        con.execute(sql)
    con.executemany("INSERT INTO ScripMaster VALUES (?,?,?,?)", source.execute("SELECT * FROM ScripMaster"))
    con.commit()
    con.execute("PRAGMA journal_mode=WAL")

    started = time.perf_counter()
    imported = 0
    for name in sorted(n for n in os.listdir(files) if n.startswith("NB")):
        with open(os.path.join(files, name), "rb") as f:
            lines = f.read().replace(b"\r", b"").split(b"\n")
        header = decode(lines[0])
        dd, mon, yyyy = header[len("Tarvenix "):].split("/")
        day = f"{int(yyyy):04d}-{MONTHS[mon]:02d}-{int(dd):02d}"
        if con.execute("SELECT count(*) FROM mto WHERE TransDate = ?", (day,)).fetchone()[0]:
            continue
        text = "\n".join(decode(line) for line in lines[1:] if line)
        frame = pd.read_csv(io.StringIO(text), header=None, names=MTO_COLUMNS, keep_default_na=False,
                            dtype={"NSEScriptCode": str, "BSEScriptCode": str})
        figures = MTO_COLUMNS[4:]
        frame[figures] = frame[figures].replace("", 0).astype(float)
        frame = frame.drop(columns="serial")
        frame.insert(0, "TransDate", day)
        with con:
            frame.to_sql("mto", con, if_exists="append", index=False)
        imported += 1
    seconds = time.perf_counter() - started
    rows = con.execute("SELECT count(*) FROM mto").fetchone()[0]
    con.close()
    return seconds, rows, imported


SCREENS = {
    "adq": average_delivery,
    "combined": combined_report,
    "groupwise": group_wise,
    "rising": rising_delivery,
    "topn": top_delivery,
}


def to_json(frame):
    values = frame.astype(object).where(frame.notna(), None).values.tolist()
    return {"columns": list(frame.columns), "rows": values}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("screen", choices=sorted(SCREENS) + ["import-year"])
    parser.add_argument("--store", required=True)
    parser.add_argument("--first")
    parser.add_argument("--second")
    parser.add_argument("--files")
    parser.add_argument("--template")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    if args.screen == "import-year":
        seconds, rows, imported = import_year(args.files, args.store, args.template)
        with open(args.out, "w") as f:
            json.dump({"rows": rows, "files": imported}, f)
        print(json.dumps({"seconds": seconds, "rows": rows}))
        return 0

    started = time.perf_counter()
    con = connect(args.store)
    result = SCREENS[args.screen](con, args.first, args.second)
    con.close()
    seconds = time.perf_counter() - started
    with open(args.out, "w") as f:
        json.dump(to_json(result), f)
    print(json.dumps({"seconds": seconds, "rows": len(result)}))
    return 0


if __name__ == "__main__":
    sys.exit(main())
