#!/bin/bash
# SPDX-License-Identifier: MIT
# Mutation run: plants one slip at a time in the program's code, rebuilds the tests, runs them,
# and puts the file back. A slip the tests notice is killed; one they pass is a blind spot.
#
# The slips are drawn mechanically by scripts/mutants.py from the *.cpp files of roster/, search/,
# rtf/ and window/ (not their tests, benches or fuzz targets): swapped comparisons (< <=, > >=,
# == !=), swapped arithmetic (+ -, * /), integer constants (n becomes n + 1, 0 and 1 swap), swapped
# && ||, a dropped unary !, a negated if condition, and a bare call statement taken out. Comments,
# literals, preprocessor lines and assertions are left alone. A seed picks a sample of
# MUTATE_COUNT sites per folder, the same sample for the same seed and code.
#
# The tests run in a build with the C++ library's and Qt's bounds assertions (KORVANE_CHECKED), so a
# slip that reads one past the end of a string is caught, where a plain build reads the terminator.
#
#   scripts/mutate.sh                  the sample of every folder
#   scripts/mutate.sh roster search    the sample of these folders (or files) only
#   scripts/mutate.sh search 3 17      only these slips of the sample, by their number in --list
#   scripts/mutate.sh --list [...]     print the sampled slips and plant nothing
#
# Settings (environment):
#   MUTATE_SEED     which sample                                  (1)
#   MUTATE_COUNT    slips per folder                              (40)
#   MUTATE_BUILD    build folder of its own, tests only           (build-mutate)
#   MUTATE_JOBS     build and test jobs                           (1)
#   MUTATE_TIMEOUT  seconds a test may take before it counts as killed
#                   (default: 4 x the slowest test of the clean run, at least 60)
#   MUTATE_FULL=1   run every test for every slip, not stopping at the first failure, to see
#                   which tests kill which slips (slower; the default runs the slip's own
#                   folder's tests first and the rest only when those pass)
#
# Outcomes: killed (a test failed, crashed or ran past the timeout), survived (every test passed),
# not viable (the slip does not build). The score is killed / (killed + survived). The survivors
# are listed with file:line:column and the slip, each one a test still to write. The file is put
# back after every slip, also on Ctrl+C and when the build fails; a copy in the build folder
# restores it even after the script itself was killed.
set -u
set -m # every command below runs in a process group of its own, so that it can be ended whole

cd "$(dirname "$0")/.." || exit 2
BUILD=${MUTATE_BUILD:-build-mutate}
JOBS=${MUTATE_JOBS:-1}
SEED=${MUTATE_SEED:-1}
COUNT=${MUTATE_COUNT:-40}
FULL=${MUTATE_FULL:-0}
BACKUP_DIR=$BUILD/mutate-backup
LOG_DIR=$BUILD/mutate-logs
RESULTS=$BUILD/mutate-results.tsv
SAMPLE=$BUILD/mutate-sample.tsv

# ---- the sample

# One entry per slip, from the columns of scripts/mutants.py's sample.
numbers=() files=() lines=() columns=() kinds=() whats=() afters=()

read_sample() { # file
    local number file line column kind what after rest
    while IFS=$'\t' read -r number file line column kind what after rest; do
        numbers+=("$number") files+=("$file") lines+=("$line") columns+=("$column")
        kinds+=("$kind") whats+=("$what") afters+=("$after")
    done < "$1"
}

# ---- putting files back

child=""

restore() {
    local saved path
    for saved in "$BACKUP_DIR"/*.orig; do
        [ -e "$saved" ] || continue
        path=$(cat "${saved%.orig}.path")
        # Writing through the old file keeps its mode and inode; the new time stamp makes the
        # next build compile it again, which it must, as the objects hold the slip.
        cat "$saved" > "$path" && rm -f "$saved" "${saved%.orig}.path"
    done
}

stop_child() {
    if [ -n "$child" ]; then
        kill -TERM -- "-$child" 2>/dev/null
        wait "$child" 2>/dev/null
        child=""
    fi
}

on_exit() {
    stop_child
    restore
}
trap on_exit EXIT
trap 'echo; echo "Interrupted: the files are back as they were."; exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Runs a command in the background and waits for it, so that a signal reaches the trap at once.
run() { # log command...
    local log=$1
    shift
    "$@" > "$log" 2>&1 &
    child=$!
    wait "$child"
    local rc=$?
    child=""
    return $rc
}

apply_slip() { # index
    local i=$1 path=${files[$1]}
    mkdir -p "$BACKUP_DIR"
    cp -p "$path" "$BACKUP_DIR/$i.orig" || return 1
    printf '%s' "$path" > "$BACKUP_DIR/$i.path"
    python3 scripts/mutants.py apply "$SAMPLE" "${numbers[$i]}" "$BACKUP_DIR/$i.orig" "$path"
}

# ---- building and testing

build() { # log [targets...] (default: every test)
    local log=$1
    shift
    run "$log" nice -n 19 cmake --build "$BUILD" -j "$JOBS" --target "${@:-korvane-tests}"
}

# The test programs of a folder (CTest names them after their targets, <folder>_tst_*). A test
# that runs another one's program under other settings (window_tst_access_2x) has no target of its
# own to build, and is left out.
tests_of() { # folder
    local name
    for name in $(ctest --test-dir "$BUILD" -N 2>/dev/null | sed -n -E "s/^ *Test +#[0-9]+: (${1}_[A-Za-z0-9_]+)$/\1/p"); do
        [ -e "tests/$1/${name#"$1"_}.cpp" ] && echo "$name"
    done
}

# A test's TIMEOUT property outranks ctest --timeout, so the build folder's own test files are given
# the run's timeout (they are generated, and regenerated only when the CMake files change). The
# tests are added in tests/<folder>/, so their properties sit in that folder's file.
set_timeout() {
    local testfile
    for testfile in "$BUILD"/tests/CTestTestfile.cmake "$BUILD"/tests/*/CTestTestfile.cmake; do
        [ -e "$testfile" ] && sed -i -E "s/ TIMEOUT \"[0-9.]+\"/ TIMEOUT \"$TIMEOUT\"/" "$testfile"
    done
}

