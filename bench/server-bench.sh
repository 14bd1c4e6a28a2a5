#!/bin/sh
# Load figures of ssc-server, run by hand (never by ctest):
#   1. full newestdraw calls per second, 200 clients, closed loop;
#   2. latency at an offered load of 1,000 newestdraw calls per second;
#   3. the latest-period GET under wrk, beside nginx serving the same text as a file;
#   4. resident memory before and after a soak (SOAK_SECONDS, default 600) at 1,000 calls/s.
# Usage: bench/server-bench.sh [BUILD_DIR]   (BUILD_DIR holds appserver/ and bench/loadgen/)
# Everything listens on 127.0.0.1 only and is stopped when the script ends.
set -eu

build=${1:-build}
server=$build/appserver/ssc-server
loadgen=$build/bench/loadgen/ssc-loadgen
seconds=${BENCH_SECONDS:-10}
soak=${SOAK_SECONDS:-600}
for program in "$server" "$loadgen"; do
    [ -x "$program" ] || { echo "missing $program (build ssc-server and ssc-loadgen)" >&2; exit 1; }
done

work=$(mktemp -d)
server_pid=
nginx_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

rss() { awk '/^VmRSS/ {print $2 " kB"}' "/proc/$1/status"; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# A demonstration store whose latest period stays put during the run. The per-request log
# goes to a file, as it would in service.
"$server" serve --db "$work/draws.sqlite" --listen 127.0.0.1:0 --simulate-every 86400 \
    >"$work/listening" 2>"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do grep -q listening "$work/listening" && break; sleep 0.05; done
url=$(sed -n 's/^listening on //p' "$work/listening")
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "ssc-server at $url, resident memory at start: $(rss $server_pid)"

echo "== 1. closed loop, 200 clients, full newestdraw calls"
"$loadgen" --url "$url" --clients 200 --duration "$seconds"
echo "== 2. open loop, 1000 newestdraw calls/s offered"
"$loadgen" --url "$url" --clients 50 --duration "$seconds" --rate 1000

echo "== 3. latest-period GET under wrk (2 threads, 50 connections), then nginx with the same text"
wrk -t2 -c50 -d"${seconds}s" "$url/newphase"
port=$(free_port)
mkdir -p "$work/www"
curl -s "$url/newphase" >"$work/www/newphase"
# nginx's workers run as an unprivileged user: they must be able to read the file.
chmod 755 "$work" "$work/www"
chmod 644 "$work/www/newphase"
cat >"$work/nginx.conf" <<CONF
daemon off;
worker_processes 2;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 1024; }
http {
    access_log off;
    client_body_temp_path $work/tmp;
    server {
        listen 127.0.0.1:$port;
        location = /newphase { root $work/www; default_type text/plain; }
    }
}
CONF
nginx -c "$work/nginx.conf" -p "$work" &
nginx_pid=$!
for _ in $(seq 100); do curl -s "http://127.0.0.1:$port/newphase" >/dev/null && break; sleep 0.05; done
[ "$(curl -s "http://127.0.0.1:$port/newphase")" = "$(cat "$work/www/newphase")" ] ||
    { echo "nginx does not serve the text" >&2; exit 1; }
wrk -t2 -c50 -d"${seconds}s" "http://127.0.0.1:$port/newphase"
kill "$nginx_pid"; wait "$nginx_pid" 2>/dev/null || true; nginx_pid=

echo "== 4. soak: ${soak}s at 1000 newestdraw calls/s"
echo "resident memory before the soak: $(rss $server_pid)"
"$loadgen" --url "$url" --clients 50 --duration "$soak" --rate 1000 &
soak_pid=$!
elapsed=0
while [ "$elapsed" -lt "$soak" ]; do
    sleep 60; elapsed=$((elapsed + 60))
    echo "after ${elapsed}s: $(rss $server_pid)"
done
wait "$soak_pid"
echo "resident memory after the soak: $(rss $server_pid)"
