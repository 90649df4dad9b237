#!/bin/bash
# Kills (SIGKILL) parcelo-cli's split and join of a 300 MB file at random moments. Each
# folder then holds temporary files and complete results only: the set either verifies and
# joins back byte for byte, or verify and join both refuse, naming the piece at fault.
set -u
cli=${1:?usage: kill_test.sh PATH-TO-parcelo-cli}
runs=${KILL_RUNS:-10}
work=$(mktemp -d "${TMPDIR:-/tmp}/parcelo-kill.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs parcelo-cli with the arguments after $1 and kills it within $1 milliseconds.
killed_run() {
    local limit=$1
    shift
    "$cli" "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep "$(printf '0.%03d' $((RANDOM % limit)))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# Every file in folder $1 is a final name matching $2, a temporary file, or a checksum
# file or join script a split writes beside its pieces.
only_results_and_temporaries() {
    local name
    for name in $(ls "$1"); do
        case $name in
        *.parcelo-tmp-??????) ;;
        *.sha256 | *.join.sh | *.join.cmd) ;;
        $2) ;;
        *) fail "unexpected file $1/$name" ;;
        esac
    done
}

# One megabyte of random bytes, repeated: no holes, quick to make.
head -c 1048576 /dev/urandom >"$work/block"
for _ in $(seq 300); do cat "$work/block"; done >"$work/big.bin"
rm "$work/block"

mkdir "$work/set" "$work/out"
"$cli" split "$work/big.bin" "$work/set" --size 10MB >/dev/null || fail "reference split"

for i in $(seq "$runs"); do
    pieces=$work/pieces$i
    mkdir "$pieces"
    killed_run 500 split "$work/big.bin" "$pieces" --size 10MB
    only_results_and_temporaries "$pieces" 'big.bin.[0-9][0-9][0-9]'
    for piece in "$pieces"/big.bin.[0-9][0-9][0-9]; do
        [ -e "$piece" ] || continue
        cmp -s "$piece" "$work/set/${piece##*/}" || fail "split run $i left an incomplete $piece"
    done
    if [ -e "$pieces/big.bin.001" ]; then
        verdict=$("$cli" verify --set "$pieces/big.bin.001" 2>&1)
        verified=$?
        joined=$("$cli" join "$pieces/big.bin.001" "$pieces" 2>&1)
        joinedStatus=$?
        if [ $verified -eq 0 ]; then
            [ $joinedStatus -eq 0 ] && cmp -s "$work/big.bin" "$pieces/big.bin" ||
                fail "split run $i: set verified but did not join byte for byte: $joined"
        else
            [ $joinedStatus -ne 0 ] || fail "split run $i: join accepted a set verify refused"
            echo "$verdict" | grep -q "big.bin.[0-9]" ||
                fail "split run $i: verify refused without naming a piece: $verdict"
            echo "$joined" | grep -q "big.bin.[0-9]" ||
                fail "split run $i: join refused without naming a piece: $joined"
        fi
    fi
    rm -rf "$pieces"

    killed_run 250 join "$work/set/big.bin.001" "$work/out"
    only_results_and_temporaries "$work/out" big.bin
    if [ -e "$work/out/big.bin" ]; then
        cmp -s "$work/big.bin" "$work/out/big.bin" || fail "join run $i left a damaged big.bin"
    fi
    rm -f "$work/out/"*
done

[ $failures -eq 0 ] && echo "kill test: $runs killed splits and $runs killed joins, all sound"
exit $((failures > 0))
