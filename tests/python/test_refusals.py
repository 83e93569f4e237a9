"""Bad input raises ValueError with the program's own refusal text, the same
the batch front end shows, and never ends the interpreter."""
import math

import numpy as np
import pytest
import tavrix


def batch_message(batch, *args):
    done = batch(*args, check=False)
    assert done.returncode == 1
    lines = [l for l in done.stderr.splitlines() if l.startswith("message: ")]
    assert lines, done.stderr
    return lines[0][len("message: "):]


def test_mach_of_one_or_more(batch):
    text = batch_message(batch, "--naca", "2412", "--points", "61", "--sweep", "0:2:1",
                         "--mach", "1.2")
    af = tavrix.naca("2412", points=61)
    for mach in (1.0, 1.2, -1.0):
        with pytest.raises(ValueError) as e:
            af.polar(alpha=[0, 1, 2], mach=mach)
        assert str(e.value) == text
    with pytest.raises(ValueError, match=text):
        af.operating_point(alpha=2, mach=1.0)


def test_capacity_of_a_method(batch):
    text = batch_message(batch, "--naca", "0012", "--points", "1000", "--sweep", "0:1:1",
                         "--method", "soinne")
    af = tavrix.naca("0012", points=1000)
    with pytest.raises(ValueError) as e:
        af.polar(alpha=[0, 1], method="soinne")
    assert str(e.value) == text
    # The other methods hold 1000 points; compare names the one that refused.
    assert af.polar(alpha=[0], method="hess")["converged"].all()
    with pytest.raises(ValueError, match="^Soinne-Laine: " + text):
        tavrix.compare(af, alpha=[0])


def test_sources_refused_with_their_reason(batch, tmp_path):
    naca_text = batch_message(batch, "--naca", "2419x", "--sweep", "0:1:1")
    with pytest.raises(ValueError) as e:
        tavrix.naca("2419x")
    assert str(e.value) == naca_text
    with pytest.raises(ValueError, match="whole number from 2 to 1000"):
        tavrix.naca("2412", points=1001)
    with pytest.raises(ValueError, match="does not exist"):
        tavrix.Airfoil.from_file(str(tmp_path / "missing.dat"))
    nan_file = tmp_path / "nan.dat"
    nan_file.write_text("NaN section\n1 0\nnan 0.1\n0 0\n0.5 -0.1\n1 0\n")
    file_text = batch_message(batch, "--file", nan_file, "--sweep", "0:1:1")
    with pytest.raises(ValueError) as e:
        tavrix.Airfoil.from_file(str(nan_file))
    assert str(e.value) == file_text
    with pytest.raises(ValueError, match="3 to 1000"):
        tavrix.naca("2412").repanel(2)


def test_contours_refused():
    # Two loops crossing at the middle: the surfaces cross.
    x = [1, 0.5, 0, 0.5, 1, 0.75, 0.25, 0, 0.25, 0.75, 1]
    y = [0, -0.1, 0, 0.1, 0, -0.05, 0.05, 0, -0.05, 0.05, 0]
    with pytest.raises(ValueError):
        tavrix.Airfoil(x, y)
    with pytest.raises(ValueError, match="no area"):
        tavrix.Airfoil([0, 1, 2, 0], [0, 0, 0, 0])
    with pytest.raises(ValueError, match="same number"):
        tavrix.Airfoil([0, 1, 0.5], [0, 0])
    with pytest.raises(ValueError):
        tavrix.Airfoil([0, 1, math.nan, 0], [0, 0, 1, 0])
    with pytest.raises(ValueError):
        tavrix.karman_trefftz(-0.1, 0, 0, 51)


def test_arguments_refused():
    af = tavrix.naca("0012", points=61)
    with pytest.raises(ValueError, match="unknown method panel"):
        af.polar(alpha=[0], method="panel")
    with pytest.raises(ValueError, match="unknown correction"):
        af.polar(alpha=[0], mach=0.3, correction="laitone")
    with pytest.raises(ValueError, match="1e3 to 1e9"):
        af.polar(alpha=[0], re=10)
    with pytest.raises(ValueError, match="ncrit"):
        af.polar(alpha=[0], re=1e6, ncrit=0)
    with pytest.raises(ValueError, match="xtr_upper"):
        af.polar(alpha=[0], re=1e6, xtr_upper=1.5)
    with pytest.raises(ValueError, match="alpha must be"):
        af.polar(alpha="four")


def test_extreme_angles_give_results_or_reasons():
    af = tavrix.naca("0012", points=61)
    polar = af.polar(alpha=[1e9, -1e9, 0])
    assert polar["converged"].all()
    assert np.isfinite(polar["CL"]).all()
    # An angle that is not a number gives no result and a reason, not a crash.
    with pytest.raises(ValueError):
        af.polar(alpha=[math.nan])


def test_unwritable_file_is_an_os_error(tmp_path):
    with pytest.raises(OSError, match="Cannot write"):
        tavrix.naca("2412").save(str(tmp_path / "no" / "such" / "folder.dat"))