# The tests of the slip's own folder first, stopping at the first failure; the others are built
# and run only when those all passed. Fails with 125 when the slip does not build.
test_slip() { # folder log
    local folder=$1 log=$2 rc
    if [ "$FULL" = 1 ]; then
        build "$log.build.log" || return 125
        set_timeout
        run "$log.tests.log" env QT_QPA_PLATFORM=offscreen nice -n 19 ctest --test-dir "$BUILD" -j "$JOBS" \
            --timeout "$TIMEOUT" --output-on-failure
        return
    fi
    local own=($(tests_of "$folder"))
    if [ ${#own[@]} -gt 0 ]; then
        build "$log.build.log" "${own[@]}" || return 125
        set_timeout
        run "$log.tests.log" env QT_QPA_PLATFORM=offscreen nice -n 19 ctest --test-dir "$BUILD" -j "$JOBS" \
            --timeout "$TIMEOUT" --stop-on-failure --output-on-failure -R "^${folder}_"
        rc=$?
        [ $rc -ne 0 ] && return $rc
    fi
    # The rest of the build goes after the folder's own in the slip's build log, as its tests do.
    build "$log.rest-build"
    rc=$?
    cat "$log.rest-build" >> "$log.build.log"
    rm -f "$log.rest-build"
    [ $rc -ne 0 ] && return 125
    set_timeout
    run "$log.rest" env QT_QPA_PLATFORM=offscreen nice -n 19 ctest --test-dir "$BUILD" -j "$JOBS" \
        --timeout "$TIMEOUT" --stop-on-failure --output-on-failure -E "^${folder}_"
    rc=$?
    cat "$log.rest" >> "$log.tests.log"
    rm -f "$log.rest"
    return $rc
}


# The names of the tests that failed, from ctest's summary.
failed_tests() { # log
    sed -n -E 's/^[[:space:]]*[0-9]+ - ([A-Za-z0-9_]+) \((.*)\)$/\1 (\2)/p' "$1" | paste -sd ',' - | sed 's/,/, /g'
}

# The test functions that failed, from QtTest's output: Class::function, each once.
failed_functions() { # log
    sed -n -E 's/^FAIL! +: ([A-Za-z0-9_]+::[A-Za-z0-9_]+)\(.*/\1/p' "$1" | sort -u | paste -sd ' ' -
}

# ---- choosing slips

list_only=0
places=() picks=()
for arg in "$@"; do
    case $arg in
    --list) list_only=1 ;;
    -h | --help) sed -n '2,/^set -u/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "Unknown option $arg (see --help)." >&2; exit 2 ;;
    *[!0-9]*) places+=("${arg%/}") ;;
    *) picks+=("$arg") ;;
    esac
done
for place in "${places[@]+"${places[@]}"}"; do
    [ -e "$place" ] || { echo "No folder or file $place." >&2; exit 2; }
done

restore # a slip left in the code by a run that was killed outright goes first
if [ "$list_only" = 1 ]; then
    SAMPLE=$(mktemp)
    trap 'rm -f "$SAMPLE"' EXIT
else
    mkdir -p "$BUILD"
fi
python3 scripts/mutants.py sample "$SEED" "$COUNT" "${places[@]+"${places[@]}"}" > "$SAMPLE" ||
    { echo "Cannot draw the slips." >&2; exit 2; }
