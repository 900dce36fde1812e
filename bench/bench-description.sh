#!/usr/bin/env bash
# bench-description.sh [native build dir] [rounds]
# How long the simulated client takes to read and check a network
# description of nearly the largest size it accepts (1 MiB), as it does at
# every start of the client: twice per poll.
set -euo pipefail
build="${1:-build/native}"
rounds="${2:-10}"
bench="$build/bench/simulated/description_bench"
if [ ! -x "$bench" ]; then
  echo "bench-description: $bench is missing; build the target description_bench in $build" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$bench" "$rounds" "$work/large.net"
