#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks it as a user would
# meet it: its contents and dependencies, the desktop entry, and the programs run from a
# read-only copy of the unpacked tree with a fresh HOME (the user's folders take over).
# Usage: scripts/check-package.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target all installed_program_tests
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" > "$build/cpack.log") \
  || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/package/parcelo_*.deb)

# contents and dependencies
listing=$(dpkg-deb -c "$deb")
for path in usr/bin/Parcelo usr/bin/parcelo-cli \
    usr/lib/parcelo/Parcelo usr/lib/parcelo/PcxAssembler usr/lib/parcelo/parcelo-cli \
    usr/lib/parcelo/config.xml usr/lib/parcelo/Parcelo.html \
    usr/share/applications/Parcelo.desktop usr/share/icons/hicolor/scalable/apps/parcelo.svg \
    usr/share/man/man1/parcelo-cli.1.gz usr/share/man/man1/Parcelo.1.gz \
    usr/share/bash-completion/completions/parcelo-cli; do
  grep -q " \./$path\( ->\|$\)" <<< "$listing" || fail "the package lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libzip4; do
  grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/unpacked"
desktop-file-validate "$work/unpacked/usr/share/applications/Parcelo.desktop"
file -L "$work/unpacked/usr/bin/Parcelo" | grep -q ELF || fail "bin/Parcelo is no program"

# A read-only copy, run by a user who cannot write it (root writes anything, so root runs
# the programs as nobody).
cp -a "$work/unpacked" "$work/ro"
chmod -R a-w "$work/ro"
programs="$work/ro/usr/lib/parcelo"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  cp "$build/bin/installed_program_tests" "$work/"
  chmod 755 "$work"
fi
fresh_home() {
  local home
  home=$(mktemp -d "$work/home.XXXXXX")
  mkdir -m 700 "$home/run"
  [ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$home"
  echo "$home"
}
run() { # HOME COMMAND...
  local home=$1
  shift
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" \
    XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$@"
}

# parcelo-cli: a split and a join, nothing written beside the program
home=$(fresh_home)
run "$home" "$work/ro/usr/bin/parcelo-cli" --help > /dev/null
head -c 300000 /dev/urandom > "$home/sample.bin"
chmod 644 "$home/sample.bin"
run "$home" mkdir "$home/pieces" "$home/joined"
run "$home" "$work/ro/usr/bin/parcelo-cli" split "$home/sample.bin" "$home/pieces" --pieces 3 > /dev/null
run "$home" "$work/ro/usr/bin/parcelo-cli" join "$home/pieces/sample.bin.002" "$home/joined" > /dev/null
cmp "$home/sample.bin" "$home/joined/sample.bin" || fail "parcelo-cli joined a different file"
# a lost piece of a set in a folder it cannot write is rebuilt beside the joined file for
# the join only; both folders then hold just what they held and the joined file
run "$home" mkdir "$home/kept" "$home/rejoined"
run "$home" "$work/ro/usr/bin/parcelo-cli" split "$home/sample.bin" "$home/kept" --pieces 4 \
  --recovery 1 > /dev/null
rm "$home/kept/sample.bin.003"
chmod a-w "$home/kept"
before=$(ls -l "$home/kept")
said=$(run "$home" "$work/ro/usr/bin/parcelo-cli" join "$home/kept/sample.bin.001" "$home/rejoined" 2>&1)
grep -q "Rebuilt from the recovery pieces: sample.bin.003" <<< "$said" \
  || fail "the join did not rebuild the lost piece: $said"
cmp "$home/sample.bin" "$home/rejoined/sample.bin" || fail "the repaired join differs"
[ "$(ls -A "$home/rejoined")" = sample.bin ] || fail "the repair left files beside the joined file"
[ "$(ls -l "$home/kept")" = "$before" ] || fail "the join changed a folder it cannot write"
# run from a folder it may write, it still makes nothing there
"$work/unpacked/usr/bin/parcelo-cli" verify --set "$home/pieces/sample.bin.002" > /dev/null
[ "$(ls "$work/unpacked/usr/lib/parcelo" | wc -l)" -eq 5 ] \
  || fail "parcelo-cli made a file or folder beside itself"

# Parcelo itself starts, copies its options and writes its log in the user's folders
home=$(fresh_home)
run "$home" "$work/ro/usr/bin/Parcelo" > "$work/parcelo.out" 2>&1 &
pid=$!
for _ in $(seq 50); do
  [ -s "$home/.local/share/Parcelo/Parcelo.log" ] && [ -s "$home/.config/Parcelo/config.xml" ] && break
  sleep 0.2
done
kill -0 "$pid" 2> /dev/null || { cat "$work/parcelo.out" >&2; fail "Parcelo did not keep running"; }
kill "$pid"
wait "$pid" || true
[ -s "$home/.local/share/Parcelo/Parcelo.log" ] || fail "Parcelo wrote no log"
cmp -s "$home/.config/Parcelo/config.xml" "$programs/config.xml" \
  || fail "Parcelo did not copy its options to the user's configuration folder"
for folder in Pieces Joined; do
  [ -d "$home/Parcelo/$folder" ] || fail "Parcelo made no ~/Parcelo/$folder"
done

# The same start driven through Save Options, a split, a join and Exit
home=$(fresh_home)
tests="$build/bin/installed_program_tests"
[ ${#as_user[@]} -eq 0 ] || tests="$work/installed_program_tests"
run "$home" env PARCELO_INSTALLED_FOLDER="$programs" "$tests" --gtest_brief=1
echo "check-package: $(basename "$deb") passed"
