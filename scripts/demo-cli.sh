#!/usr/bin/env bash
# Installs what the build needs, builds Parcelo and demonstrates parcelo-cli: splits a
# generated file, verifies the set and joins it back.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bin=build/bin
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
head -c 5000000 /dev/urandom > "$demo/sample.bin"
mkdir -p "$demo/pieces" "$demo/joined"
"$bin/parcelo-cli" split "$demo/sample.bin" "$demo/pieces" --size 1.38MB --yes
ls -l "$demo/pieces"
"$bin/parcelo-cli" verify --set "$demo/pieces/sample.bin.002"
"$bin/parcelo-cli" join "$demo/pieces/sample.bin.003" "$demo/joined" --yes
cmp "$demo/sample.bin" "$demo/joined/sample.bin" && echo "The joined file equals the original."
