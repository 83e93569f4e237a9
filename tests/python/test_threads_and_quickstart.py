"""Scripting use: the three-line polar, and Python threads solving at once
(the module releases the interpreter lock during a solve) giving the very
numbers a sequential run gives."""
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest
import tavrix


def test_three_line_polar():
    import tavrix
    polar = tavrix.naca("2412").polar(alpha=np.arange(-4, 16.5, 0.5))
    assert len(polar["alpha"]) == 41 and polar["converged"].all()
    # Thin-airfoil theory: a lift slope near 2 pi per radian (a little more for
    # a 12 % section in potential flow), zero lift near -2 degrees for 2 % camber.
    slope = np.polyfit(np.radians(polar["alpha"]), polar["CL"], 1)[0]
    assert 2 * np.pi < slope < 2 * np.pi * 1.15
    zero_lift = np.interp(0, polar["CL"], polar["alpha"])
    assert -2.6 < zero_lift < -1.8


SECTIONS = ["0006", "0012", "2412", "4415", "23012", "6409", "0018", "2408"]


def one_case(designation):
    af = tavrix.naca(designation, points=141)
    return (af.polar(alpha=np.arange(-2, 10.5, 1.0), method="hess"),
            af.polar(alpha=[0, 4, 8], re=2e6))


def test_threads_give_the_results_of_a_sequence():
    sequence = [one_case(s) for s in SECTIONS]
    with ThreadPoolExecutor(max_workers=4) as pool:
        parallel = list(pool.map(one_case, SECTIONS))
    for seq, par in zip(sequence, parallel):
        for a, b in zip(seq, par):
            assert a.keys() == b.keys()
            for key in a:
                np.testing.assert_array_equal(a[key], b[key], err_msg=key)


def test_symmetric_section_has_antisymmetric_lift():
    polar = tavrix.naca("0012", points=121).polar(alpha=[-6, 0, 6], method="vortex")
    assert polar["CL"][0] == pytest.approx(-polar["CL"][2], rel=1e-12)
    assert abs(polar["CL"][1]) < 1e-12
