#!/usr/bin/env bash
# Figures of the system spread over hosts (network namespaces joined by veth links on a
# bridge, scripts/host-network), against the same system on loopback. Needs root.
#
#   bench/hosts/hosts_bench.sh [--build DIR] [--time-scale S] [--seconds N] [--delay-ms D]
#
# 1. Round trip of isIKSolutionFoundL (BriskoService): from the operator's host to the gateway
#    on the robot's host, against both on loopback (gateway_ik_round_trip_bench, p50/p99).
# 2. Planning image rate at the viewer during the drive to the work station, N seconds (default
#    20): the planner on the operator's host sending across the link to the viewer on the base's
#    host, against both on loopback.
# 3. Time of the first object's pick and place (HIRO_OBJ_MANIP_START to its answer): on
#    loopback, across the hosts, and across the hosts with `tc qdisc ... netem delay D ms`
#    (default 5) on the operator's link, which adds D ms to every call of the coordinator.
# Simulated time runs S (default 4) times faster than the clock.
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build="$repo/build"
time_scale=4
seconds=20
delay_ms=5
while (($#)); do
  case $1 in
    --build) build=$2; shift ;;
    --time-scale) time_scale=$2; shift ;;
    --seconds) seconds=$2; shift ;;
    --delay-ms) delay_ms=$2; shift ;;
    *) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
  shift
done
bin="$build/bin"
((EUID == 0)) || { echo "needs root (network namespaces)" >&2; exit 2; }
for program in rtctl gateway_ik_round_trip_bench MotionSet.mtn; do
  [[ -e $bin/$program ]] || { echo "build the project first: $bin/$program" >&2; exit 2; }
done

readonly START_TIMEOUT_S=120
readonly TASK_TIMEOUT_S=400
readonly HOSTS_NAMES=198.18.0.1:2809
prefix="mmb$$-"
work=$(mktemp -d "${TMPDIR:-/tmp}/hosts-bench-XXXXXX")
launch_pid=""

stop_system() {
  [[ -n $launch_pid ]] || return 0
  kill -INT "$launch_pid" 2>/dev/null
  wait "$launch_pid" 2>/dev/null
  launch_pid=""
}
finish() {
  stop_system
  "$repo/scripts/host-network" down "$prefix"
}
trap finish EXIT
trap 'exit 130' INT TERM

"$repo/scripts/host-network" up "$prefix" || exit 1
# on HOST: the words that run a program on the host (not a function, so that rtctl launch in
# the background is the process that Ctrl-C reaches).
on() { on_host=(ip netns exec "$prefix$1"); }

# launch_system LABEL FILE NAMES [PREFIX...]: rtctl launch of the file, through the prefix;
# returns once the system is up. Sets out, names and run_on.
launch_system() {
  local label=$1 file=$2
  names=$3
  shift 3
  run_on=("$@")
  out="$work/$label"
  mkdir -p "$out/run/TorvaneComp" "$out/planning"
  cp "$bin/MotionSet.mtn" "$out/run/TorvaneComp/"
  "${run_on[@]}" "$bin/rtctl" -n "$names" launch "$file" --out "$out" \
    --var BIN="$bin" --var OUT="$out" --var SCENE="$repo/sim/hiro/scenes/default.scene" \
    --var BUILDING="$repo/sim/base/default_building.plan" --var TIME_SCALE="$time_scale" \
    --var PLANNER_RATE_HZ=$((10 * time_scale)) --var BASE_RATE_HZ=$((50 * time_scale)) \
    --var NETNS="$prefix" >"$out/launch.out" 2>&1 &
  launch_pid=$!
  local deadline=$((SECONDS + START_TIMEOUT_S))
  until grep -q "system up" "$out/launch.out"; do
    if ! kill -0 "$launch_pid" 2>/dev/null || ((SECONDS > deadline)); then
      echo "$label: the system did not come up; see $out/launch.out" >&2
      exit 1
    fi
    sleep 0.2
  done
}

rtctl_here() { "${run_on[@]}" "$bin/rtctl" -n "$names" "$@"; }

