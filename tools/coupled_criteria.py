#!/usr/bin/env python3
"""The coupled analysis against xfoil over the range of the acceptance
criteria, from the tables tools/coupled_vs_xfoil.sh prints.

    tools/coupled_vs_xfoil.sh build/release "0012 2412 4415" 3e6 soinne > sl.md
    REFERENCE=split tools/coupled_vs_xfoil.sh build/release "0012 2412 4415" 3e6 soinne > sl_split.md
    tools/coupled_criteria.py 3e6 sl.md sl_split.md

RE names the Reynolds number of the tables; the range runs from -4 degrees
to 3 degrees below the angle of the largest lift of xfoil's polar on its own
nodes (tests/data/xfoil_viscous/nacaXXXX_reRE.pol), whichever reference the
table holds. One line per section and table: the angles converged here and
in xfoil of those in range, the median and worst |dCL| in % (where
|CL| > 0.05), the worst |dCMc/4|, the median and worst |dCD| in %, and the
worst difference of a transition point in chords.
"""
import os
import re
import statistics
import sys

REFERENCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data",
                         "xfoil_viscous")


def stall_angle(section, reynolds):
    """The angle of the largest lift in xfoil's polar on its own nodes."""
    rows, table = [], False
    with open(os.path.join(REFERENCE, "naca%s_re%s.pol" % (section, reynolds))) as f:
        for line in f:
            if line.strip().startswith("-----"):
                table = True
                continue
            words = line.split()
            if table and len(words) >= 7:
                rows.append((float(words[0]), float(words[1])))
    return max(rows, key=lambda r: r[1])[0]


def pair(cell):
    """'0.4516 (0.4369)' as (0.4516, 0.4369); None for a dash."""
    m = re.match(r"\s*(-?[0-9.]+)\s*\((-?[0-9.]+)\)", cell)
    return (float(m.group(1)), float(m.group(2))) if m else None


def summarize(section, reynolds, rows, name):
    top = stall_angle(section, reynolds) - 3
    in_range = [r for r in rows if -4 <= float(r[0]) <= top]
    both = [r for r in in_range if r[1] == "yes"]
    dcl, dcm, dcd, dtr = [], [], [], []
    for r in both:
        cl, cm, cd = pair(r[2]), pair(r[4]), pair(r[6])
        if abs(cl[1]) > 0.05:
            dcl.append(abs(cl[0] - cl[1]) / abs(cl[1]) * 100)
        dcm.append(abs(cm[0] - cm[1]))
        dcd.append(abs(cd[0] - cd[1]) / cd[1] * 100)
        for k in (8, 10):
            t = pair(r[k])
            if t:
                dtr.append(abs(t[0] - t[1]))

    def spread(v):
        return "%.1f / %.1f" % (statistics.median(v), max(v)) if v else "-"

    print("%s NACA %s Re %s: %d of %d angles (-4 to %g), CL %% %s, CMc/4 %.4f, CD %% %s, "
          "transition %.3f" % (name, section, reynolds, len(both), len(in_range), top, spread(dcl),
                               max(dcm) if dcm else 0, spread(dcd), max(dtr) if dtr else 0))


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    reynolds = argv[1]
    for path in argv[2:]:
        section, rows = None, []
        with open(path) as f:
            for line in f:
                m = re.match(r"NACA (\d+), Re", line)
                if m:
                    section, rows = m.group(1), []
                elif section and line.startswith("| ") and not line.startswith("| α"):
                    rows.append([c.strip() for c in line.strip().strip("|").split("|")])
                elif section and line.startswith("Summary"):
                    summarize(section, reynolds, rows, os.path.basename(path))
                    section = None
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
