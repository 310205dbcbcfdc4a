#!/usr/bin/env bash
# The system file as scripts/demo reads it: the shipped file is valid and names every
# component of the demo; each kind of mistake is refused with its file and line.
set -u
root=$1
demo="$root/scripts/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect_refused TEXT MESSAGE: a system file holding TEXT is refused with MESSAGE.
expect_refused() {
  printf '%s\n' "$1" >"$work/bad.system"
  local output status
  output=$("$demo" --check-system --system "$work/bad.system" 2>&1)
  status=$?
  [[ $status == 2 ]] || fail "exit $status instead of 2 for: $1"
  [[ $output == *"$2"* ]] || fail "for: $1
  expected: $2
  got: $output"
}

output=$("$demo" --check-system 2>&1) || fail "the shipped system file is refused: $output"
for name in Brisko0 Palkett0 Torvane0 BaseSim0; do
  grep -q "^components: .*\b$name\b" <<<"$output" || fail "$name missing from: $output"
done
grep -qx "activate Palkett0" <<<"$output" || fail "Palkett0 is not activated"
# The coordinator moves the robot on activation: it must come after its connections.
last_connect=$(grep -n '^connect Palkett0:' <<<"$output" | tail -1 | cut -d: -f1)
activation=$(grep -n '^activate Palkett0$' <<<"$output" | cut -d: -f1)
((last_connect < activation)) || fail "Palkett0 is activated before it is connected"
grep -q "^conf BaseSim0 set floor_plan /.*default_building.plan$" <<<"$output" ||
  fail "the building is not passed as an absolute path"

cat >"$work/good.system" <<'SYSTEM'
# a comment line

connect A0:out B0:in  dataflow_type=push   # trailing comment
conf    A0 set plan ${BUILDING}
activate B0
SYSTEM
output=$("$demo" --check-system --system "$work/good.system" --building "$work/my.plan" 2>&1) ||
  fail "a valid file is refused: $output"
expected="connect A0:out B0:in dataflow_type=push
conf A0 set plan $work/my.plan
activate B0
components: A0 B0 "
[[ $output == "$expected" ]] || fail "unexpected reading:
$output"

expect_refused "connect A0:out" "bad.system:1: connect needs two NAME:port arguments"
expect_refused "connect A0:out B0" "bad.system:1: not a NAME:port: B0"
expect_refused "connect A0:out B0:in flow" "bad.system:1: not a key=value: flow"
expect_refused $'activate A0\nactivate' "bad.system:2: activate needs exactly one component name"
expect_refused "activate A0 B0" "activate needs exactly one component name"
expect_refused "conf A0 get x" "conf needs: NAME set KEY VALUE"
expect_refused "launch A0" "unknown command: launch"
expect_refused 'conf A0 set plan ${NOWHERE}' 'unknown variable ${NOWHERE}'
expect_refused 'conf A0 set plan $HOME' 'a $ that is not a ${VARIABLE}'
expect_refused 'activate $(touch x)' 'a $ that is not a ${VARIABLE}'
expect_refused "disconnect A0:out B0:in k=v" "disconnect takes no properties"
[[ ! -e x ]] || fail "a command in the system file was run"

"$demo" --check-system --system "$work/none.system" >/dev/null 2>&1
[[ $? == 2 ]] || fail "a missing system file is not refused"

# Without its programs the demo says which are missing and starts nothing.
output=$(RTS_BIN="$work/no-bin" "$demo" --no-build --out "$work/run" 2>&1)
status=$?
[[ $status == 2 ]] || fail "exit $status instead of 2 without programs"
[[ $output == *"cannot run the demo: not built in $work/no-bin: HiroSimComp BaseSimComp"* ]] ||
  fail "missing programs not named: $output"
[[ ! -e $work/run/logs ]] || fail "processes were started without programs"

if ((failures)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "all system file checks passed"
