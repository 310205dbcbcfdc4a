# Sourced by scripts/demo: a private omniNames and the component processes of one run.
# Every process started here is remembered and ended by stop_all_processes, in reverse order,
# politely first (SIGTERM, so components deactivate and unbind their names) and then for good.
# Processes run in sessions of their own so that a Ctrl-C at the terminal reaches only the
# demo, which then shuts the system down in order.

started_pids=()
started_labels=()

# Seconds a component gets to shut down after SIGTERM before it is killed.
readonly SHUTDOWN_GRACE_S=15

log_line() { printf '%s\n' "$*" >&2; }

# A TCP port on 127.0.0.1 that nobody listens on now.
pick_free_port() {
  local port attempt
  for attempt in $(seq 1 50); do
    port=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  log_line "no free TCP port found on 127.0.0.1"
  return 1
}

# start_process LABEL WORKDIR LOGFILE PROGRAM ARGS...: runs the program in WORKDIR with its
# standard output and error appended to LOGFILE.
start_process() {
  local label=$1 workdir=$2 logfile=$3
  shift 3
  (cd "$workdir" && exec setsid "$@" >>"$logfile" 2>&1 </dev/null) &
  started_pids+=("$!")
  started_labels+=("$label")
}

process_alive() { kill -0 "$1" 2>/dev/null; }

# Waits up to $2 seconds for process $1 to end.
wait_process_end() {
  local pid=$1 deadline=$((SECONDS + $2))
  while process_alive "$pid" && ((SECONDS < deadline)); do sleep 0.2; done
  ! process_alive "$pid"
}

# The label of a started process that has ended, or nothing when all still run.
first_ended_process() {
  local i
  for i in "${!started_pids[@]}"; do
    if ! process_alive "${started_pids[$i]}"; then
      echo "${started_labels[$i]}"
      return 0
    fi
  done
}

# start_name_server DATADIR LOGFILE: sets name_server_port and name_server_pid.
start_name_server() {
  local datadir=$1 logfile=$2 attempt port
  for attempt in 1 2 3 4 5; do
    port=$(pick_free_port) || return 1
    rm -rf "$datadir" && mkdir -p "$datadir"
    start_process omniNames "$datadir" "$logfile" \
      omniNames -start "$port" -datadir "$datadir" -logdir "$datadir" -always \
      -ORBendPoint "giop:tcp:127.0.0.1:$port"
    local pid=${started_pids[-1]} deadline=$((SECONDS + 10))
    while ((SECONDS < deadline)) && process_alive "$pid"; do
      if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        name_server_port=$port
        name_server_pid=$pid
        return 0
      fi
      sleep 0.2
    done
    kill -KILL "$pid" 2>/dev/null
    unset 'started_pids[-1]' 'started_labels[-1]'
  done
  log_line "omniNames did not start (see $logfile)"
  return 1
}

# Ends every started process, newest first; the name server goes last since the components
# unbind their names from it on the way out. Prints the labels of processes that had to be
# killed.
stop_all_processes() {
  local i pid
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    pid=${started_pids[$i]}
    process_alive "$pid" || continue
    [[ $pid == "${name_server_pid:-}" ]] && continue
    kill -TERM "$pid" 2>/dev/null
  done
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    pid=${started_pids[$i]}
    [[ $pid == "${name_server_pid:-}" ]] && continue
    if ! wait_process_end "$pid" "$SHUTDOWN_GRACE_S"; then
      log_line "${started_labels[$i]} did not end after SIGTERM; killed"
      kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null
    fi
  done
}

stop_name_server() {
  [[ -n ${name_server_pid:-} ]] || return 0
  kill -TERM "$name_server_pid" 2>/dev/null
  wait_process_end "$name_server_pid" 5 || kill -KILL "$name_server_pid" 2>/dev/null
  wait "$name_server_pid" 2>/dev/null || true
}
