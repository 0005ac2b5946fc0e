#!/bin/sh
# A throwaway PostgreSQL cluster for the tests and benchmarks.
#   scripts/pg-cluster.sh start DIR   creates the cluster in the empty folder DIR,
#                                     starts it on a free loopback port and prints
#                                     its URL (postgresql://tl@127.0.0.1:PORT/postgres)
#   scripts/pg-cluster.sh stop DIR    stops it (the caller removes DIR)
# The server refuses to run as root: when root calls, the cluster belongs to
# the postgres user. Durability is off: the data is thrown away afterwards.
set -e
PGBIN=/usr/lib/postgresql/15/bin
cmd=$1
dir=$2
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$cmd" in
start)
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
  as_owner "$PGBIN/initdb" -N -A trust -U tl --locale=C.UTF-8 -E UTF8 -D "$dir/data" >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  tries=0
  while :; do
    port=$(( 20000 + $(od -An -N2 -tu2 /dev/urandom | tr -d ' ') % 20000 ))
    if as_owner "$PGBIN/pg_ctl" -w -D "$dir/data" -l "$dir/server.log" start -o \
      "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
      >/dev/null 2>&1; then
      break
    fi
    tries=$((tries + 1))
    [ $tries -lt 10 ] || { cat "$dir/server.log" >&2; exit 1; }
  done
  echo "postgresql://tl@127.0.0.1:$port/postgres"
  ;;
stop)
  as_owner "$PGBIN/pg_ctl" -D "$dir/data" stop -m fast >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
