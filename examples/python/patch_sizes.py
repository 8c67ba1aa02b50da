"""Patch sizes of two species on a saved simulation.

Labels the patches (clusters of cells holding a species) of the two most abundant species
with the Hoshen-Kopelman labelling that `marovi-cli clusters` uses, joining patches across
the edges of a wrap-around grid so that each counts once, and compares their size
distributions: a summary per species, and a plot of both label maps and of the share of
patches at least as large as each size.

    PYTHONPATH=build/src/python python3 examples/python/patch_sizes.py [run.mgf] [patches.png]

Without a grid file it first runs the start-up state of seed 3 on 60 x 60 cells for 300
steps and saves it as run.mgf. Needs matplotlib (Debian: python3-matplotlib).
"""
import os
import sys

import matplotlib

matplotlib.use("Agg")  # a file, no window
import matplotlib.pyplot as plt
import numpy as np

import marovi

path = sys.argv[1] if len(sys.argv) > 1 else "run.mgf"
if os.path.exists(path):
    sim = marovi.load(path)
else:
    sim = marovi.Simulation(seed=3, grid=(60, 60))
    sim.step(300)
    sim.save(path)
print(sim)

totals = sim.abundance().sum(axis=(1, 2))
pair = [int(k) + 1 for k in np.argsort(totals)[::-1][:2]]  # species numbers, from 1
fig, axes = plt.subplots(1, 3, figsize=(13, 4))
for ax, number in zip(axes, pair):
    res = marovi.clusters(sim, mode="species", species=number, periodic=sim["Torus"])
    sizes = np.sort(np.asarray(res.clusters["cells"]))[::-1]
    name = sim.species_names[number - 1]
    print(f"{name}: {totals[number - 1]} individuals, {res.count} patches, size mean {sizes.mean():.1f}, "
          f"median {np.median(sizes):.0f}, largest {sizes.max()} cells")
    ax.imshow(res.labels > 0, origin="lower", cmap="Greys", interpolation="nearest")
    ax.set_title(f"{name}: {res.count} patches")
    axes[2].step(sizes, np.arange(1, len(sizes) + 1) / len(sizes), where="post", label=name)
axes[2].set_xscale("log")
axes[2].set_yscale("log")
axes[2].set_xlabel("patch size (cells)")
axes[2].set_ylabel("share of patches at least this large")
axes[2].legend()
fig.tight_layout()
out = sys.argv[2] if len(sys.argv) > 2 else "patches.png"
fig.savefig(out, dpi=110)
print("plot:", out)