read_sample "$SAMPLE"
selected=()
for ((i = 0; i < ${#numbers[@]}; i++)); do
    keep=$(( ${#picks[@]} == 0 ))
    for pick in "${picks[@]+"${picks[@]}"}"; do
        [ "$pick" -eq "${numbers[$i]}" ] && keep=1
    done
    [ "$keep" = 1 ] && selected+=("$i")
done
if [ ${#selected[@]} -eq 0 ]; then
    echo "No slip matches: $*" >&2
    exit 2
fi

folder_of() { echo "${1%%/*}"; }

if [ "$list_only" = 1 ]; then
    for i in "${selected[@]}"; do
        printf '%4d  %s:%s:%s  %s: %s\n        %s\n' "${numbers[$i]}" "${files[$i]}" "${lines[$i]}" "${columns[$i]}" \
            "${kinds[$i]}" "${whats[$i]}" "${afters[$i]}"
    done
    echo "${#selected[@]} slips (seed $SEED, at most $COUNT per folder)."
    exit 0
fi

# ---- the clean run

mkdir -p "$LOG_DIR"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    echo "Configuring $BUILD (Release, bounds-checked) ..."
    run "$LOG_DIR/configure.log" cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKORVANE_CHECKED=ON ||
        { cat "$LOG_DIR/configure.log"; exit 2; }
fi
echo "Building the tests without slips in $BUILD ..."
build "$LOG_DIR/clean-build.log" || { tail -30 "$LOG_DIR/clean-build.log"; echo "The clean build fails."; exit 2; }
TIMEOUT=${MUTATE_TIMEOUT:-600}
echo "Running the tests without slips ..."
set_timeout
run "$LOG_DIR/clean-tests.log" env QT_QPA_PLATFORM=offscreen nice -n 19 ctest --test-dir "$BUILD" -j "$JOBS" \
    --timeout "$TIMEOUT" --output-on-failure ||
    { tail -30 "$LOG_DIR/clean-tests.log"; echo "The tests fail without any slip: nothing to measure."; exit 2; }
if [ -z "${MUTATE_TIMEOUT:-}" ]; then
    slowest=$(sed -n -E 's/.* Passed +([0-9.]+) sec$/\1/p' "$LOG_DIR/clean-tests.log" | sort -g | tail -1)
    TIMEOUT=$(awk -v s="${slowest:-15}" 'BEGIN { t = int(4 * s + 1); print (t < 60 ? 60 : t) }')
fi
echo "Clean run passes; slowest test ${slowest:-?} s, timeout per test $TIMEOUT s."
echo

# ---- one slip at a time

declare -A killed=() survived=() notviable=()
printf 'number\tfile\tline\tcolumn\tkind\tslip\toutcome\tfailed tests\tfailed test functions\tline after the slip\n' > "$RESULTS"
total=${#selected[@]}
done_count=0
survivors=()
for i in "${selected[@]}"; do
    done_count=$((done_count + 1))
    path=${files[$i]}
    place="$path:${lines[$i]}:${columns[$i]}"
    folder=$(folder_of "$path")
    printf '[%2d/%d] #%-3d %-34s %s\n' "$done_count" "$total" "${numbers[$i]}" "$place" "${whats[$i]}"
    detail="" functions=""
    log="$LOG_DIR/slip-${numbers[$i]}"
    apply_slip "$i" || { echo "Cannot plant slip ${numbers[$i]}."; exit 2; }
    test_slip "$folder" "$log"
    case $? in
    0)
        outcome="SURVIVED"
        survived[$folder]=$(( ${survived[$folder]:-0} + 1 ))
        survivors+=("#${numbers[$i]} $place  ${kinds[$i]}: ${whats[$i]}"$'\n'"        ${afters[$i]}")
        ;;
    125)
        outcome="not viable"
        notviable[$folder]=$(( ${notviable[$folder]:-0} + 1 ))
        ;;
    *)
        outcome="killed"
        detail=$(failed_tests "$log.tests.log")
        functions=$(failed_functions "$log.tests.log")
        killed[$folder]=$(( ${killed[$folder]:-0} + 1 ))
        ;;
    esac
    restore
    printf '        -> %s%s\n' "$outcome" "${detail:+  ($detail)}"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "${numbers[$i]}" "$path" "${lines[$i]}" "${columns[$i]}" \
        "${kinds[$i]}" "${whats[$i]}" "$outcome" "$detail" "$functions" "${afters[$i]}" >> "$RESULTS"
done

# Leave the build folder matching the code again.
build "$LOG_DIR/final-build.log" > /dev/null 2>&1

# ---- summary

score() { # killed survived
    awk -v k="$1" -v s="$2" 'BEGIN { if (k + s == 0) print "-"; else printf "%.0f%%", 100 * k / (k + s) }'
}

echo
echo "Score per folder (killed / (killed + survived)), seed $SEED, $COUNT slips per folder at most:"
all_k=0 all_s=0 all_n=0
for folder in $(for i in "${selected[@]}"; do folder_of "${files[$i]}"; done | sort -u); do
    k=${killed[$folder]:-0} s=${survived[$folder]:-0} n=${notviable[$folder]:-0}
    all_k=$((all_k + k)) all_s=$((all_s + s)) all_n=$((all_n + n))
    printf '  %-8s %5s   %3d killed, %3d survived, %3d not viable\n' "$folder" "$(score "$k" "$s")" "$k" "$s" "$n"
done
printf '  %-8s %5s   %3d killed, %3d survived, %3d not viable\n' "all" "$(score "$all_k" "$all_s")" "$all_k" "$all_s" "$all_n"
if [ ${#survivors[@]} -gt 0 ]; then
    echo
    echo "Survivors (the slip, then the line as it was with the slip in):"
    printf '  %s\n' "${survivors[@]}"
fi
echo
echo "Per slip: $RESULTS; the sample: $SAMPLE; build and test output: $LOG_DIR/"
