"""The module against tavrixs-batch on the same cases: the batch's CSV holds
every number in the shortest form that reads back to the same double, so the
polars must agree bit for bit."""
import numpy as np
import pytest
import tavrix

from conftest import column, read_csv

ALPHAS = "-4:12:0.5"
ALPHA_ARRAY = np.arange(-4, 12.5, 0.5)


def batch_polar(batch, source, *options):
    batch(*source, "--sweep", ALPHAS, *options, "--csv", "polar.csv")
    return read_csv(batch.folder / "polar.csv")


def assert_same_inviscid(rows, polar):
    assert len(rows) == len(polar["alpha"]) == 33
    assert column(rows, "alpha") == polar["alpha"].tolist()
    # The batch names the panels' pressure drag CDp_inviscid.
    for key, name in (("CL", "CL"), ("CD", "CDp_inviscid"), ("CM", "CM")):
        assert column(rows, name) == polar[key].tolist(), key
    assert polar["converged"].all()
    # Without a layer, CD is the panels' pressure drag and CDp the same.
    assert polar["CDp"].tolist() == polar["CD"].tolist()


@pytest.mark.parametrize("method", tavrix.methods)
def test_naca_polar_of_every_method(batch, method):
    rows = batch_polar(batch, ["--naca", "2412", "--points", "161"], "--method", method)
    polar = tavrix.naca("2412", points=161).polar(alpha=ALPHA_ARRAY, method=method)
    assert_same_inviscid(rows, polar)


def test_compare_gives_the_four_methods_of_the_batch(batch):
    rows = batch_polar(batch, ["--naca", "4415", "--points", "121"], "--compare")
    result = tavrix.compare(tavrix.naca("4415", points=121), alpha=ALPHA_ARRAY)
    assert list(result) == list(tavrix.methods)
    names = {"hess": "Hess", "vortex": "Vortex panel", "kennedy": "Kennedy-Marsden",
             "soinne": "Soinne-Laine"}
    for word, polar in result.items():
        assert_same_inviscid([r for r in rows if r["method"] == names[word]], polar)


@pytest.mark.parametrize("correction", ["prandtl-glauert", "karman-tsien"])
def test_compressible_polar(batch, correction):
    rows = batch_polar(batch, ["--naca", "0012", "--points", "101"], "--method", "hess",
                       "--mach", "0.5", "--correction", correction)
    polar = tavrix.naca("0012", points=101).polar(alpha=ALPHA_ARRAY, method="hess", mach=0.5,
                                                   correction=correction)
    assert_same_inviscid(rows, polar)


@pytest.mark.parametrize("source, make", [
    (["--naca", "23012", "--points", "141", "--open-te"],
     lambda: tavrix.naca("23012", points=141, open_te=True)),
    (["--naca", "2412", "--points", "161", "--repanel", "121"],
     lambda: tavrix.naca("2412", points=161).repanel(121)),
    (["--karman-trefftz", "--thickness", "0.12", "--camber", "0.03", "--te-angle", "8",
      "--points", "101"],
     lambda: tavrix.karman_trefftz(0.12, 0.03, 8, 101)),
], ids=["open-te", "repanel", "karman-trefftz"])
def test_other_sources(batch, source, make):
    rows = batch_polar(batch, source, "--method", "vortex")
    assert_same_inviscid(rows, make().polar(alpha=ALPHA_ARRAY))


def test_saved_file_reads_back_in_both(batch, tmp_path):
    path = tmp_path / "section.dat"
    tavrix.naca("6409", points=91).save(str(path))
    af = tavrix.Airfoil.from_file(str(path))
    assert af.name == "NACA 6409"
    rows = batch_polar(batch, ["--file", path], "--method", "kennedy")
    assert_same_inviscid(rows, af.polar(alpha=ALPHA_ARRAY, method="kennedy"))


def test_program_sample_file(batch):
    path = pathlib_data("naca0012_61.arf")
    rows = batch_polar(batch, ["--file", path], "--method", "hess")
    af = tavrix.Airfoil.from_file(str(path))
    assert len(af.x) == 61
    assert_same_inviscid(rows, af.polar(alpha=ALPHA_ARRAY, method="hess"))


def pathlib_data(name):
    import pathlib
    return pathlib.Path(__file__).resolve().parents[2] / "data" / name


