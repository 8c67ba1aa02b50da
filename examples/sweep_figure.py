# The diversity of the runs of examples/sweep.toml over time, the mean over the seeds: the
# colour tells the fecundity of species 1, the line type the dispersal kernel.
#   python3 sweep_figure.py sweep.csv sweep-pandas.png
import sys

import matplotlib
import pandas as pd

matplotlib.use("Agg")  # draws into a file, no window needed
t = pd.read_csv(sys.argv[1])
m = t.groupby(["species1.Fecundity", "DispersalKernel", "step"]).diversity.mean()
ax = None
for (fecundity, kernel), line in m.groupby(level=[0, 1]):
    ax = line.droplevel([0, 1]).plot(
        ax=ax, figsize=(6.4, 4), linewidth=2,
        color="C0" if fecundity == t["species1.Fecundity"].min() else "C3",
        linestyle="-" if kernel == "exponential" else "--",
        label=f"fecundity {fecundity:g}, {kernel} kernel")
ax.set_xlabel("time step")
ax.set_ylabel("Shannon diversity (mean of the seeds)")
ax.legend()
ax.figure.savefig(sys.argv[2], dpi=100)
