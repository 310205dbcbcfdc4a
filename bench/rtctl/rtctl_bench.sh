#!/usr/bin/env bash
# How fast rtctl launch notices a death and brings the program back, and how long each rtctl
# command takes, on the demo's system (scripts/system/demo.system) with its real programs.
#
#   bench/rtctl/rtctl_bench.sh [--rounds N] [--build DIR]
#
# For each program of the demo it sends SIGKILL and reads, from launch's own time-stamped
# lines, when the death was reported and when the program was back up with its lines applied
# again; then SIGSTOP, for when the hang was reported. Goals: a death or a hang reported
# within 0.5 s, the program working again within 3 s. Then it runs each rtctl command
# against the running system and prints its median and slowest time.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
rounds=3
build="$repo/build"
while (($#)); do
  case $1 in
    --rounds) rounds=$2; shift ;;
    --build) build=$2; shift ;;
    *) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
  shift
done
bin="$build/bin"
rtctl="$bin/rtctl"
[[ -x $rtctl && -e $bin/MotionSet.mtn ]] || { echo "build the project first ($bin)" >&2; exit 2; }

out=$(mktemp -d "${TMPDIR:-/tmp}/rtctl-bench-XXXXXX")
# A loopback port nothing listens on.
for _ in $(seq 1 200); do
  port=$((20000 + RANDOM % 40000))
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
done
names="127.0.0.1:$port"
mkdir -p "$out/run/TorvaneComp"
cp "$bin/MotionSet.mtn" "$out/run/TorvaneComp/"
log="$out/launch.out"
"$rtctl" -n "$names" launch "$repo/scripts/system/demo.system" --respawn --out "$out" \
  --var BIN="$bin" --var OUT="$out" --var SCENE="$repo/sim/hiro/scenes/default.scene" \
  --var BUILDING="$repo/sim/base/default_building.plan" --var TIME_SCALE=1 \
  --var PLANNER_RATE_HZ=10 --var BASE_RATE_HZ=50 >"$log" 2>&1 &
launch_pid=$!
finish() {
  kill -INT "$launch_pid" 2>/dev/null || true
  wait "$launch_pid" 2>/dev/null || true
  rm -rf "$out"
}
trap finish EXIT

# wait_for_line PATTERN [FROM_LINE]: waits until launch has written a line matching PATTERN
# after line FROM_LINE, then prints that line.
wait_for_line() {
  local pattern=$1 from=${2:-0} deadline=$((SECONDS + 60)) line
  while ((SECONDS < deadline)); do
    line=$(tail -n +"$((from + 1))" "$log" | grep -m1 -E -- "$pattern" || true)
    [[ -n $line ]] && { echo "$line"; return 0; }
    kill -0 "$launch_pid" 2>/dev/null || { echo "launch ended:" >&2; cat "$log" >&2; exit 1; }
    sleep 0.02
  done
  echo "no line matching \"$pattern\" within 60 s" >&2
  cat "$log" >&2
  exit 1
}

# Seconds of the day of launch's time stamp "HH:MM:SS.mmm" at the start of a line.
stamp_seconds() {
  local stamp=${1%% *}
  awk -F: '{ printf "%.3f", $1 * 3600 + $2 * 60 + $3 }' <<<"$stamp"
}
now_seconds() { date +%H:%M:%S.%N | awk -F: '{ printf "%.3f", $1 * 3600 + $2 * 60 + $3 }'; }
difference() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

wait_for_line "system up" >/dev/null
echo "system up on $names; $rounds rounds per program"
printf '%-12s %-8s %14s %14s\n' program fault "reported (s)" "back up (s)"

# pid_of LABEL: the pid of the latest start of LABEL.
pid_of() { grep -E "started $1 \\(pid [0-9]+\\)" "$log" | tail -1 | sed -E 's/.*\(pid ([0-9]+)\).*/\1/'; }

# A program that ends within 10 s of its start waits longer before its next start; each is
# killed again only once it has run that long, so that every round measures a plain restart.
declare -A up_since=()
steady_s=10.5
wait_until_steady() {
  local since=${up_since[$1]:-0}
  local left
  left=$(awk -v since="$since" -v now="$(now_seconds)" -v steady="$steady_s" \
    'BEGIN { left = since + steady - now; print (left > 0 ? left : 0) }')
  sleep "$left"
}

