#!/usr/bin/env bash
# A throwaway PostgreSQL server for tests, on a free loopback port.
#   pg-test-server.sh start STATE_DIR   starts it; writes STATE_DIR/url
#   pg-test-server.sh stop STATE_DIR    stops it (by the PID in its pid file) and removes it
# Without PostgreSQL installed, start writes STATE_DIR/missing instead of a URL,
# so that the tests can say they were skipped and why.
set -euo pipefail

cmd=${1:-}; state=${2:-}
[ -n "$cmd" ] && [ -n "$state" ] || { echo "usage: $0 start|stop STATE_DIR" >&2; exit 2; }

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
  mkdir -p "$state"
  rm -f "$state/url" "$state/missing"
  if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
    echo "PostgreSQL is not installed (scripts/install-deps.sh installs it)" > "$state/missing"
    echo "pg-test-server: PostgreSQL not installed; its tests will be skipped" >&2
    exit 0
  fi
  # The cluster lives outside the build tree, where the postgres user may not reach.
  data=$(mktemp -d /tmp/talmer-pg-XXXXXX)
  echo "$data" > "$state/datadir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$data"
  as_owner "$bindir/initdb" -D "$data/db" -U postgres --auth=trust --no-sync -E UTF8 --locale=C.UTF-8 >"$state/initdb.log" 2>&1
  port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  as_owner "$bindir/pg_ctl" -D "$data/db" -w -l "$data/server.log" \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $data -c fsync=off -c max_connections=200" start >/dev/null
  echo "postgresql://postgres@127.0.0.1:$port/postgres" > "$state/url"
  echo "pg-test-server: started on port $port"
  ;;
stop)
  [ -f "$state/datadir" ] || exit 0
  data=$(cat "$state/datadir")
  if [ -f "$data/db/postmaster.pid" ]; then
    pid=$(head -n 1 "$data/db/postmaster.pid")
    kill -QUIT "$pid" 2>/dev/null || true   # immediate shutdown
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$data" "$state/url" "$state/datadir"
  echo "pg-test-server: stopped"
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