# round_trip LABEL PREFIX... -- ARGUMENTS: p50 and p99 of the round trip.
round_trip() {
  local label=$1 line
  shift
  line=$("$@" --benchmark_min_time=2 2>/dev/null | grep "BM_isIKSolutionFoundL")
  printf '  %-34s %s\n' "$label" "$(grep -o 'p50_us=[^ ]*\|p99_us=[^ ]*' <<<"$line" | tr '\n' ' ')"
}

# image_rate LABEL: starts the drive and counts the frames the viewer writes in N seconds.
image_rate() {
  local label=$1 before after
  rtctl_here inject Torvane0:in_message ROBOT_START >/dev/null || return 1
  until compgen -G "$out/planning/frame_*.png" >/dev/null; do sleep 0.2; done
  before=$(find "$out/planning" -name 'frame_*.png' | wc -l)
  sleep "$seconds"
  after=$(find "$out/planning" -name 'frame_*.png' | wc -l)
  printf '  %-34s %s images in %s s: %s per second\n' "$label" "$((after - before))" "$seconds" \
    "$(awk -v n=$((after - before)) -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')"
}

# object_task LABEL: the first object's pick and place, timed.
object_task() {
  local label=$1 start answer end
  start=$(date +%s.%N)
  answer=$(rtctl_here wait Palkett0:output 'HIRO_OBJ_MANIP_[A-Z]+' --timeout "$TASK_TIMEOUT_S" \
    --send Palkett0:input HIRO_OBJ_MANIP_START)
  end=$(date +%s.%N)
  printf '  %-34s %s in %s s\n' "$label" "${answer:-no answer}" \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')"
}

loopback_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# The same system three ways, from hosts.system: across the hosts, with the coordinator's
# remote calls traced (omniORB's own environment variables) to count them; all on loopback;
# and with the planner on the operator's host, sending its images across the link.
variants="$work/files"
mkdir -p "$variants"
cp "$repo/scripts/system/hosts.conf" "$variants/"
sed 's/^program PalkettComp /program PalkettComp env=ORBtraceInvocations=1 env=ORBtraceLevel=5 /' \
  "$repo/scripts/system/hosts.system" >"$variants/traced.system"
sed -e '/^host /d' -e 's/^nameserver .*/nameserver start/' -e 's/ host=[a-z]*//' \
  "$variants/traced.system" >"$variants/loopback.system"
sed 's/components=Torvane0 host=base/components=Torvane0 host=operator/' \
  "$repo/scripts/system/hosts.system" >"$variants/planner-away.system"

# calls_during COMMAND...: runs it and prints how many calls the coordinator made meanwhile.
calls_made() { grep -c "Invoke '" "$out/logs/PalkettComp.log"; }

echo "Round trip of isIKSolutionFoundL:"
round_trip "loopback" "$bin/gateway_ik_round_trip_bench"
on operator
launch_system hosts "$variants/traced.system" "$HOSTS_NAMES" "${on_host[@]}"
round_trip "operator -> robot (veth, bridge)" "${on_host[@]}" "$bin/gateway_ik_round_trip_bench" \
  --name-server "$HOSTS_NAMES" --component robot.host_cxt/Brisko0

echo "First object's pick and place (time scale $time_scale):"
before=$(calls_made)
object_task "across the hosts"
calls=$(($(calls_made) - before))
echo "  (the coordinator made $calls remote calls during it)"
stop_system
if "${on_host[@]}" tc qdisc add dev eth0 root netem delay "${delay_ms}ms" 2>/dev/null; then
  launch_system hosts-delay "$variants/traced.system" "$HOSTS_NAMES" "${on_host[@]}"
  object_task "across the hosts, +${delay_ms} ms"
  stop_system
  "${on_host[@]}" tc qdisc del dev eth0 root
else
  printf '  %-34s netem is not in this kernel; %s calls one after the other: +%s s\n' \
    "across the hosts, +${delay_ms} ms" "$calls" \
    "$(awk -v n="$calls" -v d="$delay_ms" 'BEGIN { printf "%.2f", n * d / 1000 }')"
fi
launch_system loopback "$variants/loopback.system" "127.0.0.1:$loopback_port" env
object_task "loopback"

echo "Planning images at the viewer during the drive (time scale $time_scale):"
image_rate "loopback"
stop_system
launch_system away "$variants/planner-away.system" "$HOSTS_NAMES" "${on_host[@]}"
image_rate "planner on operator -> viewer on base"
stop_system
echo "(runs in $work)"