for ((round = 1; round <= rounds; round++)); do
  for fault in KILL STOP; do
    for label in TorvaneComp BaseSimComp BriskoComp PalkettComp PlanViewer HiroSimComp; do
      wait_until_steady "$label"
      pid=$(pid_of "$label")
      from=$(wc -l <"$log")
      at=$(now_seconds)
      kill -"$fault" "$pid"
      if [[ $fault == KILL ]]; then
        reported=$(wait_for_line "$label \\(pid $pid\\) ended" "$from")
      else
        reported=$(wait_for_line "$label \\(pid $pid\\) stopped answering" "$from")
      fi
      back=$(wait_for_line "$label: back up" "$from")
      up_since[$label]=$(stamp_seconds "$back")
      printf '%-12s %-8s %14s %14s\n' "$label" "$fault" \
        "$(difference "$at" "$(stamp_seconds "$reported")")" \
        "$(difference "$at" "$(stamp_seconds "$back")")"
    done
  done
done

echo
echo "rtctl commands against the running demo system ($rounds runs each)"
printf '%-44s %12s %12s\n' command "median (ms)" "slowest (ms)"
vars=(--var BIN="$bin" --var OUT="$out" --var SCENE="$repo/sim/hiro/scenes/default.scene"
  --var BUILDING="$repo/sim/base/default_building.plan" --var TIME_SCALE=1 \
  --var PLANNER_RATE_HZ=10 --var BASE_RATE_HZ=50)
time_command() {
  local label=$1
  shift
  local times=() start end
  for ((round = 1; round <= rounds; round++)); do
    start=$(date +%s%N)
    "$rtctl" -n "$names" "$@" >/dev/null 2>&1 || { echo "failed: rtctl $*" >&2; exit 1; }
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  sorted=($(printf '%s\n' "${times[@]}" | sort -n))
  printf '%-44s %12s %12s\n' "$label" "${sorted[$((rounds / 2))]}" "${sorted[$((rounds - 1))]}"
}
time_command "ls" ls
time_command "cat Torvane0" cat Torvane0
time_command "conf Torvane0" conf Torvane0
time_command "conf Palkett0 set speedBase 5.0" conf Palkett0 set speedBase 5.0
time_pair() {
  local first=$1 second=$2
  shift 2
  local -a one two
  IFS='|' read -r -a one <<<"$1"
  IFS='|' read -r -a two <<<"$2"
  local a=() b=() start end round pair
  for ((round = 1; round <= rounds; round++)); do
    start=$(date +%s%N)
    "$rtctl" -n "$names" "${one[@]}" >/dev/null 2>&1 || { echo "failed: rtctl ${one[*]}" >&2; exit 1; }
    end=$(date +%s%N)
    a+=($(((end - start) / 1000000)))
    start=$(date +%s%N)
    "$rtctl" -n "$names" "${two[@]}" >/dev/null 2>&1 || { echo "failed: rtctl ${two[*]}" >&2; exit 1; }
    end=$(date +%s%N)
    b+=($(((end - start) / 1000000)))
  done
  for pair in "$first@${a[*]}" "$second@${b[*]}"; do
    local sorted=($(tr ' ' '\n' <<<"${pair#*@}" | sort -n))
    printf '%-44s %12s %12s\n' "${pair%%@*}" "${sorted[$((rounds / 2))]}" "${sorted[$((rounds - 1))]}"
  done
}
time_pair "deactivate PlanViewer0" "activate PlanViewer0" \
  "deactivate|PlanViewer0" "activate|PlanViewer0"
time_pair "disconnect Torvane0:planning_img PlanViewer0" "connect Torvane0:planning_img PlanViewer0" \
  "disconnect|Torvane0:planning_img|PlanViewer0:planning_img" \
  "connect|Torvane0:planning_img|PlanViewer0:planning_img"
time_command "inject Palkett0:input NOT_A_COMMAND" inject Palkett0:input NOT_A_COMMAND
time_command "check demo.system (25 lines)" check "$repo/scripts/system/demo.system" "${vars[@]}"
time_command "apply demo.system (all already so)" apply "$repo/scripts/system/demo.system" "${vars[@]}"
time_command "capture" capture
time_command "clean (nothing to clean)" clean
