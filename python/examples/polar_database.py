#!/usr/bin/env python3
"""A polar database of the NACA four-digit sections, computed on a Dask
cluster.

Every section MPTT with a camber M of 0 to 9 %, its position P of 1 to 9
tenths of the chord (0 for the symmetric sections) and a thickness TT in a
range (6 to 18 % by default: 1066 sections) gets its polar over a range of
angles of attack, inviscid, with the one-way boundary layer or (--coupled)
with the coupled viscous-inviscid analysis, and the rows
go to one plain CSV file, in the order of the sections whatever the order in
which the workers finish them:

    designation,points,method,re,alpha,CL,CD,CDp,CM,Top_Xtr,Bot_Xtr,converged,reason

(numbers in the shortest form that reads back as the same double, empty
where an angle has no result).

On one machine a LocalCluster is started (and stopped) by the script:

    PYTHONPATH=build/release/python python3 python/examples/polar_database.py \\
        --out naca4.csv

Across machines, start a scheduler on one of them and a worker on each (with
PYTHONPATH pointing at the module there as well), then give the scheduler's
address:

    dask scheduler                      # prints tcp://HOST:8786
    dask worker tcp://HOST:8786         # on every machine that computes
    python3 polar_database.py --scheduler tcp://HOST:8786 --out naca4.csv

--serial computes the same rows in this process without Dask.
"""
import argparse
import csv
import io
import math
import sys

import numpy as np

COLUMNS = ["designation", "points", "method", "re", "alpha", "CL", "CD", "CDp", "CM",
           "Top_Xtr", "Bot_Xtr", "converged", "reason"]


def naca_four_digit(thickness_from=6, thickness_to=18):
    """The designations MPTT, symmetric sections first, then by camber,
    camber position and thickness."""
    sections = []
    for m in range(10):
        for p in ([0] if m == 0 else range(1, 10)):
            for tt in range(thickness_from, thickness_to + 1):
                sections.append(f"{m}{p}{tt:02d}")
    return sections


def number(value):
    """The shortest text that reads back as the same double; empty for no result."""
    return repr(float(value)) if math.isfinite(value) else ""


def polar_rows(designations, points, method, alpha, re=None, ncrit=9.0, viscous="one-way"):
    """The CSV rows of the polars of some sections (one task of the cluster).
    A section the module refuses gets one row with its reason instead of
    numbers, so that one bad case never loses the others."""
    import tavrix  # on the worker
    rows = []
    for designation in designations:
        try:
            polar = tavrix.naca(designation, points=points).polar(
                alpha=alpha, method=method, re=re, ncrit=ncrit, viscous=viscous)
        except ValueError as refusal:
            rows.append([designation, str(points), method, "" if re is None else repr(re),
                         "", "", "", "", "", "", "", "0", str(refusal)])
            continue
        for k in range(len(polar["alpha"])):
            rows.append([designation, str(points), method, "" if re is None else repr(re)]
                        + [number(polar[key][k]) for key in
                           ("alpha", "CL", "CD", "CDp", "CM", "Top_Xtr", "Bot_Xtr")]
                        + ["1" if polar["converged"][k] else "0",
                           polar["reason"][k] if viscous == "coupled" else ""])
    return rows


def chunks(items, size):
    return [items[k:k + size] for k in range(0, len(items), size)]


def compute(sections, points=161, method="vortex", alpha=None, re=None, ncrit=9.0,
            client=None, chunk=8, viscous="one-way"):
    """Rows of the database for the sections, in their order: on the cluster
    of `client` (dask.distributed.Client), or here when it is None."""
    alpha = np.arange(-4, 16.5, 0.5) if alpha is None else np.asarray(alpha, dtype=float)
    parts = chunks(list(sections), chunk)
    if client is None:
        results = [polar_rows(part, points, method, alpha, re, ncrit, viscous) for part in parts]
    else:
        futures = client.map(polar_rows, parts, points=points, method=method, alpha=alpha,
                             re=re, ncrit=ncrit, viscous=viscous, pure=False)
        results = client.gather(futures)  # in the order submitted
    return [row for part in results for row in part]


def csv_text(rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerow(COLUMNS)
    writer.writerows(rows)
    return out.getvalue()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="a running scheduler (tcp://HOST:8786); default: a LocalCluster")
    parser.add_argument("--workers", type=int, default=2,
                        help="LocalCluster: worker processes (default 2)")
    parser.add_argument("--threads", action="store_true",
                        help="LocalCluster: workers as threads of this process instead")
    parser.add_argument("--serial", action="store_true", help="no Dask: compute here")
    parser.add_argument("--thickness", type=int, nargs=2, default=(6, 18), metavar=("FROM", "TO"),
                        help="thickness range in %% of the chord (default 6 18)")
    parser.add_argument("--sections", type=int, default=None,
                        help="only the first N sections of the set (default all)")
    parser.add_argument("--points", type=int, default=161, help="panel end points (default 161)")
    parser.add_argument("--method", default="vortex", help="hess, vortex, kennedy or soinne")
    parser.add_argument("--alpha", type=float, nargs=3, default=(-4, 16, 0.5),
                        metavar=("FROM", "TO", "STEP"), help="degrees (default -4 16 0.5)")
    parser.add_argument("--re", type=float, default=None,
                        help="one-way boundary layer at this Reynolds number (default inviscid)")
    parser.add_argument("--ncrit", type=float, default=9.0, help="e^n transition (default 9)")
    parser.add_argument("--coupled", action="store_true",
                        help="with --re, the coupled viscous-inviscid analysis (viscous CL and "
                             "CM; an angle that does not converge keeps its reason)")
    parser.add_argument("--chunk", type=int, default=8, help="sections per task (default 8)")
    parser.add_argument("--out", default="-", help="the CSV file (default standard output)")
    args = parser.parse_args(argv)

    sections = naca_four_digit(*args.thickness)[:args.sections]
    start, stop, step = args.alpha
    alpha = np.arange(start, stop + step / 2, step)
    options = dict(points=args.points, method=args.method, alpha=alpha, re=args.re,
                   ncrit=args.ncrit, chunk=args.chunk,
                   viscous="coupled" if args.coupled else "one-way")
    if args.serial:
        rows = compute(sections, **options)
    else:
        from dask.distributed import Client, LocalCluster
        if args.scheduler:
            with Client(args.scheduler) as client:
                rows = compute(sections, client=client, **options)
        else:
            with LocalCluster(n_workers=args.workers, threads_per_worker=1,
                              processes=not args.threads, dashboard_address=None) as cluster, \
                    Client(cluster) as client:
                rows = compute(sections, client=client, **options)
    text = csv_text(rows)
    if args.out == "-":
        sys.stdout.write(text)
    else:
        with open(args.out, "w", newline="") as f:
            f.write(text)
        print(f"{len(sections)} sections, {len(rows)} rows -> {args.out}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
