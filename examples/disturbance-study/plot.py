"""The figures of the disturbance study with pandas and matplotlib, from what run.sh writes:
    python3 plot.py [OUT]
OUT/diversity_pandas.png: Shannon diversity over time per regime, the mean of the replicates
and the range they span. OUT/patches_pandas.png: the sizes of the patches where each run's
most abundant species dominates at the end, per regime, as the share of patches at least that large."""
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
import pandas as pd

out = sys.argv[1] if len(sys.argv) > 1 else "results"
t = pd.read_csv(os.path.join(out, "table.csv"))
regimes = list(dict.fromkeys(t.scenario))
colours = dict(zip(regimes, ["#1B9E77", "#D95F02", "#7570B3"]))

fig, ax = plt.subplots(figsize=(9, 6))
for regime in regimes:
    s = t[t.scenario == regime].groupby("step").diversity.agg(["mean", "min", "max"])
    ax.fill_between(s.index, s["min"], s["max"], color=colours[regime], alpha=0.25, linewidth=0)
    ax.plot(s.index, s["mean"], color=colours[regime], linewidth=2, label=f"{regime} (mean, range of the replicates)")
ax.set(xlabel="time step", ylabel="Shannon diversity", title="Diversity under three disturbance regimes")
ax.set_ylim(bottom=0)
ax.legend(loc="lower right", frameon=False)
fig.savefig(os.path.join(out, "diversity_pandas.png"), dpi=110)

# Patch sizes: cells per label in each run's label matrix (0 is no patch).
fig, ax = plt.subplots(figsize=(9, 6))
runs = t.drop_duplicates("run")[["run", "scenario"]]
drawn = False
for regime in regimes:
    sizes = []
    for run in runs[runs.scenario == regime].run:
        labels = np.loadtxt(os.path.join(out, "labels", f"run_{run:05d}.txt"), dtype=int, ndmin=2)
        sizes += list(pd.Series(labels[labels > 0]).value_counts())
    if sizes:
        sizes = np.sort(sizes)
        ax.step(sizes, np.arange(len(sizes), 0, -1) / len(sizes), where="post", color=colours[regime], linewidth=2, label=regime)
        drawn = True
if drawn:
    ax.set(xscale="log", yscale="log", xlabel="patch size [cells]", ylabel="share of patches at least this large")
    ax.legend(loc="lower left", frameon=False)
ax.set_title("Patches where each run's most abundant species dominates, at the end" if drawn else "no patches where the most abundant species dominates")
fig.savefig(os.path.join(out, "patches_pandas.png"), dpi=110)
