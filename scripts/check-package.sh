#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks it as a user would
# meet it: lintian, its contents and dependencies, the hardening of its programs, the
# desktop entry and piece type, and the programs run from the unpacked tree with a fresh
# HOME (the user's folders take over): read-only as another user, and as the user running
# this (root in CI), after which the tree is as it was.
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

# Debian's checks: no error and no warning
lintian --fail-on error,warning "$deb" \
  || fail "lintian found problems in $(basename "$deb")"

# contents and dependencies
listing=$(dpkg-deb -c "$deb")
for path in usr/bin/Parcelo usr/bin/parcelo-cli \
    usr/lib/parcelo/Parcelo usr/lib/parcelo/PcxAssembler usr/lib/parcelo/parcelo-cli \
    usr/lib/parcelo/config.xml usr/lib/parcelo/Parcelo.html usr/lib/parcelo/parcelo.installed \
    usr/share/applications/Parcelo.desktop usr/share/icons/hicolor/scalable/apps/parcelo.svg \
    usr/share/mime/packages/parcelo.xml \
    usr/share/man/man1/parcelo-cli.1.gz usr/share/man/man1/Parcelo.1.gz \
    usr/share/bash-completion/completions/parcelo-cli \
    usr/share/doc/parcelo/copyright usr/share/doc/parcelo/changelog.gz; do
  grep -q " \./$path\( ->\|$\)" <<< "$listing" || fail "the package lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libzip4 libdeflate0; do
  grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/unpacked"
programs="$work/unpacked/usr/lib/parcelo"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$programs/parcelo-cli" --version | head -n 1)" = "parcelo-cli (Parcelo) $version" ] \
  || fail "parcelo-cli --version does not name the package's version $version"

# hardening: position-independent, full RELRO, stack protector, fortified C library calls
for program in Parcelo PcxAssembler parcelo-cli; do
  elf="$programs/$program"
  readelf -h "$elf" | grep -q "Type: *DYN" || fail "$program is not position-independent"
  readelf -l "$elf" | grep -q GNU_RELRO || fail "$program has no RELRO segment"
  readelf -d "$elf" | grep -q "BIND_NOW\|FLAGS_1.*NOW" || fail "$program is not bound now"
  symbols=$(nm -D "$elf")
  grep -q "__stack_chk_fail" <<< "$symbols" || fail "$program has no stack protector"
  grep -q "__[a-z]*_chk@" <<< "$symbols" || fail "$program calls no fortified function"
done

# the desktop entry, and the piece type found by a piece's header and by .001
desktop-file-validate "$work/unpacked/usr/share/applications/Parcelo.desktop"
file -L "$work/unpacked/usr/bin/Parcelo" | grep -q ELF || fail "bin/Parcelo is no program"
mkdir -p "$work/mime/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$work/unpacked/usr/share/mime/packages/parcelo.xml" \
  "$work/mime/mime/packages/"
XDG_DATA_DIRS="$work/mime" update-mime-database "$work/mime/mime"
head -c 3000 /dev/urandom > "$work/sample.bin"
"$work/unpacked/usr/bin/parcelo-cli" split "$work/sample.bin" "$work" --pieces 3 -q > /dev/null
mv "$work/sample.bin.002" "$work/second-piece"
type_of() { # FILE
  XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$work/mime" \
    gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'
}
for file in sample.bin.001 second-piece; do
  [ "$(type_of "$work/$file")" = application/x-parcelo-piece ] \
    || fail "$file is of type $(type_of "$work/$file"), not a Parcelo piece"
done
[ "$(type_of "$work/sample.bin")" != application/x-parcelo-piece ] \
  || fail "a file that is no piece is taken for one"

cp -a "$work/unpacked" "$work/ro"
chmod -R a-w "$work/ro"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
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

# The programs of an unpacked tree: parcelo-cli splits and joins; Parcelo starts, copies
# its options and writes its log in the user's folders, and the installed-program test
# drives it through Save Options, a split, a join and Exit.
check_programs() { # TREE
  local tree=$1 home tests
  home=$(fresh_home)
  run "$home" "$tree/usr/bin/parcelo-cli" --help > /dev/null
  head -c 300000 /dev/urandom > "$home/sample.bin"
  chmod 644 "$home/sample.bin"
  run "$home" mkdir "$home/pieces" "$home/joined"
  run "$home" "$tree/usr/bin/parcelo-cli" split "$home/sample.bin" "$home/pieces" --pieces 3 > /dev/null
  run "$home" "$tree/usr/bin/parcelo-cli" join "$home/pieces/sample.bin.002" "$home/joined" > /dev/null
  cmp "$home/sample.bin" "$home/joined/sample.bin" || fail "parcelo-cli joined a different file"

  home=$(fresh_home)
  run "$home" "$tree/usr/bin/Parcelo" > "$work/parcelo.out" 2>&1 &
  local pid=$!
  for _ in $(seq 50); do
    [ -s "$home/.local/share/Parcelo/Parcelo.log" ] && [ -s "$home/.config/Parcelo/config.xml" ] && break
    sleep 0.2
  done
  kill -0 "$pid" 2> /dev/null || { cat "$work/parcelo.out" >&2; fail "Parcelo did not keep running"; }
  kill "$pid"
  wait "$pid" || true
  [ -s "$home/.local/share/Parcelo/Parcelo.log" ] || fail "Parcelo wrote no log"
  cmp -s "$home/.config/Parcelo/config.xml" "$tree/usr/lib/parcelo/config.xml" \
    || fail "Parcelo did not copy its options to the user's configuration folder"
  for folder in Pieces Joined; do
    [ -d "$home/Parcelo/$folder" ] || fail "Parcelo made no ~/Parcelo/$folder"
  done

  home=$(fresh_home)
  tests="$build/bin/installed_program_tests"
  [ ${#as_user[@]} -eq 0 ] || tests="$work/installed_program_tests"
  run "$home" env PARCELO_INSTALLED_FOLDER="$tree/usr/lib/parcelo" "$tests" --gtest_brief=1
}

# A read-only copy, run by a user who cannot write it (root writes anything, so root runs
# the programs as nobody)
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
check_programs "$work/ro"
# a lost piece of a set in a folder it cannot write is rebuilt beside the joined file for
# the join only; both folders then hold just what they held and the joined file
home=$(fresh_home)
head -c 300000 /dev/urandom > "$home/sample.bin"
chmod 644 "$home/sample.bin"
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

# The tree as unpacked, run by whoever runs this (root in CI, who may write anything):
# installed, the programs still write only in the user's folders, so the tree is as it
# was (`dpkg -V` stays clean and removing the package leaves no folder)
as_user=()
tree_state() { (cd "$work/unpacked" && find . -printf '%p %M %s %T@\n' | sort); }
shipped=$(tree_state)
check_programs "$work/unpacked"
[ "$(tree_state)" = "$shipped" ] || fail "running the programs changed their installed tree:
$(diff <(echo "$shipped") <(tree_state))"
echo "check-package: $(basename "$deb") passed"
