#!/usr/bin/env bash
# Runs windowbench pinned to one core, with the window-server requests of each piece of work
# counted first from Wine's server trace:
#
#   bench/windowbench.sh [--arch win64|win32] [ROUNDS]     the whole bench (default win64)
#   bench/windowbench.sh --count TRACE [--by-name]          the requests between the marks of a
#                                                           trace (by request name, most first)
#
# Each piece of work (one start-up, the first one of a process, one full repaint, one skin
# switch, skinned and unskinned, and 1,000 round-trip calls) runs alone in a process of its own (windowbench --trace-run) under
# WINEDEBUG=+server, in a private copy of the Wine prefix, so that the wineserver, which writes
# the trace, serves that process alone. The trace has one line per request and one per reply;
# the program marks the work by creating the named events "windowbench-trace-begin" and
# "windowbench-trace-end", and the requests of the marking thread between them are counted.
# The counts go to the timed run (windowbench --requests), which prints them beside the times.
# Pinned to one core: a server round trip costs many times more when the server wakes on the
# other core from idle.
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Requests made by the marking thread between the two marks of a trace on stdin. A request line
# is "TTTT: name( arguments )" or "TTTT: name()", its reply "TTTT: name() = STATUS ...".
count_requests() {
  awk -v by_name="${1:-}" '
    !thread && /create_event\(.*windowbench-trace-begin/ { thread = $1; next }
    thread && $1 == thread && /create_event\(.*windowbench-trace-end/ { found = 1; exit }
    thread && $1 == thread && /^[0-9a-f]+: [a-z_0-9]+\(/ && !/^[0-9a-f]+: [a-z_0-9]+\(\) = / {
      ++count
      name = $2
      sub(/\(.*/, "", name)
      ++named[name]
    }
    END {
      if (!found) exit 1
      if (by_name == "") { print count; exit }
      for (name in named) printf "%7d %s\n", named[name], name | "sort -rn"
    }'
}

if [ "${1:-}" = --count ]; then
  if [ $# -lt 2 ] || [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$3" != --by-name ]; }; then
    echo "usage: bench/windowbench.sh --count TRACE [--by-name]" >&2
    exit 2
  fi
  count_requests "${3:-}" < "$2"
  exit
fi

arch=win64
if [ "${1:-}" = --arch ]; then
  arch=${2:-}
  shift 2
fi
case "$arch" in win64|win32) ;; *) echo "usage: bench/windowbench.sh [--arch win64|win32] [ROUNDS]" >&2; exit 2 ;; esac
program=$top/build/$arch/bench/windowbench.exe
[ -f "$program" ] || { echo "windowbench.sh: no $program: build the windowbench target of $arch first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$top/tools/wine-run" --arch "$arch" --clone "$work/prefix" >/dev/null || exit 1

requests=
for run in startup:skinned startup:unskinned launch:skinned launch:unskinned repaint:skinned repaint:unskinned switch:skinned roundtrip:skinned; do
  kind=${run%%:*} look=${run#*:}
  flags=()
  [ "$look" = unskinned ] && flags=(--unskinned)
  trace=$work/$kind-$look.trace
  DS_WINE_ROOT=$work/prefix WINEDEBUG=+server taskset -c 0 "$top/tools/wine-run" "$program" --trace-run "$kind" \
    "${flags[@]}" 2>"$trace" >/dev/null
  if ! count=$(count_requests < "$trace"); then
    echo "windowbench.sh: no marks in the trace of $kind ($look)" >&2
    exit 1
  fi
  [ "$kind" = roundtrip ] && name=roundtrip || name=$kind-$look
  requests+=${requests:+,}$name=$count
  rm -f "$trace"
done
echo "server requests: $requests"
taskset -c 0 "$top/tools/wine-run" "$program" "$@" --requests "$requests"
