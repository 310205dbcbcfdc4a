#!/usr/bin/env bash
# The system file as scripts/demo gives it to rtctl: the shipped file is valid with the demo's
# values and its programs can start from this build; a broken file, a missing one and missing
# programs are refused with exit 2 before anything starts.
# Usage: system_file_test.sh PROJECT_ROOT BIN_DIR
set -u
root=$1
bin=$2
demo="$root/scripts/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

output=$(DEMO_BIN=$bin "$demo" --no-build --check-system 2>&1) ||
  fail "the shipped system file is refused: $output"
grep -q "demo.system: 6 programs, .*; the file is valid and its programs can start here" \
  <<<"$output" || fail "not reported valid: $output"

# The values the demo gives are those the file reads: --out reaches the programs' folders.
output=$(DEMO_BIN=$bin "$demo" --no-build --check-system --out "$work/run" 2>&1) ||
  fail "refused with --out: $output"
[[ -f $work/run/run/TorvaneComp/MotionSet.mtn ]] ||
  fail "the motion set is not in the planner's folder under --out"

printf 'activate A0\nconnect A0:out\n' >"$work/bad.system"
output=$(DEMO_BIN=$bin "$demo" --no-build --check-system --system "$work/bad.system" 2>&1)
status=$?
[[ $status == 2 ]] || fail "exit $status instead of 2 for a broken file: $output"
[[ $output == *"bad.system:2:"* ]] || fail "the broken line is not named: $output"

DEMO_BIN=$bin "$demo" --no-build --check-system --system "$work/none.system" >/dev/null 2>&1
[[ $? == 2 ]] || fail "a missing system file is not refused"

# Without its tools the demo says which are missing and starts nothing.
output=$(DEMO_BIN="$work/no-bin" "$demo" --no-build --out "$work/none" 2>&1)
status=$?
[[ $status == 2 ]] || fail "exit $status instead of 2 without programs"
[[ $output == *"cannot run the demo: not built in $work/no-bin: rtctl demo_summary"* ]] ||
  fail "missing programs not named: $output"
[[ ! -e $work/none/logs ]] || fail "processes were started without programs"

# With the tools but without the components' programs: each is named, nothing starts.
mkdir "$work/partial-bin"
for file in rtctl demo_summary RouteSupervisor MotionSet.mtn; do ln -s "$bin/$file" "$work/partial-bin/$file"; done
output=$(DEMO_BIN="$work/partial-bin" "$demo" --no-build --out "$work/partial" 2>&1)
status=$?
[[ $status == 2 ]] || fail "exit $status instead of 2 without the components' programs"
for program in HiroSimComp BriskoComp TorvaneComp; do
  [[ $output == *"$work/partial-bin/$program"* ]] || fail "$program not named: $output"
done
[[ ! -e $work/partial/logs/rtctl-launch.log ]] || fail "rtctl launch ran without programs"

if ((failures)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "all system file checks passed"
