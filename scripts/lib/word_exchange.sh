# Sourced by scripts/demo: command words to a component's string in-port and the answers from
# its string out-port. A listener (rtctl print) is connected to the out-port before the first
# command and stays connected for the whole run, writing every answer into its own file, so an
# answer that comes quickly is never missed.

# Seconds to wait for a listener's connection to show in the component's profile.
readonly LISTENER_READY_TIMEOUT_S=15
# Lifetime given to a listener; it is ended at shutdown long before.
readonly LISTENER_LIFETIME_S=86400

# The known words of the system, as they appear in a listener's output.
readonly WORD_PATTERN='(HIRO|ROBOT)_[A-Z_]+'

# start_word_listener NAME:port FILE: connects a listener to the out-port and returns once the
# connection shows in the component's profile (rtctl cat changes).
start_word_listener() {
  local endpoint=$1 file=$2 name=${1%%:*} before now deadline
  : >"$file"
  before=$(rtctl_call cat "$name" 2>/dev/null)
  start_process "listener $endpoint" "$(dirname "$file")" "$file" \
    "$rtctl" -n "$name_server" print "$endpoint" --timeout "$LISTENER_LIFETIME_S"
  deadline=$((SECONDS + LISTENER_READY_TIMEOUT_S))
  while ((SECONDS < deadline)); do
    if ! process_alive "${started_pids[-1]}"; then
      log_line "the listener on $endpoint ended: $(tail -n 3 "$file")"
      return 1
    fi
    now=$(rtctl_call cat "$name" 2>/dev/null)
    [[ $now != "$before" ]] && return 0
    sleep 0.2
  done
  log_line "the listener on $endpoint did not show up in the profile of $name"
  return 1
}

# Words the listener has received, one per line.
received_words() { grep -oE "$WORD_PATTERN" "$1" || true; }

# exchange_word IN_ENDPOINT WORD LISTENER_FILE TIMEOUT_S ANSWER_REGEX: sends WORD (empty: send
# nothing, only wait) and waits for the next received word matching ANSWER_REGEX. Prints that
# word. Fails on time-out, or when a system process ends meanwhile (prints "TIMEOUT" or
# "ENDED:<label>").
exchange_word() {
  local endpoint=$1 word=$2 file=$3 timeout_s=$4 answer=$5
  local seen deadline ended
  seen=$(received_words "$file" | wc -l)
  if [[ -n $word ]] && ! rtctl_call inject "$endpoint" "$word" >/dev/null; then
    echo "SEND_FAILED"
    return 1
  fi
  deadline=$((SECONDS + timeout_s))
  while ((SECONDS < deadline)); do
    local next
    next=$(received_words "$file" | tail -n +"$((seen + 1))" | grep -E -m1 "^($answer)$" || true)
    if [[ -n $next ]]; then
      echo "$next"
      return 0
    fi
    ended=$(first_ended_process)
    if [[ -n $ended ]]; then
      echo "ENDED:$ended"
      return 1
    fi
    sleep 0.2
  done
  echo "TIMEOUT"
  return 1
}
