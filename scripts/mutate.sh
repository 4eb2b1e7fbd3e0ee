#!/bin/bash
# Mutation run: plants one slip at a time in the program's rules, rebuilds the tests, runs them,
# and puts the file back. A slip the tests notice is killed; one they pass is a blind spot.
#
#   scripts/mutate.sh                  every slip of scripts/mutations.txt
#   scripts/mutate.sh roster search    only slips in files under these folders (or paths)
#   scripts/mutate.sh 3 17 40          only these slips, by their number in the run
#   scripts/mutate.sh --check          only tell which slips no longer match the code
#
# Settings (environment):
#   MUTATE_BUILD    build folder of its own, Release, tests only  (build-mutate)
#   MUTATE_JOBS     build and test jobs                           (1)
#   MUTATE_TIMEOUT  seconds a test may take before it counts as killed
#                   (default: 4 x the slowest test of the clean run, at least 60)
#   MUTATE_LIST     the list of slips                             (scripts/mutations.txt)
#   MUTATE_FULL=1   run every test for every slip, not stopping at the first failure, to see
#                   which tests kill which slips (slower; the default runs the slip's own
#                   folder's tests first and the rest only when those pass)
#
# The list is plain text, one slip per paragraph (blank line between slips, # starts a comment):
#   file: search/resultlist.cpp
#   find: for (int k = 1; k <= 6 && k <= static_cast<int>(firstLine.size()); ++k)
#   repl: for (int k = 1; k <= 5 && k <= static_cast<int>(firstLine.size()); ++k)
#   what: PtsLen looks for the space among five characters only
# `find` must occur exactly once in the file, else the slip is reported stale and skipped.
# Everything after "find: " / "repl: " is taken as it stands, leading blanks included; an empty
# `repl:` drops the text. A text of several lines continues on `find+ ` / `repl+ ` lines.
#
# Outcomes: killed (a test failed, crashed or ran past the timeout), survived (every test passed),
# not viable (the slip does not build), stale (the text is not found once). The kill rate is
# killed / (killed + survived). The file is put back after every slip, also on Ctrl+C and when
# the build fails; a copy in the build folder restores it even after the script itself was killed.
set -u
set -m # every command below runs in a process group of its own, so that it can be ended whole

cd "$(dirname "$0")/.." || exit 2
ROOT=$PWD
BUILD=${MUTATE_BUILD:-build-mutate}
JOBS=${MUTATE_JOBS:-1}
LIST=${MUTATE_LIST:-scripts/mutations.txt}
FULL=${MUTATE_FULL:-0}
BACKUP_DIR=$BUILD/mutate-backup
LOG_DIR=$BUILD/mutate-logs
RESULTS=$BUILD/mutate-results.tsv

# ---- the list

files=() finds=() repls=() whats=()

parse_list() {
    local line key value f="" fd="" re="" wh="" have=0 lineno=0
    flush() {
        if [ "$have" = 1 ]; then
            if [ -z "$f" ] || [ -z "$fd" ]; then
                echo "$LIST: a slip ending before line $lineno has no file: or find:" >&2
                exit 2
            fi
            files+=("$f") finds+=("$fd") repls+=("$re") whats+=("$wh")
        fi
        f="" fd="" re="" wh="" have=0
    }
    while IFS= read -r line || [ -n "$line" ]; do
        lineno=$((lineno + 1))
        line=${line%$'\r'}
        case $line in
        '#'*) continue ;;
        '') flush; continue ;;
        esac
        key=${line%%[:+]*}
        value=${line#"$key"}
        [ "${value:0:1}" = + ] && key+=+
        value=${value:1}
        value=${value# }
        case $key in
        file) f=$value ;;
        find) fd=$value ;;
        find+) fd+=$'\n'$value ;;
        repl) re=$value ;;
        repl+) re+=$'\n'$value ;;
        what) wh=$value ;;
        *) echo "$LIST:$lineno: unknown line: $line" >&2; exit 2 ;;
        esac
        have=1
    done < "$LIST"
    flush
}

# How often the text occurs in the file.
occurrences() { # file text
    FIND=$2 perl -0777 -ne '$n = () = /\Q$ENV{FIND}\E/g; print $n' "$1"
}

# ---- putting files back

child=""
current=""

