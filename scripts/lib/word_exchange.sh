# Sourced by scripts/demo after rtsystem.sh: command words to a component's string in-port and
# the answers from its string out-port. A listener (rtctl print) is connected to the out-port
# before the first command and stays connected for the whole run, writing every answer into a
# file of its own, so that an answer that comes quickly is never missed.

# Seconds to wait for a listener's connection to show in the component's profile.
readonly LISTENER_READY_TIMEOUT_S=15

# The words of the system as they appear in a listener's output, one sample per line.
readonly WORD_PATTERN='(HIRO|ROBOT)_[A-Z_]+'

# start_word_listener NAME:port FILE: connects a listener to the out-port and returns once the
# connection shows in the component's profile (the output of rtctl cat changes).
start_word_listener() {
  local endpoint=$1 file=$2 name=${1%%:*} before deadline
  before=$(rts_rtctl cat "$name" 2>/dev/null)
  rts_start_in "$(dirname "$file")" "$file" "listener on $endpoint" \
    "$RTS_BIN/rtctl" -n "$RTS_NAMES" print "$endpoint"
  deadline=$((SECONDS + LISTENER_READY_TIMEOUT_S))
  while ((SECONDS < deadline)); do
    if ! kill -0 "${RTS_PIDS[-1]}" 2>/dev/null; then
      echo "the listener on $endpoint ended: $(tail -n 3 "$file")" >&2
      return 1
    fi
    [[ $(rts_rtctl cat "$name" 2>/dev/null) != "$before" ]] && return 0
    sleep 0.2
  done
  echo "the listener on $endpoint did not show up in the profile of $name" >&2
  return 1
}

# Words a listener has received, one per line.
received_words() { grep -oE "$WORD_PATTERN" "$1" || true; }

# exchange_word IN_ENDPOINT WORD LISTENER_FILE TIMEOUT_S ANSWER_REGEX: sends WORD and waits for
# the next received word that matches ANSWER_REGEX, and prints it. Otherwise prints what
# happened instead and fails: "SEND_FAILED", "TIMEOUT", or "ENDED:<label>" when a process of
# the system ended meanwhile.
exchange_word() {
  local endpoint=$1 word=$2 file=$3 timeout_s=$4 answer=$5
  local seen deadline ended next
  seen=$(received_words "$file" | wc -l)
  if ! rts_rtctl inject "$endpoint" "$word" >/dev/null; then
    echo "SEND_FAILED"
    return 1
  fi
  deadline=$((SECONDS + timeout_s))
  while ((SECONDS < deadline)); do
    next=$(received_words "$file" | tail -n +"$((seen + 1))" | grep -E -m1 "^($answer)$" || true)
    if [[ -n $next ]]; then
      echo "$next"
      return 0
    fi
    ended=$(rts_first_ended)
    if [[ -n $ended ]]; then
      echo "ENDED:$ended"
      return 1
    fi
    sleep 0.2
  done
  echo "TIMEOUT"
  return 1
}
