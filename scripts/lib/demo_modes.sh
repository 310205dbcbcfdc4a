# The ways scripts/demo runs the system: TCP on loopback (the default), spread over hosts
# (network namespaces of this machine, as root), or private to its owner (Unix sockets). A mode
# is a system file, --var values and where rtctl runs, nothing more. Source it from bash, then:
#   demo_mode_choose MODE ROOT   sets DEMO_SYSTEM_FILE (hosts only), DEMO_VARIABLES (further
#                                --var arguments) and DEMO_RUN_ON (the words put before rtctl,
#                                demo_summary and the demo's own programs: where they run)
#   demo_mode_start              makes what the mode needs; sets DEMO_NAMES, the name server
#   demo_mode_orb_conf           the rtc.conf lines of a program the demo starts itself
#   demo_mode_end                removes what demo_mode_start made
# The README's "Who can reach the running system" tells what each mode exposes.

DEMO_MODE=loopback
DEMO_SYSTEM_FILE=""
DEMO_VARIABLES=()
DEMO_RUN_ON=()
DEMO_NAMES=""
demo_mode_root=""
demo_mode_network=""
demo_mode_folder=""

# demo_mode_free_port: a TCP port on 127.0.0.1 that nothing listens on.
demo_mode_free_port() {
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

demo_mode_choose() {
  DEMO_MODE=$1
  demo_mode_root=$2
  case $DEMO_MODE in
    loopback | private) ;;
    hosts)
      demo_mode_network="mmd$$-"
      DEMO_SYSTEM_FILE="$demo_mode_root/scripts/system/hosts.system"
      DEMO_VARIABLES=(--var "NETNS=$demo_mode_network")
      DEMO_RUN_ON=(ip netns exec "${demo_mode_network}operator") ;;
    *) echo "unknown demo mode: $DEMO_MODE" >&2; return 1 ;;
  esac
}

demo_mode_start() {
  case $DEMO_MODE in
    loopback) DEMO_NAMES=127.0.0.1:$(demo_mode_free_port) || return 1 ;;
    hosts)
      if ((EUID != 0)); then
        echo "--hosts needs root: it makes network namespaces (ip netns)" >&2
        return 1
      fi
      "$demo_mode_root/scripts/host-network" up "$demo_mode_network" || return 1
      DEMO_NAMES=$("$demo_mode_root/scripts/host-network" address names):2809 ;;
    private)
      # mktemp makes it for this user alone (mode 0700); rtctl launch checks that it is.
      demo_mode_folder=$(mktemp -d "${XDG_RUNTIME_DIR:-/tmp}/mm-private-XXXXXX") || return 1
      DEMO_NAMES="$demo_mode_folder/names.sock" ;;
  esac
}

demo_mode_orb_conf() {
  case $DEMO_MODE in
    loopback) printf '%s\n' "corba.nameservers: $DEMO_NAMES" "corba.endpoints: 127.0.0.1:" ;;
    hosts)
      printf '%s\n' "corba.nameservers: $DEMO_NAMES" \
        "corba.endpoints: $("$demo_mode_root/scripts/host-network" address operator):" ;;
    private)
      printf '%s\n' "corba.nameservers: corbaloc:omniunix:$DEMO_NAMES:/NameService" \
        "corba.endpoints:" \
        "corba.args: -ORBendPoint giop:unix: -ORBunixTransportDirectory $demo_mode_folder -ORBunixTransportPermission 0600" ;;
  esac
}

demo_mode_end() {
  [[ -n $demo_mode_network ]] && "$demo_mode_root/scripts/host-network" down "$demo_mode_network"
  [[ -n $demo_mode_folder ]] && rm -rf "$demo_mode_folder"
  demo_mode_network="" demo_mode_folder=""
}
