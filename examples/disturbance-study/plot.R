# The figures of the disturbance study, from what run.sh writes:
#   Rscript plot.R [OUT]
# OUT/diversity_R.png: Shannon diversity over time per regime, the mean of the replicates and
# the range they span. OUT/patches_R.png: the sizes of the patches where each run's
# most abundant species dominates at the end, per regime, as the share of patches at least that large.
args <- commandArgs(trailingOnly = TRUE)
out <- if (length(args) > 0) args[1] else "results"
t <- read.csv(file.path(out, "table.csv"))
regimes <- unique(t$scenario)
colours <- setNames(c("#1B9E77", "#D95F02", "#7570B3")[seq_along(regimes)], regimes)

png(file.path(out, "diversity_R.png"), width = 900, height = 600, res = 110)
stats <- aggregate(diversity ~ scenario + step, data = t,
                   FUN = function(d) c(mean = mean(d), min = min(d), max = max(d)))
plot(NA, xlim = range(t$step), ylim = c(0, max(t$diversity)), xlab = "time step",
     ylab = "Shannon diversity", main = "Diversity under three disturbance regimes")
for (r in regimes) {
  s <- stats[stats$scenario == r, ]
  s <- s[order(s$step), ]
  polygon(c(s$step, rev(s$step)), c(s$diversity[, "min"], rev(s$diversity[, "max"])),
          col = adjustcolor(colours[[r]], 0.25), border = NA)
  lines(s$step, s$diversity[, "mean"], col = colours[[r]], lwd = 2)
}
legend("bottomright", legend = paste(regimes, "(mean, range of the replicates)"), col = colours,
       lwd = 2, bty = "n")
invisible(dev.off())

# Patch sizes: cells per label in each run's label matrix (0 is no patch).
runs <- t[!duplicated(t$run), c("run", "scenario")]
sizes <- do.call(rbind, lapply(seq_len(nrow(runs)), function(k) {
  labels <- as.matrix(read.table(file.path(out, "labels", sprintf("run_%05d.txt", runs$run[k]))))
  n <- table(labels[labels > 0])
  if (length(n) == 0) return(NULL)
  data.frame(scenario = runs$scenario[k], size = as.vector(n))
}))
png(file.path(out, "patches_R.png"), width = 900, height = 600, res = 110)
if (is.null(sizes)) {
  plot.new()
  title("no patches where the most abundant species dominates")
} else {
  plot(NA, log = "xy", xlim = c(1, max(sizes$size)), ylim = c(1 / max(table(sizes$scenario)), 1),
       xlab = "patch size [cells]", ylab = "share of patches at least this large",
       main = "Patches where each run's most abundant species dominates, at the end", cex.main = 0.95)
  for (r in regimes) {
    s <- sort(sizes$size[sizes$scenario == r])
    if (length(s) > 0) lines(s, rev(seq_along(s)) / length(s), type = "s", col = colours[[r]], lwd = 2)
  }
  legend("bottomleft", legend = regimes, col = colours, lwd = 2, bty = "n")
}
invisible(dev.off())
