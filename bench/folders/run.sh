#!/usr/bin/env bash
# Folder sets against the usual pipelines: a folder of many small files and one of a few
# large ones, split into 100 MB pieces and joined back, by parcelo-cli (stored, and deflated
# at the fast level) against `tar c | split -b` and `cat | tar x`, and against `zip -r`
# (stored, and level 1) + `split -b` and `cat` + `unzip`. Checksum files, join scripts and
# the flush to disk are left out on both sides. Prints the best of the rounds in seconds.
#
#   bash bench/folders/run.sh [BUILD_DIR] [SMALL_FILES] [LARGE_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
small_files=${2:-10000}
large_mib=${3:-256}
rounds=${4:-3}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/../lib.sh"
bench_work_folder
for tool in tar zip unzip split; do
  command -v "$tool" >/dev/null || { echo "missing $tool (see bench/README.md)" >&2; exit 1; }
done

echo "Making the folders in $work ..." >&2
mkdir -p "$work/small" "$work/large"
for ((i = 0; i < small_files; i++)); do
  mkdir -p "$work/small/d$((i / 100))"
  head -c $((512 + (i * 7919) % 4096)) /dev/urandom >"$work/small/d$((i / 100))/f$i"
done
for i in 1 2 3 4; do bench_random_file "$work/large/part$i.bin" $((large_mib / 4)); done

# The best time of `rounds` runs of a split command and of its join, each into fresh folders.
best() { sort -n | head -1; }
run_pair() {
  local folder=$1 split_command=$2 join_command=$3 s j splits=() joins=()
  for ((r = 0; r < rounds; r++)); do
    rm -rf "$work/out" "$work/back" && mkdir -p "$work/out" "$work/back"
    s=$(date +%s.%N); (cd "$work" && eval "$split_command") >/dev/null 2>&1
    j=$(date +%s.%N); (cd "$work" && eval "$join_command") >/dev/null 2>&1
    splits+=("$(echo "$j - $s" | bc)")
    joins+=("$(echo "$(date +%s.%N) - $j" | bc)")
    diff -r --no-dereference "$work/$folder" "$work/back/$folder" >/dev/null ||
      { echo "the join of $folder differs" >&2; exit 1; }
  done
  printf '%-8s %-28s split %6.2f  join %6.2f\n' "$folder" "$4" \
    "$(printf '%s\n' "${splits[@]}" | best)" "$(printf '%s\n' "${joins[@]}" | best)"
}

quiet="--no-checksums --no-join-script --no-sync -q"
for folder in small large; do
  run_pair "$folder" "'$cli' split $folder out -s 100MB $quiet" \
    "'$cli' join out/$folder.zip.001 back --no-sync -q" "parcelo-cli, stored"
  run_pair "$folder" "'$cli' split $folder out -s 100MB --compress --level fast $quiet" \
    "'$cli' join out/$folder.zip.001 back --no-sync -q" "parcelo-cli, fast"
  run_pair "$folder" "tar c $folder | split -b 100M - out/$folder.tar." \
    "cat out/$folder.tar.* | tar x -C back" "tar | split, cat | tar x"
  run_pair "$folder" "zip -qr0 out/$folder.zip $folder && split -b 100M out/$folder.zip out/$folder.zip. && rm out/$folder.zip" \
    "cat out/$folder.zip.* >back/all.zip && unzip -q back/all.zip -d back && rm back/all.zip" "zip -0 + split, cat + unzip"
  run_pair "$folder" "zip -qr1 out/$folder.zip $folder && split -b 100M out/$folder.zip out/$folder.zip. && rm out/$folder.zip" \
    "cat out/$folder.zip.* >back/all.zip && unzip -q back/all.zip -d back && rm back/all.zip" "zip -1 + split, cat + unzip"
done
