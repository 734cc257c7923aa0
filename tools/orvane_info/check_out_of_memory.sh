#!/bin/sh
# orvane-info under ever larger limits on its address space, building a static
# instance of FONT: wherever memory runs out it says so and exits with 1, never
# aborts. Some limit on the way must be too small for the build and large
# enough for the start.
# Usage: check_out_of_memory.sh TOOL FONT SCRATCH
tool=$1 font=$2 scratch=$3
mkdir -p "$scratch"
said=0
# The smallest limit the tool starts under (a usage error, exit 2): below it the
# system's loader fails before any code of ours runs.
limit=1000
while [ $limit -le 24000 ]; do
  (ulimit -v $limit; exec "$tool") >/dev/null 2>&1
  [ $? = 2 ] && break
  limit=$((limit + 250))
done
while [ $limit -le 24000 ]; do
  (ulimit -v $limit; exec "$tool" --instance "$font" "$scratch/instance.ttf" wght=900) \
    2>"$scratch/stderr" >/dev/null
  code=$?
  case $code in
    0|2) ;;  # built, or the file could not even be mapped
    1) grep -q "not enough memory" "$scratch/stderr" && said=1 ;;
    *) echo "limit ${limit} KB: exit code $code"; cat "$scratch/stderr"; exit 1 ;;
  esac
  limit=$((limit + 250))
done
[ $said = 1 ] || { echo "no limit ran the tool out of memory"; exit 1; }
echo "memory ran out at some limit, and the tool said so and exited with 1"
