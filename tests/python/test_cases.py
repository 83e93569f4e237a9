"""Case lists of tavrixs-batch (--cases) against the module: the same
sections, methods and conditions give the same numbers bit for bit (both
print the shortest text of each double), and a case the batch refuses with a
reason is one the module refuses with the same text."""
import math

import numpy as np
import pytest
import tavrix

from conftest import read_csv

KEYS = ("CL", "CD", "CDp", "CM", "Top_Xtr", "Bot_Xtr")


def run_cases(batch, text, jobs=2):
    (batch.folder / "cases.csv").write_text(text)
    done = batch("--cases", "cases.csv", "--jobs", jobs, "--out", "results.csv")
    assert done.stdout == "" and done.stderr == ""
    return read_csv(batch.folder / "results.csv")


def by_case(rows):
    cases = {}
    for r in rows:
        cases.setdefault(int(r["case"]), []).append(r)
    return [cases[k] for k in sorted(cases)]


def assert_same(rows, polar):
    assert [float(r["alpha"]) for r in rows] == polar["alpha"].tolist()
    assert [r["converged"] == "1" for r in rows] == polar["converged"].tolist()
    assert [r["reason"] for r in rows] == polar["reason"]
    for key in KEYS:
        ours = [float(r[key]) if r[key] else math.nan for r in rows]
        np.testing.assert_array_equal(ours, polar[key], err_msg=key)


def test_polars_of_a_case_list_are_the_module_s(batch):
    # batch.folder holds the case list: a relative path is taken from there.
    section = batch.folder / "n6409.dat"
    tavrix.naca("6409", points=91).save(str(section))
    cases = [
        ("2412", 161, "vortex", "-4,12,0.5", "", "", ""),
        ("NACA 4415", 121, "hess", "0,8,2", "", "0.5", "karman-tsien"),
        ("0012", 101, "kennedy", "-2,2,1", "", "0.3", ""),
        ("23012", 141, "soinne", "4,4,0", "", "", ""),
        ("2412", 161, "vortex", "0,10,2", "1e6", "", ""),
        (str(section), "", "vortex", "0,4,1", "", "", ""),
        ("n6409.dat", 61, "hess", "1,3,1", "3e6", "", ""),
    ]
    text = "re,airfoil,points,method,alpha_from,alpha_to,alpha_step,mach,correction,ncrit," \
           "xtr_upper,xtr_lower\n"
    for name, points, method, alphas, re, mach, correction in cases:
        ncrit = "9,1,1" if re else ",,"
        text += f"{re},{name},{points},{method},{alphas},{mach},{correction},{ncrit}\n"
    results = by_case(run_cases(batch, text))
    assert len(results) == len(cases)
    for rows, (name, points, method, alphas, re, mach, correction) in zip(results, cases):
        if name.endswith(".dat"):
            af = tavrix.Airfoil.from_file(str(section))
            if points:
                af = af.repanel(points)
        else:
            af = tavrix.naca(name, points=points)
        first, last, step = (float(v) for v in alphas.split(","))
        alpha = [float(r["alpha"]) for r in rows]
        assert alpha[0] == first and alpha[-1] == last
        polar = af.polar(alpha=alpha, method=method, mach=float(mach or 0),
                         correction=correction or "prandtl-glauert",
                         re=float(re) if re else None)
        assert_same(rows, polar)


def test_the_layer_s_failure_at_an_angle_is_a_row_like_the_module_s(batch):
    rows = run_cases(batch, "airfoil,points,method,alpha_from,alpha_to,alpha_step,re,ncrit,"
                            "xtr_upper,xtr_lower\n0012,121,vortex,0,90,15,1e6,9,1,1\n")
    polar = tavrix.naca("0012", points=121).polar(alpha=np.arange(0, 91, 15.0), re=1e6)
    assert_same(rows, polar)
    assert not polar["converged"][-1]
    assert rows[-1]["reason"].startswith("No stagnation point")
    assert rows[-1]["CL"] != "" and rows[-1]["CD"] == ""


def test_a_drag_not_reliable_is_said_alike(batch):
    # Vortex panel method, 121 points, 16 degrees, Re = 1e6: the upper
    # surface separates at mid chord.
    rows = run_cases(batch, "airfoil,points,method,alpha_from,re,ncrit,xtr_upper,xtr_lower\n"
                            "0012,121,vortex,16,1e6,9,1,1\n")
    polar = tavrix.naca("0012", points=121).polar(alpha=[16.0], re=1e6)
    assert_same(rows, polar)
    assert polar["converged"][0] and not polar["reliable"][0]
    assert rows[0]["reason"].startswith("drag not reliable: the upper surface separates at x/c = 0.")


def test_refusals_are_the_module_s_exceptions(batch):
    (batch.folder / "nan.dat").write_text("NaN section\n1 0\nnan 0.1\n0 0\n0.5 -0.1\n1 0\n")
    (batch.folder / "crossing.dat").write_text(
        "crossing\n1 0\n0.5 -0.1\n0 0\n0.5 0.1\n1 0\n0.75 -0.05\n0.25 0.05\n0 0\n"
        "0.25 -0.05\n0.75 0.05\n1 0\n")
    folder = batch.folder
    attempts = [
        ("2419x,,hess,", lambda: tavrix.naca("2419x")),
        ("0012,100000,hess,", lambda: tavrix.naca("0012", points=100000)),
        ("0012,1,hess,", lambda: tavrix.naca("0012", points=1)),
        ("0012,,panel,", lambda: tavrix.naca("0012", points=51).polar(alpha=[0], method="panel")),
        ("0012,,hess,1.2", lambda: tavrix.naca("0012", points=51).polar(alpha=[0], mach=1.2,
                                                                        method="hess")),
        ("0012,1000,soinne,", lambda: tavrix.naca("0012", points=1000).polar(alpha=[0],
                                                                             method="soinne")),
        (f"{folder / 'nan.dat'},,hess,",
         lambda: tavrix.Airfoil.from_file(str(folder / "nan.dat"))),
        (f"{folder / 'crossing.dat'},,hess,",
         lambda: tavrix.Airfoil.from_file(str(folder / "crossing.dat"))),
    ]
    rows = run_cases(batch, "airfoil,points,method,mach\n" +
                     "".join(line + "\n" for line, _ in attempts), jobs=3)
    assert len(rows) == len(attempts)
    for row, (line, attempt) in zip(rows, attempts):
        assert row["converged"] == "0" and row["alpha"] == "" and row["CL"] == ""
        with pytest.raises(ValueError) as refusal:
            attempt()
        assert row["reason"] == str(refusal.value), line


def test_the_same_bytes_whatever_the_number_of_threads(batch):
    text = "airfoil,points,method,alpha_from,alpha_to,alpha_step,re,ncrit\n"
    for k, name in enumerate(["0006", "2412", "4415", "0018", "23012", "6409", "2408", "0012"]):
        text += f"{name},{61 + 20 * k},{tavrix.methods[k % 4]},-2,8,1,{'2e6' if k % 2 else ''}," \
                f"{'7' if k % 2 else ''}\n"
    (batch.folder / "cases.csv").write_text(text)
    outputs = []
    for jobs in (1, 2, 4):
        batch("--cases", "cases.csv", "--jobs", jobs, "--out", f"r{jobs}.csv")
        outputs.append((batch.folder / f"r{jobs}.csv").read_bytes())
    assert outputs[0] == outputs[1] == outputs[2]
    assert outputs[0].count(b"\n") == 1 + 8 * 11
