"""marovi.Simulation against marovi-cli: files, arrays, census, and a step that stays interruptible."""
import os
import re
import subprocess
import sys
import textwrap

import numpy as np

import marovi

DATE = re.compile(rb"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d")


def test_runs_save_the_runners_bytes(tmp_path, cli):
    sim = marovi.Simulation(seed=5, grid=(40, 30))
    sim.threads = 3  # any count gives the same bytes
    assert sim.step(50) == 50
    sim.save(tmp_path / "py.mgf")
    cli("new", "--seed", 5, "--grid", "40x30", "--steps", 50, "--status", "--out", tmp_path / "cli.mgf")
    assert (tmp_path / "py.mgf").read_bytes() == (tmp_path / "cli.mgf").read_bytes()
    # The companion files differ only in the date of each entry.
    py_txt, cli_txt = (DATE.sub(b"", (tmp_path / n).read_bytes()) for n in ("py.TXT", "cli.TXT"))
    assert py_txt == cli_txt and py_txt.count(b"\r\n") == 52

    # A loaded file continues as `run` continues it with that seed.
    cli("run", tmp_path / "cli.mgf", "--seed", 3, "--steps", 20, "--out", tmp_path / "cli2.mgf")
    later = marovi.load(tmp_path / "py.mgf", seed=3)
    later.step(20)
    later.save(tmp_path / "py2.mgf")
    assert (tmp_path / "py2.mgf").read_bytes() == (tmp_path / "cli2.mgf").read_bytes()


def test_arrays_agree_with_export_and_info(tmp_path, cli):
    sim = marovi.Simulation(seed=7, grid=(25, 20))
    sim.step(30)
    sim.save(tmp_path / "s.mgf")
    a = sim.abundance()
    assert a.shape == (10, 20, 25) and a.dtype == np.int32
    cli("export", "species", tmp_path / "s.mgf", tmp_path / "species.txt", "--separator", ",")
    names = sim.species_names
    rows = [l.split(",") for l in (tmp_path / "species.txt").read_text().splitlines()[7:]]
    assert len(rows) == a.size
    for name, x, y, n, _ in rows:
        assert a[names.index(name.strip()), int(y), int(x)] == int(n)
    assert (sim.abundance(species=2) == a[1]).all()
    assert (sim.individual_count() == a.sum(axis=0)).all()

    ind = sim.individuals()
    cli("export", "individuals", tmp_path / "s.mgf", tmp_path / "ind.txt")
    lines = (tmp_path / "ind.txt").read_text().splitlines()[8:]
    assert lines == [f"{names[s - 1]}, {g:04d}, {x + px / 10:8.2f}, {y + py / 10:8.2f}"
                     for s, g, x, y, px, py in zip(*(ind[k] for k in ("species", "age", "x", "y", "pos_x", "pos_y")))]

    info = cli("info", tmp_path / "s.mgf")
    census = sim.census()
    assert census["step"].tolist() == list(range(31))
    assert f"individuals: {a.sum()}" in info and "time step: 30" in info
    assert re.findall(r"^\s+\d+\s+Species \d\d\s+(\d+)", info, re.M) == [str(n) for n in census["abundance"][-1]]
    assert f"diversity (Shannon Index): {census['diversity'][-1]:.4f}" in info


def test_step_releases_python_and_stops_at_ctrl_c():
    # The thread that sends Ctrl-C runs only while the step leaves Python's lock free.
    script = textwrap.dedent("""
        import os, signal, threading, time, marovi
        sim = marovi.Simulation(seed=1, grid=(60, 60))
        threading.Thread(target=lambda: (time.sleep(0.3), os.kill(os.getpid(), signal.SIGINT))).start()
        try:
            sim.step(10**8)
        except KeyboardInterrupt:
            steps = sim.time_step
            sim.step(1)
            print(steps, len(sim.census()["step"]), sim.time_step)
    """)
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=120,
                          env=os.environ)
    assert done.returncode == 0, done.stderr
    steps, rows, after = map(int, done.stdout.split())
    assert 0 < steps < 10**8 and rows == steps + 2 and after == steps + 1