restore() {
    local saved path
    for saved in "$BACKUP_DIR"/*.orig; do
        [ -e "$saved" ] || continue
        path=$(cat "${saved%.orig}.path")
        # Writing through the old file keeps its mode and inode; the new time stamp makes the
        # next build compile it again, which it must, as the objects hold the slip.
        cat "$saved" > "$path" && rm -f "$saved" "${saved%.orig}.path"
    done
    current=""
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
    current=$path
    FIND=${finds[$i]} REPL=${repls[$i]} perl -0777 -pe 's/\Q$ENV{FIND}\E/$ENV{REPL}/' \
        "$BACKUP_DIR/$i.orig" > "$path"
}

# ---- building and testing

build() { # log [targets...] (default: every test)
    local log=$1
    shift
    run "$log" nice -n 19 cmake --build "$BUILD" -j "$JOBS" --target "${@:-korvane-tests}"
}

# The test programs of a folder (CTest names them after their targets, <folder>_tst_*).
tests_of() { # folder
    ctest --test-dir "$BUILD" -N 2>/dev/null | sed -n -E "s/^ *Test +#[0-9]+: (${1}_[A-Za-z0-9_]+)$/\1/p"
}

# A test's TIMEOUT property outranks ctest --timeout, so the build folder's own test file is given
# the run's timeout (it is generated, and regenerated only when the CMake files change).
set_timeout() {
    local testfile
    for testfile in "$BUILD"/tests/CTestTestfile.cmake; do
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
    build "$log.build.log" || return 125
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

parse_list
count=${#files[@]}
check_only=0
selected=()
filters=()
for arg in "$@"; do
    case $arg in
    --check) check_only=1 ;;
    -h | --help) sed -n '2,/^set -u/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) filters+=("$arg") ;;
    esac
done
for ((i = 0; i < count; i++)); do
    keep=$(( ${#filters[@]} == 0 ))
    for filter in "${filters[@]+"${filters[@]}"}"; do
        if [[ $filter =~ ^[0-9]+$ ]]; then
            [ "$filter" -eq $((i + 1)) ] && keep=1
        else
            filter=${filter%/}
            [[ ${files[$i]} == "$filter" || ${files[$i]} == "$filter"/* ]] && keep=1
        fi
    done
    [ "$keep" = 1 ] && selected+=("$i")
done
if [ ${#selected[@]} -eq 0 ]; then
    echo "No slip of $LIST matches: $*" >&2
    exit 2
fi

folder_of() { echo "${1%%/*}"; }

# ---- stale slips, before anything is built

declare -A stale=()
for i in "${selected[@]}"; do
    path=${files[$i]}
    if [ ! -f "$path" ]; then
        stale[$i]="no file $path"
    else
        n=$(occurrences "$path" "${finds[$i]}")
        [ "$n" = 1 ] || stale[$i]="found $n times"
    fi
done
if [ "$check_only" = 1 ]; then
    for i in "${selected[@]}"; do
        [ -n "${stale[$i]+x}" ] && printf '%3d  stale (%s)  %s: %s\n' $((i + 1)) "${stale[$i]}" "${files[$i]}" "${whats[$i]}"
    done
    echo "${#selected[@]} slips, ${#stale[@]} stale."
    exit 0
fi

# ---- the clean run

mkdir -p "$BUILD" "$LOG_DIR"
restore # a copy left by a run that was killed outright goes back first
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    echo "Configuring $BUILD (Release) ..."
    run "$LOG_DIR/configure.log" cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release ||
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

declare -A killed=() survived=() notviable=() stalecount=()
printf 'number\tfile\toutcome\twhat\tfailed tests\tfailed test functions\n' > "$RESULTS"
total=${#selected[@]}
done_count=0
survivors=()
for i in "${selected[@]}"; do
    done_count=$((done_count + 1))
    path=${files[$i]}
    folder=$(folder_of "$path")
    label=$(printf '[%2d/%d] #%-3d %-32s %s' "$done_count" "$total" $((i + 1)) "$path" "${whats[$i]}")
    detail="" functions=""
    if [ -n "${stale[$i]+x}" ]; then
        outcome="stale"
        detail=${stale[$i]}
        stalecount[$folder]=$(( ${stalecount[$folder]:-0} + 1 ))
    else
        log="$LOG_DIR/slip-$((i + 1))"
        apply_slip "$i" || { echo "Cannot plant slip $((i + 1))."; exit 2; }
        test_slip "$folder" "$log"
        case $? in
        0)
            outcome="SURVIVED"
            survived[$folder]=$(( ${survived[$folder]:-0} + 1 ))
            survivors+=("#$((i + 1)) ${path}: ${whats[$i]}")
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
    fi
    printf '%s\n    -> %s%s\n' "$label" "$outcome" "${detail:+  ($detail)}"
    printf '%d\t%s\t%s\t%s\t%s\t%s\n' $((i + 1)) "$path" "$outcome" "${whats[$i]}" "$detail" "$functions" >> "$RESULTS"
done

# Leave the build folder matching the code again.
build "$LOG_DIR/final-build.log" > /dev/null 2>&1

# ---- summary

echo
echo "Kill rate per folder (killed / (killed + survived)):"
all_k=0 all_s=0 all_n=0 all_t=0
for folder in $(for i in "${selected[@]}"; do folder_of "${files[$i]}"; done | sort -u); do
    k=${killed[$folder]:-0} s=${survived[$folder]:-0} n=${notviable[$folder]:-0} t=${stalecount[$folder]:-0}
    all_k=$((all_k + k)) all_s=$((all_s + s)) all_n=$((all_n + n)) all_t=$((all_t + t))
    rate=$(awk -v k="$k" -v s="$s" 'BEGIN { if (k + s == 0) print "-"; else printf "%.0f%%", 100 * k / (k + s) }')
    printf '  %-8s %5s   %3d killed, %3d survived, %3d not viable, %3d stale\n' "$folder" "$rate" "$k" "$s" "$n" "$t"
done
rate=$(awk -v k="$all_k" -v s="$all_s" 'BEGIN { if (k + s == 0) print "-"; else printf "%.0f%%", 100 * k / (k + s) }')
printf '  %-8s %5s   %3d killed, %3d survived, %3d not viable, %3d stale\n' "all" "$rate" "$all_k" "$all_s" "$all_n" "$all_t"
if [ ${#survivors[@]} -gt 0 ]; then
    echo
    echo "Survivors:"
    printf '  %s\n' "${survivors[@]}"
fi
echo
echo "Per slip: $RESULTS; build and test output: $LOG_DIR/"