def test_viscous_polar(batch):
    rows = batch_polar(batch, ["--naca", "2412", "--points", "161"], "--method", "vortex",
                       "--re", "1e6", "--one-way", "--ncrit", "9", "--transition-upper", "1",
                       "--transition-lower", "1")
    polar = tavrix.naca("2412", points=161).polar(alpha=ALPHA_ARRAY, re=1e6)
    assert column(rows, "alpha") == polar["alpha"].tolist()
    solved = [r["CD_boundary_layer"] != "" for r in rows]
    assert polar["converged"].tolist() == solved
    assert sum(solved) > 25
    ok = [r for r in rows if r["CD_boundary_layer"] != ""]
    mask = polar["converged"]
    for key, name in (("CL", "CL"), ("CD", "CD_boundary_layer"), ("CM", "CM"), ("Top_Xtr", "Top_Xtr"),
                      ("Bot_Xtr", "Bot_Xtr")):
        assert column(ok, name) == polar[key][mask].tolist(), key
    # The pressure part is what the friction leaves of the total.
    assert [a - b for a, b in zip(column(ok, "CD_boundary_layer"), column(ok, "CD_friction"))] == \
        polar["CDp"][mask].tolist()
    assert polar["reliable"][mask].tolist() == [r["reliable"] == "1" for r in ok]


def test_forced_transition_and_operating_point_layer(batch):
    batch("--naca", "0012", "--points", "121", "--sweep", "3:3:0", "--method", "vortex",
          "--re", "3e6", "--one-way", "--ncrit", "5", "--transition-upper", "0.2",
          "--transition-lower", "0.4",
          "--csv", "v.csv")
    row, = read_csv(batch.folder / "v.csv")
    af = tavrix.naca("0012", points=121)
    point = af.operating_point(alpha=3, re=3e6, ncrit=5, xtr_upper=0.2, xtr_lower=0.4)
    assert point["CL"] == float(row["CL"])
    assert point["CD"] == float(row["CD_boundary_layer"])
    assert point["CDf"] == float(row["CD_friction"])
    assert point["upper"]["transition"] == float(row["Top_Xtr"])
    assert point["lower"]["transition"] == float(row["Bot_Xtr"])
    # Forced at 0.2 unless free transition came first.
    assert point["upper"]["transition"] <= 0.2 + 0.02
    for side in ("upper", "lower"):
        layer = point[side]
        assert len(layer["x"]) == len(layer["theta"]) == len(layer["Cf"]) > 10
        assert np.all(np.diff(layer["s"]) >= 0)


def test_pressure_distribution(batch):
    batch("--naca", "2412", "--points", "161", "--sweep", "4:4:0", "--method", "soinne",
          "--mach", "0.3", "--cp-csv", "cp.csv")
    rows = read_csv(batch.folder / "cp.csv")
    point = tavrix.naca("2412", points=161).operating_point(alpha=4, method="soinne", mach=0.3)
    assert len(rows) == len(point["Cp"]) == 160
    for key in ("x", "y", "Cp", "Cp_incompressible"):
        assert column(rows, key) == point[key].tolist(), key


def test_exact_karman_trefftz_against_the_batch_and_the_panels(batch):
    out = batch("--karman-trefftz", "--thickness", "0.1", "--camber", "0.02", "--te-angle", "5",
                "--points", "101", "--alpha", "4", "--exact", "--method", "vortex").stdout
    printed = dict(line.split(" = ") for line in out.splitlines() if " exact = " in line)
    exact = tavrix.exact_karman_trefftz(0.1, 0.02, 5, alpha=4, points=101)
    assert round(exact["CL"], 4) == float(printed["CL exact"])
    assert round(exact["CM"], 4) == float(printed["CMc/4 exact"])
    # The Kutta-Joukowski lift and Blasius' theorem on a far circle agree,
    # and d'Alembert: no drag.
    assert exact["CL_blasius"] == pytest.approx(exact["CL"], rel=1e-6)
    assert abs(exact["CD_blasius"]) < 1e-6
    # The panels of a fine contour come close to the exact flow.
    fine = tavrix.karman_trefftz(0.1, 0.02, 5, 301).operating_point(alpha=4)
    fine_exact = tavrix.exact_karman_trefftz(0.1, 0.02, 5, alpha=4, points=301)
    assert fine["CL"] == pytest.approx(fine_exact["CL"], rel=5e-3)
    assert fine_exact["x"].tolist() == fine["x"].tolist()
    middle = slice(20, 280)
    assert np.max(np.abs(fine["Cp"][middle] - fine_exact["Cp"][middle])) < 0.05
