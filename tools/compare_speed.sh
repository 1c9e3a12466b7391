#!/bin/sh
# Compares the speed of two builds side by side: runs `orvalis-tool bench` of
# this build and of another build alternately, several rounds, and prints the
# ratio of their speeds (median nodes per second, and total time).
#   tools/compare_speed.sh OTHER_ORVALIS_TOOL [ROUNDS] [DEPTH]
# This build's tool comes from $BUILD (default: build beside this script's
# folder). ROUNDS defaults to 5, DEPTH to the bench's own default depth.
# Alternating the two within each round spreads the noise of a shared machine
# over both alike; the node totals must agree, or the builds search differently.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD:-$here/build}" && pwd)
ours="$build/orvalis-tool"
if [ $# -lt 1 ]; then
  echo "usage: tools/compare_speed.sh OTHER_ORVALIS_TOOL [ROUNDS] [DEPTH]" >&2
  exit 2
fi
other=$1
rounds=${2:-5}
depth=${3:-}
for f in "$ours" "$other"; do
  if [ ! -x "$f" ]; then
    echo "compare_speed: $f is missing or not executable" >&2
    exit 2
  fi
done

# Prints "nodes nps ms" of one bench run.
bench() {
  # shellcheck disable=SC2086  # depth is empty or one number
  "$1" bench $depth | awk '$1 == "bench" && $2 == "nodes" { print $3, $5, $7 }'
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
i=1
while [ "$i" -le "$rounds" ]; do
  # Swap the order every round so neither build always runs first.
  if [ $((i % 2)) -eq 1 ]; then order="ours other"; else order="other ours"; fi
  for who in $order; do
    if [ "$who" = ours ]; then tool=$ours; else tool=$other; fi
    line=$(bench "$tool")
    if [ -z "$line" ]; then
      echo "compare_speed: $tool printed no bench line" >&2
      exit 1
    fi
    echo "$who $line" >> "$results"
    echo "round $i $who: nodes ${line% * *} nps $(echo "$line" | cut -d' ' -f2) ms ${line##* }"
  done
  i=$((i + 1))
done

awk '
  { nodes[$1] = $2; n[$1]++; nps[$1, n[$1]] = $3; ms[$1] += $4 }
  function median(who,   k, j, t, a, c) {
    c = n[who]
    for (k = 1; k <= c; k++) a[k] = nps[who, k]
    for (k = 2; k <= c; k++) { t = a[k]; for (j = k - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
    return c % 2 ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2
  }
  END {
    if (nodes["ours"] != nodes["other"])
      printf "warning: node totals differ (this build %s, other %s)\n", nodes["ours"], nodes["other"]
    mo = median("ours"); mt = median("other")
    printf "median nps: this build %d, other %d\n", mo, mt
    printf "speed ratio (this / other): %.3f by median nps, %.3f by total time\n", mo / mt, ms["other"] / ms["ours"]
  }' "$results"
