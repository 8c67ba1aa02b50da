"""Bad paths, values and files raise OSError or ValueError with the program's messages."""
import os

import pytest

import marovi


def test_bad_paths_and_files(tmp_path):
    with pytest.raises(OSError, match="not found"):
        marovi.load(tmp_path / "missing.mgf")
    sim = marovi.Simulation(seed=1, grid=(10, 10))
    with pytest.raises(OSError, match="the directory .*nowhere does not exist"):
        sim.save(tmp_path / "nowhere" / "x.mgf")
    with pytest.raises(OSError, match="can not read the plan"):
        marovi.sweep(tmp_path / "missing.toml")
    (tmp_path / "bad.mgf").write_bytes(b"V 1.20" + bytes(40))
    with pytest.raises(ValueError, match="bad.mgf"):
        sim.load(tmp_path / "bad.mgf")
    assert sim.grid == (10, 10)  # a failed load keeps the simulation


def test_bad_values():
    sim = marovi.Simulation(seed=1, grid=(10, 10))
    cases = [
        ("NeighbourhoodSize", 30, "NeighbourhoodSize must be 1..24 (not 30)"),
        ("GlobalKFactor", -100, "GlobalKFactor must lie strictly between -100 and 100 (not -100)"),
        ("DispersalKernel", "gauss", 'DispersalKernel must be "exponential", "diffusion" or "uniform" (not \'gauss\')'),
        ("species2.ReproInterval", 2.5, "ReproInterval must be a whole number (not 2.5)"),
        ("species11.Fecundity", 1.0, 'species "11" does not exist: the pool has species 1..10'),
        ("Fecundity", 1.0, 'no global parameter is called "Fecundity"'),
    ]
    for name, value, message in cases:
        with pytest.raises(ValueError) as e:
            sim[name] = value
        assert str(e.value) == message
    assert sim["NeighbourhoodSize"] == 1 and sim["DispersalKernel"] == "exponential"
    with pytest.raises(ValueError, match=r"threads must be 1\.\.1024 \(not 0\)"):
        sim.threads = 0
    assert sim.threads == len(os.sched_getaffinity(0))
    with pytest.raises(ValueError, match=r"grid 0x5: each side must be 1\.\.10000"):
        marovi.Simulation(seed=1, grid=(0, 5))
    with pytest.raises(ValueError, match=r"species 12: the species are numbered 1\.\.10"):
        marovi.clusters(sim, mode="species", species=12)
    with pytest.raises(ValueError, match="counts must not be negative"):
        marovi.diversity([3, -1])
    with pytest.raises(ValueError, match=r'plan\["vary"\]: no global parameter is called "Speed"'):
        marovi.sweep({"steps": 1, "seeds": [1], "vary": {"Speed": [1]}})
