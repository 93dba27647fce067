#!/usr/bin/env bash
# The request count of bench/windowbench.sh on a small server trace whose requests were counted
# by hand: of the marking thread's lines between the marks, the requests with arguments and
# without ("name( )") count; replies ("name() = ..."), failed ones included, another thread's
# requests, debug messages and file-descriptor lines do not. A trace without the marks is an
# error, not a count of 0.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
failed=0
count=$("$here/windowbench.sh" --count "$here/testdata/server-trace.txt")
if [ "$count" != 3 ]; then
  echo "requests between the marks: got '$count', want 3" >&2
  failed=1
fi
unmarked=$(mktemp)
grep -v windowbench-trace-end "$here/testdata/server-trace.txt" > "$unmarked"
if "$here/windowbench.sh" --count "$unmarked" >/dev/null; then
  echo "a trace without its end mark was counted" >&2
  failed=1
fi
rm -f "$unmarked"
exit $failed
