#!/usr/bin/env bash
# How fast stopping the coordinator stops the robot, against the simulated cell at real speed.
# For each way of stopping it (SIGTERM, SIGINT, exit(), a deactivation), a fresh cell runs an
# object task; 1 s into its trajectory the coordinator is stopped, and the script prints
#   word_s   from the stop to the HIRO_OBJ_MANIP_STOPPED word at a reader of "output"
#   exit_s   from the stop to the end of the PalkettComp process (all but a deactivation)
#   halted   whether the coordinator reached the protective stop ("cannot halt" not printed)
# The way "idle" sends SIGTERM with no task running: only exit_s applies.
# Times are polled every 5 ms. Usage: bench/pickplace/stop_timing.sh [runs per way, default 3]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/rtsystem.sh
source "$root/scripts/lib/rtsystem.sh"
runs=${1:-3}

rts_init "$root"
for program in HiroSimComp BriskoComp PalkettComp rtctl; do
  [[ -x $RTS_BIN/$program ]] || { echo "build $program first (scripts/setup)" >&2; exit 1; }
done
rts_start_name_server
conf=$RTS_DIR/rtc.conf
rts_write_rtc_conf "$conf" "exec_cxt.periodic.rate: 100" "logger.log_level: WARN"

now_ns() { date +%s%N; }

# wait_for_text FILE TEXT SECONDS: polls every 5 ms; true once FILE contains TEXT.
wait_for_text() {
  local file=$1 text=$2 deadline=$((SECONDS + $3))
  while ((SECONDS < deadline)); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.005
  done
  return 1
}

# wait_for_end PID SECONDS: polls every 5 ms; true once the process has ended.
wait_for_end() {
  local pid=$1 deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.005
  done
  return 1
}

seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }

one_run() {
  local way=$1 run=$2 dir=$RTS_DIR/$1-$2
  mkdir -p "$dir"
  rts_start_in "$dir" "$dir/sim.log" sim "$RTS_BIN/HiroSimComp" -f "$conf" >/dev/null
  rts_start_in "$dir" "$dir/brisko.log" brisko "$RTS_BIN/BriskoComp" -f "$conf" >/dev/null
  rts_start_in "$dir" "$dir/palkett.log" palkett "$RTS_BIN/PalkettComp" -f "$conf" >/dev/null
  local palkett=${RTS_PIDS[-1]}
  for name in RobotController0 HIROController0 HiroNX0 Lumeris0 Brisko0 Palkett0; do
    rts_wait_for_name "$name" 30 || { echo "$name did not come up" >&2; return 1; }
  done
  for port in RobotHWSvc SeqPlayerSvc ArmCtrlSvcL ArmCtrlSvcR GrasperSvc; do
    rts_rtctl connect "Brisko0:$port" "RobotController0:$port" >/dev/null
  done
  rts_rtctl connect Palkett0:BriskoService Brisko0:BriskoService >/dev/null
  rts_rtctl connect Palkett0:HIRO HIROController0:HIRO >/dev/null
  rts_rtctl connect Palkett0:HiroNX HiroNX0:HiroNX >/dev/null
  rts_rtctl connect Palkett0:LumerisService Lumeris0:LumerisService >/dev/null
  rts_rtctl activate Brisko0 Palkett0 >/dev/null

  rts_start_in "$dir" "$dir/output.log" reader "$RTS_BIN/rtctl" -n "$RTS_NAMES" print \
    Palkett0:output >/dev/null
  local attempt
  for attempt in $(seq 1 30); do
    rts_rtctl inject Palkett0:input HIRO_TRAY_MANIP_STOP >/dev/null
    wait_for_text "$dir/output.log" HIRO_TRAY_MANIP_STOPPED 1 && break
  done
  if [[ $way != idle ]]; then
    rts_rtctl inject Palkett0:input HIRO_OBJ_MANIP_START >/dev/null
    wait_for_text "$dir/palkett.log" "<< nxutil::Hiro2HiroNX()" 60 ||
      { echo "no trajectory was sent" >&2; return 1; }
    sleep 1
  fi

  local start word_at exit_s=- requesting=""
  start=$(now_ns)
  case $way in
    SIGTERM | idle) kill -TERM "$palkett" ;;
    SIGINT) kill -INT "$palkett" ;;
    exit | deactivation)
      rts_rtctl "${way/deactivation/deactivate}" Palkett0 >/dev/null &
      requesting=$!
      ;;
  esac
  if [[ $way != idle ]] && wait_for_text "$dir/output.log" HIRO_OBJ_MANIP_STOPPED 60; then
    word_at=$(now_ns)
  else
    word_at=""
  fi
  if [[ $way != deactivation ]] && wait_for_end "$palkett" 60; then
    exit_s=$(seconds_between "$start" "$(now_ns)")
  fi
  [[ -n $requesting ]] && wait "$requesting"
  local word_s=- halted=yes
  [[ -n $word_at ]] && word_s=$(seconds_between "$start" "$word_at")
  grep -qF "cannot halt the robot" "$dir/palkett.log" && halted=no
  printf '%-13s %4d %8s %8s %7s\n' "$way" "$run" "$word_s" "$exit_s" "$halted"
  rts_stop_processes >/dev/null
}

printf '%-13s %4s %8s %8s %7s\n' way run word_s exit_s halted
for way in SIGTERM SIGINT exit deactivation idle; do
  for run in $(seq 1 "$runs"); do
    one_run "$way" "$run"
  done
done
