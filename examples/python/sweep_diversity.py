"""Diversity against a parameter: a small sweep run from Python and plotted with matplotlib.

Species 1 releases 4 to 11 larvae per step and individual (eight values; the others keep
6.7); each value runs with three seeds on the 40 x 40 start-up state for 150 steps. The plot shows the Shannon diversity at the end
of every run and the mean per value.

    PYTHONPATH=build/src/python python3 examples/python/sweep_diversity.py [diversity.png]

Needs matplotlib (Debian: python3-matplotlib). The table is the one
`marovi-cli sweep` writes for the same plan.
"""
import sys

import matplotlib

matplotlib.use("Agg")  # a file, no window
import matplotlib.pyplot as plt
import numpy as np

import marovi

PARAMETER = "species1.Fecundity"
plan = {
    "grid": "40x40",
    "steps": 150,
    "every": 150,  # rows at step 0 and at the end
    "seeds": [1, 2, 3],
    "diversity": "shannon",
    "vary": {"species": {1: {"Fecundity": {"from": 4, "to": 11, "step": 1}}}},
}

table = marovi.sweep(plan, jobs=None, quiet=False)  # a pandas DataFrame, or a dict without pandas
columns = {name: np.asarray(table[name]) for name in table}
# The last row of each run (a run ends early once the diversity falls to 0).
end = np.append(columns["run"][1:] != columns["run"][:-1], True)
x, y = columns[PARAMETER][end], columns["diversity"][end]
values = np.unique(x)
means = [y[x == v].mean() for v in values]
for v, mean in zip(values, means):
    print(f"{PARAMETER} = {v:4.1f}: mean diversity {mean:.4f} over {np.sum(x == v)} seeds")

fig, ax = plt.subplots(figsize=(6, 4))
ax.scatter(x, y, s=14, color="grey", label="one run")
ax.plot(values, means, marker="o", color="black", label="mean of the seeds")
ax.set_xlabel("fecundity of species 1 (larvae per individual and step)")
ax.set_ylabel("Shannon diversity at the end")
ax.legend()
fig.tight_layout()
out = sys.argv[1] if len(sys.argv) > 1 else "diversity.png"
fig.savefig(out, dpi=120)
print("plot:", out)
