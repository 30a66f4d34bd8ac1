#!/usr/bin/env bash
# Builds and runs every test: formatting check, the normal build, the ASan+UBSan build and a
# bounded libFuzzer run. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")"

# Each step prints how long the one before it took, so a slow step shows where it is.
schritt_beginn=$SECONDS
schritt_name=""
step() {
    [ -z "$schritt_name" ] || printf '(%s: %d s)\n' "$schritt_name" $((SECONDS - schritt_beginn))
    schritt_name="$*"
    schritt_beginn=$SECONDS
    printf '\n==== %s ====\n' "$*"
}

step "Packages (scripts/deps.sh)"
scripts/deps.sh

step "Formatting (.clang-format)"
git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run --Werror

step "Normal build and all tests"
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev

step "Unit and widget tests a year ahead, fourteen hours east of UTC (faketime)"
# A test that depends on today's date or on the machine's time zone fails here. The monotonic
# clock stays real, so timeouts and pacing behave as in the run above.
DONT_FAKE_MONOTONIC=1 TZ=XYZ-14 faketime -f '+1y' \
    ctest --preset dev --label-regex '^(unit|widgets)$'

step "AddressSanitizer + UndefinedBehaviorSanitizer build and all tests"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

step "ThreadSanitizer build of the programs that exercise threads"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target thread_tests
# The racecheck programs must be reported (they count as passed when they fail), which shows
# that races are caught. Only the unit programs of thread_tests are built here; the others'
# placeholders are skipped.
TSAN_OPTIONS="halt_on_error=1" \
    ctest --preset tsan --label-regex '^unit$' --exclude-regex '_NOT_BUILT$'

step "Fuzzing (clang, libFuzzer, bounded time)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "All tests passed"
printf 'Total: %d s\n' "$SECONDS"
