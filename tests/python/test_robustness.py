"""Bad cases in the module: every one gives a result or a ValueError with
the reason, never a crash, a hang or a NaN reported as a converged result."""
import math

import numpy as np
import pytest
import tavrix


def ellipse(n, thickness=0.06):
    t = np.linspace(0, 2 * np.pi, n)
    return 0.5 + 0.5 * np.cos(t), thickness * np.sin(t)


def test_point_counts_at_and_beyond_the_limits():
    # Three points: the section collapses to a line traced out and back,
    # which one method solves (no lift) and another finds singular.
    flat = tavrix.naca("0012", points=3)
    assert flat.x.tolist() == [1, 0, 1] and flat.y.tolist() == [0, 0, 0]
    assert flat.polar(alpha=[0, 2], method="hess")["CL"].tolist() == [0, 0]
    with pytest.raises(ValueError, match="diyagonal"):
        flat.polar(alpha=[0, 2], method="vortex")
    for points in (1, 1001, 100000):
        with pytest.raises(ValueError, match="whole number from 2 to 1000"):
            tavrix.naca("0012", points=points)
    with pytest.raises(ValueError, match="3 to 1000"):
        tavrix.naca("0012").repanel(100000)


def test_a_hundred_thousand_points_are_taken_and_refused_by_the_methods(tmp_path):
    x, y = ellipse(100000)
    af = tavrix.Airfoil(x, y, name="fine ellipse")
    assert len(af) > 99000
    with pytest.raises(ValueError, match="at most 1000 panel end points"):
        af.polar(alpha=[0])
    assert af.repanel(161).polar(alpha=[2])["converged"].all()
    # The same contour with two neighbours exchanged crosses itself.
    x[50000], x[50001] = x[50001], x[50000]
    y[50000], y[50001] = y[50001], y[50000]
    with pytest.raises(ValueError, match="crosses itself"):
        tavrix.Airfoil(x, y)


def test_files_that_are_no_airfoil(tmp_path):
    cases = {
        "nan.dat": "NaN section\n" + "nan nan\n" * 20,
        "inf.dat": "inf section\n1 0\n0.5 inf\n0 0\n0.5 -0.1\n1 0\n",
        "crossing.dat": "crossing\n1 0\n0.5 -0.1\n0 0\n0.5 0.1\n1 0\n0.75 -0.05\n0.25 0.05\n"
                        "0 0\n0.25 -0.05\n0.75 0.05\n1 0\n",
        "empty.dat": "",
        "binary.dat": "\x00\x01\x02\xff" * 100,
    }
    for name, text in cases.items():
        path = tmp_path / name
        path.write_text(text, encoding="latin-1")
        with pytest.raises(ValueError, match='Cannot read airfoil file'):
            tavrix.Airfoil.from_file(str(path))
    with pytest.raises(ValueError, match="folder"):
        tavrix.Airfoil.from_file(str(tmp_path))


def test_angles_far_out_and_not_numbers():
    af = tavrix.naca("2412", points=81)
    polar = af.polar(alpha=[1e9, -1e9, 1e300, 0], method="vortex")
    assert polar["converged"].all() and np.isfinite(polar["CL"]).all()
    # The flow at 1e9 degrees is the flow at 1e9 mod 360 = 280 degrees.
    assert polar["CL"][0] == pytest.approx(af.polar(alpha=[280])["CL"][0], abs=1e-6)
    for bad, text in (([math.nan], "angle 1 is nan"), ([0, math.inf], "angle 2 is inf"),
                      ([-math.inf], "angle 1 is -inf")):
        with pytest.raises(ValueError, match="alpha must hold finite angles in degrees; " + text):
            af.polar(alpha=bad)
    with pytest.raises(ValueError, match="finite angles"):
        af.operating_point(alpha=math.nan)
    # With the layer: an angle where it cannot be computed is not converged
    # and has no drag, but no NaN is passed off as a converged result.
    viscous = af.polar(alpha=[0, 90, 1e9], re=1e6)
    for k in range(3):
        if viscous["converged"][k]:
            assert np.isfinite(viscous["CD"][k])
        else:
            assert math.isnan(viscous["CD"][k]) and viscous["reason"][k]
    assert viscous["converged"][0] and viscous["reason"][0] == ""


def test_unknown_words_and_numbers_out_of_range():
    af = tavrix.naca("0012", points=61)
    for kwargs, reason in ((dict(method="xfoil"), "unknown method xfoil"),
                           (dict(method=""), "unknown method"),
                           (dict(mach=math.nan), "mach must be a finite number"),
                           (dict(mach=1.0), "Mach number must be less than 1"),
                           (dict(re=math.inf), "1e3 to 1e9"),
                           (dict(re=1e6, ncrit=math.nan), "ncrit"),
                           (dict(re=1e6, xtr_lower=-0.1), "xtr_lower")):
        with pytest.raises(ValueError, match=reason):
            af.polar(alpha=[0, 1], **kwargs)
        with pytest.raises(ValueError, match=reason):
            af.operating_point(alpha=1, **kwargs)
