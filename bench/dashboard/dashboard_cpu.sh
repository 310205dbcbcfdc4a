#!/usr/bin/env bash
# What the Dashboard costs while the demo runs: its CPU time over a while, in per cent of one
# core, first with nobody looking, then with the page open in a browser (headless Chromium,
# which renews it once a second). Goal: at most 5 % of one core with the page open.
#
#   bench/dashboard/dashboard_cpu.sh [--seconds S] [--build DIR]
#
# Runs scripts/demo --dashboard --no-build (the demo's own programs in DIR/bin) and samples
# the Dashboard's /proc/PID/stat (user + system time) while the scenario runs.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
seconds=60
build="$repo/build"
while (($#)); do
  case $1 in
    --seconds) seconds=$2; shift ;;
    --build) build=$2; shift ;;
    *) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
  shift
done
command -v chromium >/dev/null || { echo "needs chromium (apt-get install chromium)" >&2; exit 2; }

out=$(mktemp -d "${TMPDIR:-/tmp}/dashboard-bench-XXXXXX")
demo_pid="" browser_pid=""
finish() {
  [[ -n $browser_pid ]] && kill "$browser_pid" 2>/dev/null && wait "$browser_pid" 2>/dev/null
  [[ -n $demo_pid ]] && kill -TERM "$demo_pid" 2>/dev/null && wait "$demo_pid" 2>/dev/null
  rm -rf "$out"
}
trap finish EXIT

DEMO_BIN=$build/bin "$repo/scripts/demo" --dashboard --no-build --out "$out/demo" \
  >"$out/demo.log" 2>&1 &
demo_pid=$!

deadline=$((SECONDS + 120))
until url=$(grep -o 'http://127\.0\.0\.1:[0-9]*/' "$out/demo.log" | head -n 1) && [[ -n $url ]]; do
  ((SECONDS < deadline)) && kill -0 "$demo_pid" 2>/dev/null ||
    { echo "the demo's dashboard did not come up; see:" >&2; cat "$out/demo.log" >&2; exit 1; }
  sleep 0.5
done
pid=$(grep -rho 'started Dashboard (pid [0-9]*' "$out/demo" | grep -o '[0-9]*$' | head -n 1)
[[ -n $pid ]] || { echo "no Dashboard process found" >&2; exit 1; }

# cpu_share SECONDS: the Dashboard's CPU time over that many seconds, in % of one core.
cpu_share() {
  local before after hz
  hz=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$1"
  after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  awk -v ticks=$((after - before)) -v hz="$hz" -v s="$1" 'BEGIN {printf "%.2f", 100 * ticks / hz / s}'
}

echo "Dashboard pid $pid at $url, demo running"
echo "nobody looking:       $(cpu_share "$seconds") % of one core over ${seconds}s"
chromium --headless --no-sandbox --disable-gpu --no-first-run \
  --user-data-dir="$out/browser" "$url" >/dev/null 2>&1 &
browser_pid=$!
sleep 3
echo "page open in browser: $(cpu_share "$seconds") % of one core over ${seconds}s"
