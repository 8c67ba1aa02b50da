"""marovi.sweep gives marovi-cli's table; a Simulation set up by hand gives the same rows."""
import sys

import pandas as pd

import marovi

PLAN = {"grid": "20x16", "steps": 6, "every": 3, "seeds": [1, 2],
        "vary": {"DispersalKernel": ["exponential", "uniform"], "species": {2: {"Fecundity": [2.0, 20.0]}},
                 "Torus": [True, False]}}
TOML = """grid = "20x16"
steps = 6
every = 3
seeds = [1, 2]
[vary]
DispersalKernel = ["exponential", "uniform"]
species = { 2 = { Fecundity = [2.0, 20.0] } }
Torus = [true, false]
"""


def test_sweep_of_a_dict_equals_the_runners_table(tmp_path, cli):
    (tmp_path / "plan.toml").write_text(TOML)
    cli("sweep", tmp_path / "plan.toml", "--jobs", 2, "--out", tmp_path / "cli.csv")
    table = marovi.sweep(PLAN, out=tmp_path / "py.csv")
    assert (tmp_path / "py.csv").read_bytes() == (tmp_path / "cli.csv").read_bytes()
    expected = pd.read_csv(tmp_path / "cli.csv", float_precision="round_trip")
    pd.testing.assert_frame_equal(table, expected)
    assert list(table.columns[:6]) == ["run", "seed", "DispersalKernel", "species2.Fecundity", "Torus", "step"]

    # Without pandas: a dict of the same columns.
    sys.modules["pandas"] = None
    try:
        columns = marovi.sweep(tmp_path / "plan.toml")
    finally:
        sys.modules["pandas"] = pd
    assert list(columns) == list(expected.columns)
    assert all((columns[c] == expected[c].to_numpy()).all() for c in columns)

    # Run 16 (uniform, Fecundity 20, bounded, seed 2) set up by hand: the same census.
    sim = marovi.Simulation(seed=2, grid=(20, 16))
    sim["DispersalKernel"], sim["species2.Fecundity"], sim["Torus"] = "uniform", 20.0, False
    sim.restart(seed=2)
    sim.step(6)
    census = sim.census()
    rows = expected[expected.run == 16]
    assert rows.step.tolist() == census["step"][::3].tolist()
    assert (rows[[f"species{s}" for s in range(1, 11)]].to_numpy() == census["abundance"][::3]).all()
    assert rows.diversity.tolist() == census["diversity"][::3].tolist()
