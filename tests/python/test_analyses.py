"""The analysis functions give marovi-cli's figures, labels and tables."""
import numpy as np
import pytest

import marovi


@pytest.fixture(scope="module")
def saved(tmp_path_factory):
    path = tmp_path_factory.mktemp("run") / "run.mgf"
    sim = marovi.Simulation(seed=11, grid=(30, 24))
    sim.step(40)
    sim.save(path)
    return sim, path


def test_indices_equal_the_runners(cli):
    counts = [10, 0, 5, 3, 1]
    for measure, extra in [("shannon", []), ("simpson", []), ("brillouin", []), ("hill", ["--order", "2.5"]),
                           ("mindex", ["--guilds", "0,1,1,2,4"])]:
        expected = float(cli("index", measure, ",".join(map(str, counts)), *extra))
        kw = {"order": 2.5} if measure == "hill" else {"guilds": [0, 1, 1, 2, 4]} if measure == "mindex" else {}
        assert marovi.diversity(counts, measure, **kw) == expected, measure
    assert marovi.similarity([1, 2, 0], [0, 2, 3], "braycurtis") == float(
        cli("similarity", "braycurtis", "--a", "1,2,0", "--b", "0,2,3"))
    # A counts array [species, ...] gives one figure per column.
    a = np.array([[1, 4], [2, 0], [3, 4]], dtype=np.int32)
    assert marovi.diversity(a).tolist() == [marovi.diversity([1, 2, 3]), marovi.diversity([4, 0, 4])]


def test_clusters_equal_the_runners_labels_and_report(saved, cli, tmp_path):
    sim, path = saved
    res = marovi.clusters(sim, mode="species", species=2, periodic=True, window=(0, 0, 29, 23))
    report = cli("clusters", path, "--mode", "species", "--species", 2, "--periodic", "--labels", tmp_path / "l.txt")
    assert report.splitlines() == res.report
    labels = np.loadtxt(tmp_path / "l.txt", dtype=np.int32, ndmin=2)
    assert labels.shape == (24, 30) and (res.labels == labels).all()
    assert res.count == labels.max() > 1
    assert res.clusters["cells"].tolist() == [int((labels == k).sum()) for k in range(1, res.count + 1)]


def test_community_tables_equal_the_runners(saved, cli):
    sim, path = saved
    h = marovi.histogram(sim, species=3, slots=8)
    assert cli("histogram", path, "--species", 3, "--slots", 8).splitlines() == h.lines + [h.summary]

    rows = [l.split(";") for l in cli("succession", path, "--max-age", 60, "--step", 20).splitlines()[3:]]
    t = marovi.succession(sim, max_age=60, step=20)
    assert [[int(f) for f in r] for r in rows] == [
        [t["age"][i], t["cells"][i], t["individuals"][i], *(t[f"species{s}"][i] for s in range(1, 11))]
        for i in range(len(t["age"]))]

    r = marovi.rank(sim, areas={"west": (0, 0, 14, 23)}, random=2, seed=4, relative=True)
    lines = [l.split(";") for l in cli("rank", path, "--area", "west:0,0,14,23", "--random", 2, "--seed", 4,
                                        "--relative").splitlines() if l and not l.startswith(("rank;", "west", "area"))]
    # The runner prints 15 significant digits.
    assert [(int(k), s, int(n), float(v)) for k, s, n, v in lines] == [
        (k, s, n, float(f"{v:.15g}")) for k, s, n, v in zip(r["rank"], r["species"], r["count"], r["value"])]

    walk = marovi.transect(sim, walk=15, seed=9)
    cells = [tuple(map(int, l.split(",")[:2])) for l in cli("transect", path, "--walk", 15, "--seed", 9).splitlines()[1:]]
    assert cells == list(zip(walk["x"], walk["y"]))
