"""The Dask example: a polar database computed on a LocalCluster of two
workers holds the very rows a serial run in this process computes, in the
same order, whatever order the workers finish in."""
import pathlib
import sys

import numpy as np
import pytest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "python" / "examples"))
import polar_database  # noqa: E402


def test_the_four_digit_set():
    sections = polar_database.naca_four_digit(6, 18)
    # 13 thicknesses of the symmetric section and of 9 x 9 cambered mean lines.
    assert len(sections) == 13 * (1 + 9 * 9) == len(set(sections))
    assert sections[:2] == ["0006", "0007"] and sections[-1] == "9918"
    assert all(len(s) == 4 and 6 <= int(s[2:]) <= 18 for s in sections)


# Debian's tornado warns of its own event-loop set-up inside LocalCluster.
@pytest.mark.filterwarnings("ignore::DeprecationWarning")
def test_local_cluster_equals_the_serial_run():
    from dask.distributed import Client, LocalCluster
    sections = polar_database.naca_four_digit(6, 18)[::53][:20]
    assert len(sections) == 20
    options = dict(points=101, method="vortex", alpha=np.arange(-4, 16.5, 0.5), chunk=3)
    coupled_options = dict(points=161, method="soinne", alpha=np.arange(0, 6.5, 2.0), chunk=1)
    serial = polar_database.compute(sections, **options)
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=False,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        distributed = polar_database.compute(sections, client=client, **options)
        viscous = polar_database.compute(sections[:4], client=client, re=1e6, **options)
        coupled = polar_database.compute(sections[:2], client=client, re=3e6,
                                         viscous="coupled", **coupled_options)
    assert polar_database.csv_text(distributed) == polar_database.csv_text(serial)
    assert len(serial) == 20 * 41
    assert [r[0] for r in serial[::41]] == sections
    assert all(r[-2] == "1" for r in serial)
    # With the layer every angle has a row; one without a layer has no drag.
    assert viscous == polar_database.compute(sections[:4], re=1e6, **options)
    assert len(viscous) == 4 * 41
    assert all((r[6] == "") == (r[-2] == "0") for r in viscous)
    # The coupled analysis on the cluster: the rows of a serial run, each
    # angle's viscous lift below the panels' inviscid one at these angles.
    assert coupled == polar_database.compute(sections[:2], re=3e6, viscous="coupled",
                                             **coupled_options)
    assert len(coupled) == 2 * 4 and all(r[-2] == "1" and r[-1] == "" for r in coupled)
    inviscid = polar_database.compute(sections[:2], **coupled_options)
    assert all(float(c[5]) < float(i[5]) for c, i in zip(coupled, inviscid) if float(i[4]) > 0)


def test_a_refused_section_is_a_row_with_the_reason():
    rows = polar_database.polar_rows(["0012", "2419x"], 61, "vortex", [0.0, 2.0])
    assert len(rows) == 3
    assert rows[2][0] == "2419x" and rows[2][-2] == "0" and rows[2][-1]
    with pytest.raises(ValueError) as refusal:
        import tavrix
        tavrix.naca("2419x")
    assert rows[2][-1] == str(refusal.value)


def test_the_command_line_writes_the_file(tmp_path):
    out = tmp_path / "db.csv"
    assert polar_database.main(["--serial", "--sections", "3", "--thickness", "10", "12",
                                "--alpha", "0", "4", "2", "--points", "61",
                                "--out", str(out)]) == 0
    lines = out.read_text().splitlines()
    assert lines[0].split(",") == polar_database.COLUMNS
    assert [l.split(",")[0] for l in lines[1::3]] == ["0010", "0011", "0012"]
    assert [l.split(",")[4] for l in lines[1:4]] == ["0.0", "2.0", "4.0"]
