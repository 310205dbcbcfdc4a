# Helpers for scripts that run the system on this machine: a private name server on a free
# loopback port, component processes with their logs, and a clean shutdown of all of them.
# Source it from bash; it uses these globals:
#   RTS_ROOT      project root (set by rts_init)
#   RTS_BIN       build/bin of the project
#   RTS_DIR       the run's directory (logs, rtc.conf, name server data); a temporary one
#                 unless set before rts_init
#   RTS_NAMES     "127.0.0.1:<port>" of the name server, once started
#   RTS_PIDS      processes started with rts_start (stopped by rts_cleanup)
#   RTS_LABELS    their labels, in the same order
#
#   source scripts/lib/rtsystem.sh
#   rts_init "$root"                 # temporary directory, trap on EXIT INT TERM
#   rts_start_name_server
#   rts_write_rtc_conf "$RTS_DIR/rtc.conf"
#   rts_start Brisko "$RTS_BIN/BriskoComp" -f "$RTS_DIR/rtc.conf"
#   rts_wait_for_name Brisko0 20
#   rts_rtctl ls

RTS_PIDS=()
RTS_LABELS=()
RTS_NAMESERVER_PID=""

rts_log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# rts_init ROOT: sets the globals, makes the run directory, and installs the cleanup trap.
rts_init() {
  RTS_ROOT=$1
  RTS_BIN=${RTS_BIN:-$RTS_ROOT/${BUILD_DIR:-build}/bin}
  RTS_DIR=${RTS_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/mm-run-XXXXXX")}
  mkdir -p "$RTS_DIR"
  trap rts_cleanup EXIT
  trap 'rts_log "interrupted"; exit 130' INT
  trap 'rts_log "terminated"; exit 143' TERM
}

# rts_free_port: prints a TCP port on 127.0.0.1 that nothing listens on.
rts_free_port() {
  local port
  for _ in $(seq 1 200); do
    port=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  echo "no free port found" >&2
  return 1
}

# rts_wait_for_line FILE TEXT SECONDS: true once FILE contains TEXT.
rts_wait_for_line() {
  local file=$1 text=$2 deadline=$((SECONDS + $3))
  while ((SECONDS < deadline)); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# rts_start_name_server: omniNames on a free loopback port; sets RTS_NAMES.
rts_start_name_server() {
  local port attempt data
  for attempt in 1 2 3 4 5; do
    port=$(rts_free_port) || return 1
    data=$RTS_DIR/names-$port
    mkdir -p "$data"
    setsid omniNames -start "$port" -datadir "$data" -always -ORBendPoint "giop:tcp:127.0.0.1:$port" \
      >"$RTS_DIR/omniNames.log" 2>&1 &
    RTS_NAMESERVER_PID=$!
    if rts_wait_for_line "$RTS_DIR/omniNames.log" "Root context is" 10; then
      RTS_NAMES=127.0.0.1:$port
      rts_log "name server on $RTS_NAMES (pid $RTS_NAMESERVER_PID)"
      return 0
    fi
    kill -9 "$RTS_NAMESERVER_PID" 2>/dev/null || true
    wait "$RTS_NAMESERVER_PID" 2>/dev/null || true
    RTS_NAMESERVER_PID=""
  done
  echo "omniNames did not start, see $RTS_DIR/omniNames.log" >&2
  return 1
}

# rts_write_rtc_conf FILE [key: value lines...]: an rtc.conf for the private name server, with
# loopback endpoints and the log on standard output.
rts_write_rtc_conf() {
  local file=$1
  shift
  {
    echo "corba.nameservers: $RTS_NAMES"
    echo "corba.endpoints: 127.0.0.1:"
    echo "logger.enable: YES"
    echo "logger.file_name: STDOUT"
    echo "logger.log_level: INFO"
    echo "manager.shutdown_on_nortcs: YES"
    local line
    for line in "$@"; do echo "$line"; done
  } >"$file"
}

# rts_start LABEL PROGRAM ARGS...: starts a program in RTS_DIR, output to RTS_DIR/LABEL.log.
rts_start() { rts_start_in "$RTS_DIR" "$RTS_DIR/$1.log" "$@"; }

# rts_start_in DIR LOGFILE LABEL PROGRAM ARGS...: starts a program in working directory DIR,
# output to LOGFILE. The program gets a session of its own, so that a Ctrl-C at the terminal
# reaches only the script, which then shuts everything down in order.
rts_start_in() {
  local dir=$1 logfile=$2 label=$3
  shift 3
  (cd "$dir" && exec setsid "$@") >"$logfile" 2>&1 </dev/null &
  RTS_PIDS+=($!)
  RTS_LABELS+=("$label")
  rts_log "started $label (pid $!), log $logfile"
}

# rts_first_ended: prints the label of a started process that has ended, or nothing.
rts_first_ended() {
  local i
  for i in "${!RTS_PIDS[@]}"; do
    if ! kill -0 "${RTS_PIDS[$i]}" 2>/dev/null; then
      echo "${RTS_LABELS[$i]}"
      return 0
    fi
  done
}

# rts_rtctl ARGS...: rtctl against the private name server.
rts_rtctl() { "$RTS_BIN/rtctl" -n "$RTS_NAMES" "$@"; }

# rts_wait_for_name INSTANCE SECONDS: true once rtctl ls shows the instance.
rts_wait_for_name() {
  local instance=$1 deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    rts_rtctl ls 2>/dev/null | grep -q "/$instance\.rtc\|^$instance\.rtc" && return 0
    sleep 0.2
  done
  return 1
}

# rts_wait_for_exit PID SECONDS: true once the process has ended.
rts_wait_for_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# rts_stop_all: SIGTERM to every started process, SIGKILL to those still there after 10 s,
# then the name server.
rts_stop_all() {
  rts_stop_processes
  rts_stop_name_server
}

# rts_stop_processes: the started processes only; the name server stays, so that the
# components can unbind their names on the way out.
rts_stop_processes() {
  local pid
  for pid in "${RTS_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${RTS_PIDS[@]}"; do
    if ! rts_wait_for_exit "$pid" 10; then
      rts_log "pid $pid did not stop, killing it"
      kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  done
  RTS_PIDS=()
  RTS_LABELS=()
}

rts_stop_name_server() {
  if [[ -n $RTS_NAMESERVER_PID ]]; then
    kill -TERM "$RTS_NAMESERVER_PID" 2>/dev/null || true
    rts_wait_for_exit "$RTS_NAMESERVER_PID" 5 || kill -KILL "$RTS_NAMESERVER_PID" 2>/dev/null || true
    wait "$RTS_NAMESERVER_PID" 2>/dev/null || true
    RTS_NAMESERVER_PID=""
  fi
}

# rts_cleanup: the EXIT trap: stops everything and removes the run directory unless
# RTS_KEEP=1 (then its path is printed).
rts_cleanup() {
  local status=$?
  trap - EXIT INT TERM
  rts_stop_all
  if [[ ${RTS_KEEP:-0} == 1 || $status -ne 0 ]]; then
    rts_log "logs kept in $RTS_DIR"
  else
    rm -rf "$RTS_DIR"
  fi
  exit "$status"
}
