#!/usr/bin/env bash
# How fast stopping the coordinator stops the robot, against the simulated cell at real speed.
# For each way of stopping it (SIGTERM, SIGINT, exit(), a deactivation), a fresh cell runs an
# object task; 1 s into its trajectory the coordinator is stopped, and the script prints
#   word_s   from the stop to the HIRO_OBJ_MANIP_STOPPED word at a reader of "output"
#   exit_s   from the stop to the end of the PalkettComp process (all but a deactivation)
#   halted   whether the coordinator reached the protective stop ("cannot halt" not printed)
# The way "idle" sends SIGTERM with no task running: only exit_s applies.
# Each run is a system file brought up by rtctl launch with a name server of its own.
# Times are polled every 5 ms. Usage: bench/pickplace/stop_timing.sh [runs per way, default 3]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${BENCH_BIN:-$root/${BUILD_DIR:-build}/bin}
runs=${1:-3}

for program in HiroSimComp BriskoComp PalkettComp rtctl; do
  [[ -x $bin/$program ]] || { echo "build $program first (scripts/setup)" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/stop-timing-XXXXXX")
launch_pid="" reader_pid=""

# Ends what a run started: the reader, then rtctl launch, which stops the system in order.
end_run() {
  local pid
  for pid in $reader_pid $launch_pid; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  reader_pid="" launch_pid=""
}
# The logs are kept after a failure only.
trap 'status=$?; end_run; if ((status)); then echo "logs kept in $work"; else rm -rf "$work"; fi' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cat >"$work/bench.conf" <<'CONF'
corba.endpoints: 127.0.0.1:
logger.enable: YES
logger.file_name: STDOUT
logger.log_level: WARN
manager.shutdown_on_nortcs: YES
exec_cxt.periodic.rate: 100
CONF
cat >"$work/bench.system" <<'SYSTEM'
nameserver start
program HiroSimComp components=RobotController0,HIROController0,HiroNX0,Lumeris0 \
    conf=bench.conf -- ${BIN}/HiroSimComp
program BriskoComp components=Brisko0 conf=bench.conf -- ${BIN}/BriskoComp
program PalkettComp components=Palkett0 conf=bench.conf -- ${BIN}/PalkettComp
connect Brisko0:RobotHWSvc      RobotController0:RobotHWSvc
connect Brisko0:SeqPlayerSvc    RobotController0:SeqPlayerSvc
connect Brisko0:ArmCtrlSvcL     RobotController0:ArmCtrlSvcL
connect Brisko0:ArmCtrlSvcR     RobotController0:ArmCtrlSvcR
connect Brisko0:GrasperSvc      RobotController0:GrasperSvc
connect Palkett0:BriskoService  Brisko0:BriskoService
connect Palkett0:HIRO           HIROController0:HIRO
connect Palkett0:HiroNX         HiroNX0:HiroNX
connect Palkett0:LumerisService Lumeris0:LumerisService
activate Brisko0
activate Palkett0
SYSTEM

# demo_mode_free_port: the demo's own finder of a free port on 127.0.0.1.
# shellcheck source=../../scripts/lib/demo_modes.sh
source "$root/scripts/lib/demo_modes.sh"

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
  local way=$1 run=$2 dir=$work/$1-$2 names
  names=127.0.0.1:$(demo_mode_free_port)
  mkdir -p "$dir"
  "$bin/rtctl" -n "$names" launch "$work/bench.system" --out "$dir" --var "BIN=$bin" \
    >"$dir/launch.log" 2>&1 </dev/null &
  launch_pid=$!
  wait_for_text "$dir/launch.log" " system up: " 90 ||
    { echo "the system did not come up; see $dir/launch.log" >&2; return 1; }
  local palkett palkett_log=$dir/logs/PalkettComp.log
  palkett=$(sed -n 's/.* started PalkettComp (pid \([0-9]*\)).*/\1/p' "$dir/launch.log")

  "$bin/rtctl" -n "$names" print Palkett0:output >"$dir/output.log" 2>&1 </dev/null &
  reader_pid=$!
  local attempt
  for attempt in $(seq 1 30); do
    "$bin/rtctl" -n "$names" inject Palkett0:input HIRO_TRAY_MANIP_STOP >/dev/null
    wait_for_text "$dir/output.log" HIRO_TRAY_MANIP_STOPPED 1 && break
  done
  if [[ $way != idle ]]; then
    "$bin/rtctl" -n "$names" inject Palkett0:input HIRO_OBJ_MANIP_START >/dev/null
    wait_for_text "$palkett_log" "<< nxutil::Hiro2HiroNX()" 60 ||
      { echo "no trajectory was sent" >&2; return 1; }
    sleep 1
  fi

  local start word_at exit_s=- requesting=""
  start=$(now_ns)
  case $way in
    SIGTERM | idle) kill -TERM "$palkett" ;;
    SIGINT) kill -INT "$palkett" ;;
    exit | deactivation)
      "$bin/rtctl" -n "$names" "${way/deactivation/deactivate}" Palkett0 >/dev/null &
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
  grep -qF "cannot halt the robot" "$palkett_log" && halted=no
  printf '%-13s %4d %8s %8s %7s\n' "$way" "$run" "$word_s" "$exit_s" "$halted"
  end_run
}

printf '%-13s %4s %8s %8s %7s\n' way run word_s exit_s halted
for way in SIGTERM SIGINT exit deactivation idle; do
  for run in $(seq 1 "$runs"); do
    one_run "$way" "$run"
  done
done
