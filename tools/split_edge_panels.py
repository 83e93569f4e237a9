#!/usr/bin/env python3
"""Split the panels next to the trailing edge of a contour, the polygon kept.

    tools/split_edge_panels.py CONTOUR OUT [PANELS] [PARTS]

Reads a contour in the Selig layout (a name line, then x y from the trailing
edge over one surface, round the nose and back), and writes it to OUT with
the PANELS panels next to the edge on each surface (default 3) split into
points on the panels themselves: the edge panel into PARTS pieces (default
8), the next into PARTS / 2, the one after into PARTS / 4 (at least 2 each),
the pieces growing by 1.5 away from the edge. Every new point lies on its
straight panel, so the polygon is the same and only the panelling of the
edge changes: a result that moves with it depends on how finely the edge is
resolved. (xfoil's NACA 0012 of 161 nodes: the edge panel of 0.009 chord
becomes pieces of 0.0002 to 0.003 chord.)
"""
import sys

GROWTH = 1.5


def pieces(a, b, parts, small_at_a):
    """The points strictly inside segment a-b that split it into `parts`
    pieces growing geometrically away from a (small_at_a) or from b."""
    weights = [GROWTH ** i for i in range(parts)]
    if not small_at_a:
        weights.reverse()
    total = sum(weights)
    out, run = [], 0.0
    for w in weights[:-1]:
        run += w
        t = run / total
        out.append((a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])))
    return out


def main(argv):
    if len(argv) not in (3, 4, 5):
        sys.stderr.write(__doc__)
        return 2
    try:
        panels = int(argv[3]) if len(argv) > 3 else 3
        parts = int(argv[4]) if len(argv) > 4 else 8
    except ValueError:
        sys.stderr.write("split_edge_panels: PANELS and PARTS are whole numbers\n")
        return 2
    with open(argv[1]) as f:
        lines = f.read().splitlines()
    if not lines:
        sys.stderr.write("split_edge_panels: %s is empty\n" % argv[1])
        return 1
    points = []
    for line in lines[1:]:
        words = line.split()
        if len(words) >= 2:
            points.append((float(words[0]), float(words[1])))
    n = len(points)
    if panels < 1 or parts < 2 or n < 2 * panels + 3:
        sys.stderr.write("split_edge_panels: too few points for %d panels a side\n" % panels)
        return 2
    out = []
    for i in range(n - 1):
        out.append(points[i])
        from_edge = min(i, n - 2 - i)  # 0 for the two edge panels
        if from_edge < panels:
            count = max(2, parts >> from_edge)
            out += pieces(points[i], points[i + 1], count, small_at_a=(i == from_edge))
    out.append(points[-1])
    with open(argv[2], "w") as f:
        f.write(lines[0].strip() + "\n")
        for x, y in out:
            f.write("%.8f %.8f\n" % (x, y))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
