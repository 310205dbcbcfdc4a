#!/usr/bin/env bash
# The port-data figures of a whole demo run: the rate rtctl hz sees for the planning image and
# the odometry while `scripts/demo --fast --keep-running` runs, the size of a recording of the
# demo (every out-port of the planner and the base, the coordinator's words and the planner's
# map replies), and the time a replay of that recording at --rate 10 takes, written into the
# in-ports of a PortEcho test component (tests/rtctl/port_echo.cpp).
#
#   bench/port_data/demo_figures.sh [OUT_DIR]
#
# Needs a built tree (scripts/setup, then cmake --build build --target port_echo).
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
bin=$repo/build/bin
out=${1:-$(mktemp -d /tmp/demo-figures-XXXXXX)}
mkdir -p "$out"
for program in rtctl port_echo; do
  [[ -x $bin/$program ]] || { echo "not built: $bin/$program" >&2; exit 2; }
done

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT

wait_for_line() {  # FILE TEXT TIMEOUT_S
  local deadline=$((SECONDS + $3))
  until grep -q -- "$2" "$1" 2>/dev/null; do
    ((SECONDS < deadline)) || { echo "no \"$2\" in $1 within $3 s" >&2; return 1; }
    sleep 0.2
  done
}

"$repo/scripts/demo" --fast --keep-running --no-build --out "$out/demo" >"$out/demo.log" 2>&1 &
demo=$!
pids+=("$demo")
wait_for_line "$out/demo.log" "omniNames on" 30 || exit 1
names=$(sed -n 's/.*omniNames on \([^ ]*\).*/\1/p' "$out/demo.log" | head -n 1)
wait_for_line "$out/demo.log" "components activated" 120 || exit 1

"$bin/rtctl" -n "$names" record "$out/demo.rec" BaseSim0:robot_pose BaseSim0:robot_velocity \
  Torvane0:robot_control Torvane0:planning_img Torvane0:message Palkett0:output \
  --service Torvane0:RelativeMapService >"$out/record.log" 2>&1 &
recorder=$!
"$bin/rtctl" -n "$names" hz Torvane0:planning_img >"$out/hz-planning_img.log" 2>&1 &
hz_image=$!
"$bin/rtctl" -n "$names" hz BaseSim0:robot_pose >"$out/hz-robot_pose.log" 2>&1 &
hz_pose=$!
pids+=("$recorder" "$hz_image" "$hz_pose")

wait_for_line "$out/demo.log" "the system keeps running" 900 || exit 1
kill -INT "$recorder" "$hz_image" "$hz_pose"
wait "$recorder" "$hz_image" "$hz_pose"
kill -TERM "$demo"
wait "$demo"
grep -q "every step succeeded" "$out/demo.log" || echo "the demo did not succeed: $out/demo.log"

# What hz showed a quarter and half way through the run (while driving) and at its end (the
# whole run, the station's pause included).
for port in planning_img robot_pose; do
  lines=$(grep -c '^rate' "$out/hz-$port.log")
  for at in $((lines / 4)) $((lines / 2)) "$lines"; do
    ((at > 0)) && echo "hz $port, line $at of $lines: $(grep '^rate' "$out/hz-$port.log" | sed -n "${at}p")"
  done
done
"$bin/rtctl" record --info "$out/demo.rec"

# Replay at --rate 10 into PortEcho, on a private name server.
port=$((20000 + RANDOM % 20000))
mkdir -p "$out/names"
omniNames -start "$port" -datadir "$out/names" -logdir "$out/names" >"$out/names.log" 2>&1 &
pids+=("$!")
printf 'corba.nameservers: 127.0.0.1:%s\ncorba.endpoints: 127.0.0.1:\nexec_cxt.periodic.rate: 100\nlogger.file_name: STDOUT\n' \
  "$port" >"$out/rtc.conf"
"$bin/port_echo" -f "$out/rtc.conf" >"$out/port_echo.log" 2>&1 &
pids+=("$!")
wait_for_line "$out/port_echo.log" "PortEcho0 created" 30 || exit 1
"$bin/rtctl" -n "127.0.0.1:$port" activate PortEcho0 >/dev/null
start=$(date +%s.%N)
"$bin/rtctl" -n "127.0.0.1:$port" replay "$out/demo.rec" --rate 10 \
  --map BaseSim0:robot_pose=PortEcho0:pose_in --map BaseSim0:robot_velocity=PortEcho0:velocity_in \
  --map Torvane0:robot_control=PortEcho0:velocity_in --map Torvane0:planning_img=PortEcho0:image_in \
  --map Torvane0:message=PortEcho0:string_in --map Palkett0:output=PortEcho0:words_in
echo "replay --rate 10, wall clock: $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
