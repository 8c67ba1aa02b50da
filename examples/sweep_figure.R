# The diversity of the runs of examples/sweep.toml over time, the mean over the seeds: the
# colour tells the fecundity of species 1, the line type the dispersal kernel.
#   Rscript sweep_figure.R sweep.csv sweep-r.png
args <- commandArgs(trailingOnly = TRUE)
t <- read.csv(args[1])
m <- aggregate(diversity ~ step + DispersalKernel + species1.Fecundity, data = t, FUN = mean)
kernels <- unique(m$DispersalKernel)
fecundities <- unique(m$species1.Fecundity)

png(args[2], width = 640, height = 400, type = "cairo")
plot(NA, xlim = range(m$step), ylim = c(0, max(m$diversity)),
     xlab = "time step", ylab = "Shannon diversity (mean of the seeds)")
for (k in seq_along(kernels)) for (f in seq_along(fecundities)) {
  line <- m[m$DispersalKernel == kernels[k] & m$species1.Fecundity == fecundities[f], ]
  lines(line$step, line$diversity, col = f, lty = k, lwd = 2)
}
legend("right", lwd = 2, col = c(seq_along(fecundities), rep(1, length(kernels))),
       lty = c(rep(1, length(fecundities)), seq_along(kernels)),
       legend = c(paste("fecundity of species 1:", fecundities), paste(kernels, "kernel")))
invisible(dev.off())
