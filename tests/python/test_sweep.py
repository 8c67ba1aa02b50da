"""marovi.sweep gives marovi-cli's table, read as pandas reads it; a Simulation set up by hand gives the same rows."""
import sys
import tomllib

import pandas as pd
import pytest

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


def write_scenario(path, name, species):
    """A scenario of default species and the standard disturbance definition, disturbing every cell once in 20 steps."""
    path.write_text(f'name = "{name}"\n' + '[[species]]\nName = "S"\n' * species + "[[disturbance]]\nRecurrence = 20\n")


@pytest.mark.parametrize("names, pools", [(("calm, sheltered", "stormy"), (3, 3)), (("few", "many"), (3, 5))],
                         ids=["a name with a comma", "pools of two sizes"])
def test_sweep_over_scenarios_reads_the_table_as_pandas_does(tmp_path, cli, names, pools):
    for n, (name, pool) in enumerate(zip(names, pools)):
        write_scenario(tmp_path / f"s{n}.toml", name, pool)
    plan = tmp_path / "plan.toml"
    plan.write_text('scenario = ["s0.toml", "s1.toml"]\ngrid = "12x10"\nsteps = 4\nevery = 2\nseeds = [1]\n'
                    "[vary]\nTorus = [true, false]\n")
    cli("sweep", plan, "--out", tmp_path / "cli.csv")
    expected = pd.read_csv(tmp_path / "cli.csv", float_precision="round_trip")
    pd.testing.assert_frame_equal(marovi.sweep(plan), expected)


def test_a_dict_plan_varies_scenarios_disturbances_and_the_landscape(tmp_path, cli, monkeypatch):
    write_scenario(tmp_path / "a.toml", "a", 2)
    write_scenario(tmp_path / "b.toml", "b", 2)
    (tmp_path / "plan.toml").write_text(
        'scenario = ["a.toml", "b.toml"]\ngrid = "12x10"\nsteps = 4\nevery = 2\nseeds = [1]\nto_horizon = true\n'
        "[vary.disturbance.1]\nSeverity = [0.5, 1.0]\n[vary.landscape]\nHighCapacityProb = [0.2, 0.8]\n")
    cli("sweep", tmp_path / "plan.toml", "--out", tmp_path / "cli.csv")
    monkeypatch.chdir(tmp_path)  # where a dict plan's relative paths start
    marovi.sweep({"scenario": ["a.toml", "b.toml"], "grid": "12x10", "steps": 4, "every": 2, "seeds": [1],
                  "to_horizon": True, "vary": {"disturbance": {1: {"Severity": [0.5, 1.0]}},
                                               "landscape": {"HighCapacityProb": [0.2, 0.8]}}}, out="py.csv")
    assert (tmp_path / "py.csv").read_bytes() == (tmp_path / "cli.csv").read_bytes()


def test_provenance_names_the_module_and_the_call(tmp_path):
    plan = {"grid": "8x8", "steps": 1, "seeds": [1]}
    marovi.sweep(plan, out=tmp_path / "t.csv", jobs=1)
    with open(tmp_path / "t.csv.provenance.txt", "rb") as f:
        provenance = tomllib.load(f)
    assert provenance["program"].startswith(f"marovi {marovi.__version__} (Python module), core ")
    assert provenance["command"] == f"marovi.sweep({plan!r}, out={str(tmp_path / 't.csv')!r}, jobs=1)"
