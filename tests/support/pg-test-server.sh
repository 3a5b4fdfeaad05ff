#!/usr/bin/env bash
# A private PostgreSQL server for the tests: initdb in a temporary folder, pg_ctl on a free
# loopback port, trust authentication (it listens on 127.0.0.1 only and lives for one test run).
#   pg-test-server.sh start ENVFILE   writes PCR_TEST_PG_HOST/PORT/USER/DIR to ENVFILE
#   pg-test-server.sh stop ENVFILE    stops the server and removes its folder
# The data is thrown away: the server is stopped at once (immediate), without a checkpoint.
# Without the server binaries ENVFILE says PCR_TEST_PG_MISSING=1 and the tests skip themselves.
# As root the server runs as the unprivileged user "nobody" (PostgreSQL refuses to run as root).
set -euo pipefail

action=${1:?start or stop}
envfile=${2:?env file}

bindir=""
for d in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
  if [[ -x $d/initdb && -x $d/pg_ctl ]]; then bindir=$d; break; fi
done

as_owner() {
  if [[ $(id -u) -eq 0 ]]; then runuser -u nobody -- "$@"; else "$@"; fi
}

case $action in
start)
  if [[ -z $bindir ]]; then
    echo "PCR_TEST_PG_MISSING=1" > "$envfile"
    echo "pg-test-server: no PostgreSQL server binaries (install postgresql); server tests will skip"
    exit 0
  fi
  dir=$(mktemp -d /tmp/pcr-pgtest.XXXXXX)
  chmod 755 "$dir"
  owner=$(id -un)
  if [[ $(id -u) -eq 0 ]]; then owner=nobody; chown nobody "$dir"; fi
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  as_owner "$bindir/initdb" -D "$dir/data" -U "$owner" --auth=trust --no-sync -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log"; exit 1; }
  # Durability is not what the tests look at: no fsync keeps the suite quick. Benchmarks ask for a
  # server as delivered (PCR_PG_DURABLE=1).
  quick="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  [[ ${PCR_PG_DURABLE:-0} == 1 ]] && quick=""
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $port -k $dir -c listen_addresses=127.0.0.1 $quick -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log"; exit 1; }
  {
    echo "PCR_TEST_PG_HOST=127.0.0.1"
    echo "PCR_TEST_PG_PORT=$port"
    echo "PCR_TEST_PG_USER=$owner"
    echo "PCR_TEST_PG_DIR=$dir"
    echo "PCR_TEST_PG_BIN=$bindir"
  } > "$envfile"
  echo "pg-test-server: PostgreSQL $("$bindir/postgres" --version | awk '{print $3}') on 127.0.0.1:$port ($dir)"
  ;;
stop)
  [[ -f $envfile ]] || exit 0
  dir=$(sed -n 's/^PCR_TEST_PG_DIR=//p' "$envfile")
  if [[ -n $dir && -d $dir/data && -n $bindir ]]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
  fi
  [[ -n $dir && $dir == /tmp/pcr-pgtest.* ]] && rm -rf "$dir"
  rm -f "$envfile"
  ;;
*)
  echo "usage: $0 start|stop ENVFILE" >&2; exit 2 ;;
esac
