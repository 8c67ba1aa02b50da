#!/bin/bash
# Share of a time step's instructions spent in the random stream and its math (libm log,
# sin/cos, sqrt, exp), from a callgrind profile of the step alone:
#   valgrind --tool=callgrind --callgrind-out-file=step.cg "--toggle-collect=marovi::SimulationStep(*" \
#            build/bench/step_bench --steps=3
#   bench/instruction_share.sh step.cg
callgrind_annotate --threshold=100 "$1" 2>/dev/null | awk '
/PROGRAM TOTALS/ { v=$1; gsub(",","",v); total=v }
/file:function/ { body=1; getline; next }
body && /^[[:space:]]*$/ { body=0; done=1 }
body && !done && $1 ~ /^[0-9,]+$/ {
  v=$1; gsub(",","",v); line=$0
  if (line ~ /model\/random\.(h|cpp):/) rnd+=v
  else if (line ~ /(e_log|w_log|s_sin|s_cos|sincos|e_exp|w_exp|sqrt|math_config|fenv_private)/) math+=v
  else if (line ~ /(KernelDraw|model\/kernel\.h:)/) kern+=v
  else { other+=v; print line > "/dev/stderr" }
}
END {
  printf "total Ir            %d\n", total
  printf "random stream       %5.1f%%\n", 100*rnd/total
  printf "libm math           %5.1f%%\n", 100*math/total
  printf "kernel draw body    %5.1f%%\n", 100*kern/total
  printf "other               %5.1f%%\n", 100*other/total
  printf "random+math         %5.1f%%\n", 100*(rnd+math)/total
  printf "random+math+kernel  %5.1f%%\n", 100*(rnd+math+kern)/total
}'
