# Sourced by the comparison scripts in bench/.

# The wall time and the processor time (user + system) of a command, in seconds.
seconds() {
  local t0 t1 cpu
  TIMEFORMAT='%3U %3S'
  t0=$(date +%s.%N)
  cpu=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" -v c="$cpu" 'BEGIN { split(c, p, " "); print b - a, p[1] + p[2] }'
}
