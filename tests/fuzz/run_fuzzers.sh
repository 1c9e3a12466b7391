#!/bin/sh
# Runs every fuzz target of a build directory for the given number of seconds,
# one after the other, each on a scratch copy of its committed seed corpus (so
# the seeds do not grow). A crash, leak or timeout fails the run; its input is
# kept in <build>/fuzz-artifacts/<target>/.
# Usage: run_fuzzers.sh BUILD_DIR SECONDS [TARGET...]
set -u
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
targets=$*
[ -n "$targets" ] || targets=$(cd "$build" && ls *_fuzz 2>/dev/null | sed 's/_fuzz$//')
[ -n "$targets" ] || { echo "fuzz: no targets in $build"; exit 1; }
failed=""
for t in $targets; do
  scratch=$(mktemp -d)
  mkdir -p "$scratch/corpus" "$build/fuzz-artifacts/$t"
  [ -d "$here/corpus/$t" ] && cp "$here/corpus/$t"/* "$scratch/corpus/" 2>/dev/null
  dict=""
  [ -f "$here/$t.dict" ] && dict="-dict=$here/$t.dict"
  echo "fuzz: $t for $seconds s"
  # Run in the scratch directory: nothing the engine looks for (a book) is there.
  if (cd "$scratch" && "$build/${t}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t/" $dict corpus \
        >"$scratch/log" 2>&1); then
    grep -E "stat::number_of_executed_units|stat::new_units_added" "$scratch/log" | sed "s/^/fuzz: $t /"
  else
    tail -n 60 "$scratch/log"
    echo "fuzz: $t FAILED; the input is in $build/fuzz-artifacts/$t/"
    failed="$failed $t"
  fi
  rm -rf "$scratch"
done
[ -z "$failed" ] || { echo "fuzz: failed:$failed"; exit 1; }
echo "fuzz: every target ran clean"
