"""Shared helpers of the module's tests: the batch front end beside the
module in the build folder, run in a scratch folder, and its CSV read back
with every digit it printed."""
import csv
import os
import pathlib
import subprocess

import pytest
import tavrix


def batch_program():
    given = os.environ.get("TAVRIX_BATCH")
    if given:
        return pathlib.Path(given)
    # build/<type>/python/tavrix*.so -> build/<type>/tavrixs-batch
    return pathlib.Path(tavrix.__file__).resolve().parent.parent / "tavrixs-batch"


@pytest.fixture
def batch(tmp_path):
    """batch(*args) runs tavrixs-batch in a scratch folder and returns the
    completed process (stdout, stderr as text)."""
    program = batch_program()
    if not program.exists():
        pytest.skip(f"{program} is not built")

    def run(*args, check=True):
        done = subprocess.run([str(program), *map(str, args)], cwd=tmp_path,
                              capture_output=True, text=True, timeout=300)
        if check and done.returncode != 0:
            raise AssertionError(f"tavrixs-batch {args} failed: {done.stderr}")
        return done

    run.folder = tmp_path
    return run


def read_csv(path):
    """Rows of a CSV as dicts of text; numbers are read with float(), which
    gives back the very double the batch wrote in its shortest form."""
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def column(rows, name):
    return [float(r[name]) for r in rows]
