#!/bin/sh
# Plays the engine against itself with orvalis-match.
#   tools/selfplay.sh [GAMES] [TIME CONTROL] [PROTOCOL] [more orvalis-match options]
# Time control: [MOVES/]SECONDS[+INCREMENT], e.g. 40/60, 60+1, 10+0.1 (UCI only for fractions).
# The binaries come from $BUILD (default: build beside this script's folder).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD:-$here/build}" && pwd)
games=${1:-20}
control=${2:-40/30}
protocol=${3:-xboard}
[ $# -gt 3 ] && shift 3 || set --
for f in "$build/orvalis" "$build/orvalis-match"; do
  if [ ! -x "$f" ]; then
    echo "selfplay: $f is missing; build first (make build, or set BUILD)" >&2
    exit 2
  fi
done
cd "$build"
exec ./orvalis-match "$build/orvalis" "$games" "$protocol" "$control" "$@"
