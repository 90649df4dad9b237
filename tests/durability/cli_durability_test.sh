#!/bin/bash
# Runs parcelo-cli's splits and joins with the sync shim preloaded and reads its log:
# every file a job leaves was synced before it took its name, its folder after its last
# rename, and --no-sync syncs nothing. Then the limits: a file size limit (ulimit -f) is
# told as one, and a job leaves nothing behind.
set -u
cli=${1:?usage: cli_durability_test.sh PATH-TO-parcelo-cli PATH-TO-sync_shim.so}
shim=${2:?usage: cli_durability_test.sh PATH-TO-parcelo-cli PATH-TO-sync_shim.so}
work=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/parcelo-durable.XXXXXX")")
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs parcelo-cli with the shim logging into $work/log (emptied first).
logged() {
    : >"$work/log"
    SYNC_SHIM_LOG=$work/log LD_PRELOAD=$shim "$cli" "$@" --yes >/dev/null 2>&1
}

# Each rename of the log as "TARGET SYNCED-BEFORE FOLDER-SYNCED-AFTER" (1 or 0).
renames() {
    awk -F '\t' '
        $1 == "fdatasync" || $1 == "fsync" { synced[$2] = NR }
        $1 == "fsync" { folderSynced[$2] = NR }
        $1 == "rename" { n++; target[n] = $3; line[n] = NR; before[n] = ($2 in synced) }
        END {
            for (i = 1; i <= n; i++) {
                folder = target[i]; sub(/\/[^\/]*$/, "", folder)
                print target[i] "\t" before[i] "\t" (folderSynced[folder] > line[i])
            }
        }' "$work/log"
}

# Every file the job left was synced before its rename and its folder after; a file the
# job deleted again (a compressed copy it split) need not be.
check_synced() {
    local target before after kept=0
    while IFS=$'\t' read -r target before after; do
        [ -e "$target" ] || continue
        kept=$((kept + 1))
        [ "$before" = 1 ] || fail "$1: $target took its name before its data was synced"
        [ "$after" = 1 ] || fail "$1: the folder of $target was not synced after its rename"
    done < <(renames)
    [ "$kept" -gt 0 ] || fail "$1: no file was written"
}

head -c 1500000 /dev/urandom >"$work/big.bin"
for i in $(seq 20000); do echo "line $i"; done >"$work/lines.txt"

# name | command | expectation
while IFS='|' read -r name command expect; do
    out=$work/$name
    mkdir "$out"
    eval "set -- $command"
    logged "$@" || fail "$name: parcelo-cli failed"
    case $expect in
    synced) check_synced "$name" ;;
    unsynced) ! grep -qE '^(fsync|fdatasync|sync_file_range)' "$work/log" ||
        fail "$name: synced with --no-sync" ;;
    esac
done <<'ROWS'
bytes|split "$work/big.bin" "$out" --size 200KB --recovery 2|synced
lines|split "$work/lines.txt" "$out" --lines 5000|synced
compressed|split "$work/big.bin" "$out" --size 700KB --compress|synced
compressed into one piece|compress "$work/big.bin" "$out"|synced
join|join "$work/bytes/big.bin.003" "$out"|synced
join and decompress|join "$work/compressed/big.bin.zip.001" "$out"|synced
no sync|split "$work/big.bin" "$out" --size 200KB --no-sync|unsynced
ROWS

exit $((failures > 0))
