#!/usr/bin/env bash
# Sets made by an earlier build, kept as they were written: each must still verify,
# repair and join byte for byte to the file it was split from. A change that alters a
# format's writer and reader together fails here.
#   pinned_sets.sh PARCELO_CLI
set -euo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# set folder, first piece, joined file's name, damage to do before the repair (or "")
check() {
  local set=$1 piece=$2 name=$3 damage=$4
  local dir="$work/$set" out="$work/$set-out"
  cp -r "$here/sets/$set" "$dir"
  mkdir "$out"
  "$cli" verify --set "$dir/$piece" -q >/dev/null || fail "$set: verify --set"
  if [ -n "$damage" ]; then
    eval "$damage"
    "$cli" repair "$dir/$piece" -q >/dev/null || fail "$set: repair"
    "$cli" verify --set "$dir/$piece" -q >/dev/null || fail "$set: verify after repair"
  fi
  "$cli" join "$dir/$piece" "$out" -q >/dev/null || fail "$set: join"
  local want got
  want=$(grep "  $name\$" "$here/sets/SHA256SUMS" | cut -d' ' -f1)
  got=$(sha256sum "$out/$name" 2>/dev/null | cut -d' ' -f1 || true)
  [ "$got" = "$want" ] || fail "$set: $name joined to $got, not $want"
}

check bytes bytes.bin.002 bytes.bin ""
check compressed report.txt.zip.001 report.txt ""
check lines notes.txt.003 notes.txt ""
check diskette disk.img.001 disk.img ""
check recovery repair.bin.001 repair.bin 'rm "$dir/repair.bin.002"; printf X | dd of="$dir/repair.bin.003" bs=1 seek=100 conv=notrunc status=none'

[ "$failures" -eq 0 ] || exit 1
echo "pinned sets: all verified, repaired and joined byte for byte"
