#!/bin/sh
# The Wine session of a test run, in the prefix $WINEPREFIX:
#   wine_session.sh start WINE   creates the prefix on its first use (several
#                                seconds) and leaves a wineserver running with
#                                Wine's own services, so that each test program
#                                then starts in a fraction of a second;
#   wine_session.sh stop WINE    ends that session.
# The server gives up by itself a minute after its last program, should the
# stop never come.  Wine's services hold on to the output they were started
# with, so the start sends all of it to a log of the prefix: a test runner
# waiting for the end of that output would otherwise wait for the session.
set -eu
action=$1
wine=$2
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=wineserver
case "$action" in
  start)
    mkdir -p "$WINEPREFIX"
    "$server" -p60 </dev/null >/dev/null 2>&1
    if ! "$wine" wineboot --init </dev/null >"$WINEPREFIX/session.log" 2>&1; then
      cat "$WINEPREFIX/session.log" >&2
      exit 1
    fi
    ;;
  stop)
    "$server" -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|stop WINE" >&2
    exit 2
    ;;
esac
