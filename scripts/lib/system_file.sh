# Sourced by scripts/demo after rtsystem.sh: the system file, a plain-text list of the
# connections, configuration values and activations that make the components one system. Each
# line is one operator-tool command, applied in file order:
#
#   connect   NAME:port NAME:port [key=value ...]
#   disconnect NAME:port NAME:port
#   conf      NAME set KEY VALUE
#   activate  NAME
#   deactivate NAME
#
# "#" starts a comment; blank lines are skipped. ${VARIABLE} is replaced by a value the demo
# provides (system_variables below); any other ${...} is an error, so a typo never reaches a
# component as a literal text.

declare -A system_variables=()

readonly SYSTEM_COMMAND_PATTERN='^(connect|disconnect|conf|activate|deactivate)$'
readonly SYSTEM_ENDPOINT_PATTERN='^[A-Za-z_][A-Za-z0-9_.-]*:[A-Za-z_][A-Za-z0-9_.-]*$'
readonly SYSTEM_NAME_PATTERN='^[A-Za-z_][A-Za-z0-9_.-]*$'

# Replaces ${NAME} in $1 with system_variables[NAME]; fails on an unknown variable.
expand_system_variables() {
  local text=$1 result="" name
  while [[ $text =~ ^([^$]*)\$\{([A-Za-z_][A-Za-z0-9_]*)\}(.*)$ ]]; do
    name=${BASH_REMATCH[2]}
    if [[ ! -v "system_variables[$name]" ]]; then
      echo "unknown variable \${$name}"
      return 1
    fi
    result+=${BASH_REMATCH[1]}${system_variables[$name]}
    text=${BASH_REMATCH[3]}
  done
  if [[ $text == *'$'* ]]; then
    echo "a \$ that is not a \${VARIABLE}"
    return 1
  fi
  printf '%s' "$result$text"
}

# Checks one command (as words) and prints why it is wrong, or nothing.
system_command_problem() {
  local command=$1
  shift
  case $command in
    connect | disconnect)
      (($# >= 2)) || { echo "$command needs two NAME:port arguments"; return; }
      [[ $1 =~ $SYSTEM_ENDPOINT_PATTERN ]] || { echo "not a NAME:port: $1"; return; }
      [[ $2 =~ $SYSTEM_ENDPOINT_PATTERN ]] || { echo "not a NAME:port: $2"; return; }
      if [[ $command == disconnect ]] && (($# > 2)); then
        echo "disconnect takes no properties"
        return
      fi
      local property
      for property in "${@:3}"; do
        [[ $property =~ ^[A-Za-z_][A-Za-z0-9_.]*=.+$ ]] || { echo "not a key=value: $property"; return; }
      done
      ;;
    conf)
      (($# == 4)) && [[ $2 == set ]] || { echo "conf needs: NAME set KEY VALUE"; return; }
      [[ $1 =~ $SYSTEM_NAME_PATTERN ]] || echo "not a component name: $1"
      ;;
    activate | deactivate)
      (($# == 1)) || { echo "$command needs exactly one component name"; return; }
      [[ $1 =~ $SYSTEM_NAME_PATTERN ]] || echo "not a component name: $1"
      ;;
    *) echo "unknown command: $command (connect, disconnect, conf, activate, deactivate)" ;;
  esac
}

# Prints the file's commands, one per line, with the variables replaced and the words
# separated by single tabs. Fails with "FILE:LINE: what is wrong" on the first bad line.
read_system_file() {
  local file=$1 line number=0 expanded problem
  [[ -r $file ]] || { echo "$file: cannot be read" >&2; return 1; }
  local -a words
  local launch_line=0
  while IFS= read -r line || [[ -n $line ]]; do
    ((++number))
    line=${line%%#*}
    # host, nameserver and program lines (continued by a final "\") are for rtctl launch.
    if ((launch_line)) || [[ $line =~ ^[[:space:]]*(host|nameserver|program)([[:space:]]|$) ]]; then
      [[ $line =~ \\[[:space:]]*$ ]] && launch_line=1 || launch_line=0
      continue
    fi
    [[ $line =~ ^[[:space:]]*$ ]] && continue
    if ! expanded=$(expand_system_variables "$line"); then
      echo "$file:$number: $expanded" >&2
      return 1
    fi
    read -r -a words <<<"$expanded"
    problem=$(system_command_problem "${words[@]}")
    if [[ -n $problem ]]; then
      echo "$file:$number: $problem" >&2
      return 1
    fi
    (IFS=$'\t'; printf '%s\n' "${words[*]}")
  done <"$file"
}

# The component names the commands refer to, each once, in order of first use.
system_component_names() {
  local commands=$1 line
  local -A seen=()
  local -a words
  while IFS=$'\t' read -r -a words; do
    local -a names=()
    case ${words[0]} in
      connect | disconnect) names=("${words[1]%%:*}" "${words[2]%%:*}") ;;
      *) names=("${words[1]}") ;;
    esac
    local name
    for name in "${names[@]}"; do
      [[ -v "seen[$name]" ]] && continue
      seen[$name]=1
      echo "$name"
    done
  done <<<"$commands"
}

# Runs each command through the operator tool; stops at the first that fails.
apply_system_commands() {
  local commands=$1 output
  local -a words
  while IFS=$'\t' read -r -a words; do
    [[ ${#words[@]} -gt 0 ]] || continue
    if ! output=$(rts_rtctl "${words[@]}" 2>&1); then
      echo "rtctl ${words[*]}: failed${output:+: $output}" >&2
      return 1
    fi
  done <<<"$commands"
}
