#include "integrity/join_script.h"

#include "integrity/checksum_file.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

namespace parcelo {

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// The template with each @@KEY@@ replaced by its value, in one pass: nothing a value
// holds is ever read as a key.
std::string filled(const std::string& text, const Values& values)
{
    std::string out;
    std::size_t at = 0;
    for (std::size_t open = text.find("@@"); open != std::string::npos;
         open = text.find("@@", at)) {
        const std::size_t close = text.find("@@", open + 2);
        const std::string key = text.substr(open + 2, close - open - 2);
        out += text.substr(at, open - at);
        for (const auto& [name, value] : values) {
            if (name == key)
                out += value;
        }
        at = close + 2;
    }
    return out + text.substr(at);
}

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string replaced(std::string text, char what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, 1, with);
    return text;
}

// text between single quotes: the shell reads every byte of it as data.
std::string shQuoted(const std::string& text)
{
    std::string quoted(1, '\'');
    quoted += replaced(text, '\'', "'\\''");
    quoted += '\'';
    return quoted;
}

// The line that sets variable to value. A value with control characters (a line break
// in a file name) is spelled as octal escapes of a printf format, so that the script
// holds printable text only; the "_" around it keep printf from reading a leading "-" as
// an option and the command substitution from cutting off a final line break.
std::string shAssignment(const std::string& variable, const std::string& value)
{
    if (std::none_of(value.begin(), value.end(), isControl))
        return variable + "=" + shQuoted(value);
    std::string format = "_";
    for (const char c : value) {
        if (isControl(c)) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned char>(c));
            format += octal;
        } else {
            format += c == '\\'  ? std::string("\\\\")
                      : c == '%' ? std::string("%%")
                                 : std::string(1, c);
        }
    }
    return variable + "=$(printf " + shQuoted(format + "_") + "); " + variable + "=${" + variable
           + "#_}; " + variable + "=${" + variable + "%_}";
}

// How NAME.sha256 spells the set's name: "listed" as its lines give it, "esc" the
// backslash such lines start with (sha256sum escapes a name holding "\" or a line break).
std::string shListedName(const std::string& name)
{
    const std::string hash(64, '0');
    std::string line = checksumLine(hash, name);
    const bool escaped = line.front() == '\\';
    line.pop_back(); // the line break
    return shAssignment("listed", line.substr(line.find(hash) + hash.size() + 2))
           + "\nesc=" + (escaped ? "'\\'" : "''");
}

std::string afterJoinNote(const JoinScriptSet& set)
{
    if (set.compressed && set.encrypted)
        return std::string(" ") + kEncryptedArchiveNote;
    return set.compressed ? " It is a compressed archive: open it with any archive tool." : "";
}

const char* const kShellTemplate = R"sh(#!/bin/sh
# parcelo-join-script: written by Parcelo beside the pieces of a split.
# Joins the pieces beside it back into the file they were split from (named in the
# line "name=" below), checking them first with the checksum file beside them when
# sha256sum or shasum is installed.
# Usage: sh <this script> [--force]   (--force replaces an existing file)
if [ -n "${ZSH_VERSION-}" ]; then emulate sh; fi
set -u
LC_ALL=C
export LC_ALL
@@NAME@@
@@LISTED@@
@@REPAIR@@
count=@@COUNT@@

usage() {
  printf 'Usage: sh %s [--force]\n' "$0"
  printf 'Joins the pieces of %s back into it, checking them first with %s.sha256\n' "$name" "$name"
  printf 'when sha256sum or shasum is installed.\n'
  printf '  --force  replace %s when it exists\n' "$name"
  printf '  --help   show this text\n'
}

force=no
case ${1-} in
  '') ;;
  --force) force=yes ;;
  --help | -h) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
esac
if [ $# -gt 1 ]; then usage >&2; exit 2; fi
case $0 in
  /*) cd "${0%/*}/" || exit 1 ;;
  */*) cd "./${0%/*}/" || exit 1 ;;
esac

# The name of piece $1: name.001, name.002 ... name.1000
piece_of() {
  case $1 in
    ?) piece=$name.00$1 ;;
    ??) piece=$name.0$1 ;;
    *) piece=$name.$1 ;;
  esac
}

not_joined() {
  printf 'Damaged or missing pieces: %s was not joined.\n' "$name" >&2
  for r in "./$name".rec[0-9][0-9][0-9] "./$name".rec[0-9][0-9][0-9][0-9]; do
    if [ -f "$r" ]; then
      printf 'Parcelo can rebuild it from the recovery pieces here: parcelo-cli repair %s\n' "$repair" >&2
      break
    fi
  done
  exit 1
}

refuse_link_or_folder() {
  if [ -L "./$name" ] || [ -d "./$name" ]; then
    printf '%s is a link or a folder and was not replaced.\n' "$name" >&2
    exit 1
  fi
}

# Sets h_N to the hash NAME.sha256 lists for piece N; fails unless it lists every piece
# once. Only lines naming a piece count (recovery pieces are optional); the name is
# matched as a fixed string, never as a pattern.
read_sums() {
  sums=$(head -c 67108864 < "./$name.sha256" | grep -F -e "$listed.") || return 1
  found=0
  twice=no
  cr=$(printf '\r')
  saved_ifs=$IFS
  IFS='
'
  set -f
  for line in $sums; do
    line=${line%"$cr"}
    case $line in
      "$esc"*) line=${line#"$esc"} ;;
      *) continue ;;
    esac
    hash=${line%%' '*}
    rest=${line#"$hash"}
    case $hash in *[!0-9A-Fa-f]*) continue ;; esac
    [ ${#hash} -eq 64 ] || continue
    case $rest in
      '  '* | ' *'*) rest=${rest#??} ;;
      ' '*) rest=${rest#?} ;;
      *) continue ;;
    esac
    case $rest in
      "$listed".*) number=${rest#"$listed".} ;;
      *) continue ;;
    esac
    case $number in
      '' | *[!0-9]* | ??????*) continue ;;
      ???) ;;
      0*) continue ;;
      ????*) ;;
      *) continue ;;
    esac
    number=${number#0}
    number=${number#0}
    [ "$number" -ge 1 ] && [ "$number" -le $count ] || continue
    case $hash in *[A-F]*) hash=$(printf '%s' "$hash" | tr A-F a-f) ;; esac
    eval "seen=\${h_$number-}"
    if [ -n "$seen" ]; then twice=yes; continue; fi
    eval "h_$number=\$hash"
    found=$((found + 1))
  done
  IFS=$saved_ifs
  set +f
  [ $found -eq $count ] && [ $twice = no ]
}

check_pieces() {
  bad=no
  i=1
  while [ $i -le $count ]; do
    piece_of $i
    eval "want=\$h_$i"
    if [ ! -f "./$piece" ]; then
      printf '%s: MISSING\n' "$piece"
      bad=yes
    elif got=$($hasher < "./$piece") && [ "${got%% *}" = "$want" ]; then
      printf '%s: OK\n' "$piece"
    else
      printf '%s: FAILED\n' "$piece"
      bad=yes
    fi
    i=$((i + 1))
  done
  [ $bad = no ]
}

refuse_link_or_folder
if { [ -e "./$name" ] || [ -L "./$name" ]; } && [ $force = no ]; then
  printf '%s already exists and was not replaced (run with --force to replace it).\n' "$name" >&2
  exit 1
fi

if command -v sha256sum >/dev/null 2>&1; then hasher=sha256sum
elif command -v shasum >/dev/null 2>&1; then hasher='shasum -a 256'
else hasher=''; fi
if [ ! -f "./$name.sha256" ]; then
  printf 'No %s.sha256 here: the pieces are joined unchecked.\n' "$name"
elif [ -z "$hasher" ]; then
  echo "No sha256sum or shasum here: the pieces are joined unchecked."
elif ! read_sums; then
  printf '%s.sha256 does not list the pieces of this set; it was not used.\n' "$name"
  echo "The pieces are joined unchecked."
elif ! check_pieces; then
  not_joined
fi

i=1
while [ $i -le $count ]; do
  piece_of $i
  if [ ! -f "./$piece" ]; then
    printf 'Missing piece: %s\n' "$piece" >&2
    not_joined
  fi
  i=$((i + 1))
done

# The joined bytes go to a new file of a short name of its own (created exclusively, so
# never through a planted link) and take the final name when complete.
tmp=$(mktemp ./.parcelo-join.XXXXXX) || exit 1
trap 'rm -f "$tmp"' EXIT
trap 'exit 1' HUP INT TERM
chmod "$(printf '%o' $((0666 & ~0$(umask))))" "$tmp" || exit 1
i=1
while [ $i -le $count ]; do
  piece_of $i
  @@STRIP@@ < "./$piece" || exit 1
  i=$((i + 1))
done >> "$tmp"

refuse_link_or_folder
if [ $force = yes ]; then mv -f "$tmp" "./$name" || exit 1
elif ln "$tmp" "./$name" 2>/dev/null; then rm -f "$tmp"
elif [ -e "./$name" ] || [ -L "./$name" ]; then
  printf '%s appeared meanwhile and was not replaced.\n' "$name" >&2
  exit 1
else mv "$tmp" "./$name" || exit 1
fi
printf '%s\n' "Joined $count pieces into $name.@@NOTE@@"
)sh";

// The PowerShell program of the .cmd, one statement or block a line here; cmd gets it as
// one line. See cmdJoinScript for what it may hold.
const char* const kPowerShellTemplate = R"ps(
$ErrorActionPreference='Stop';
trap { Write-Host $_; exit 1 };
$n=[Text.Encoding]::UTF8.GetString([Convert]::FromBase64String('@@NAME64@@'));
$c=@@COUNT@@;
$d=[IO.Directory]::GetCurrentDirectory();
$force=($env:PARCELO_FORCE -eq '1');
$t=$null;
$j=[IO.Path]::Combine($d,$n);
$pieces=@(for ($i=1; $i -le $c; $i++) { '{0}.{1:D3}' -f $n,$i });
function Full($f) { [IO.Path]::Combine($d,$f) };
function NotJoined {
  Write-Host ('Damaged or missing pieces: ' + $n + ' was not joined.');
  $rec=@();
  try { $rec=@([IO.Directory]::GetFiles($d,$n + '.rec*') | Where-Object { $_ -match '\.rec[0-9]+$' }) } catch { };
  if ($rec.Length -gt 0) { Write-Host ('Parcelo can rebuild it from the recovery pieces here: parcelo-cli repair ' + [char]34 + $n + '.001' + [char]34) };
  exit 1 };
function RefuseLinkOrFolder {
  if ([IO.Directory]::Exists($j) -or ([IO.File]::Exists($j) -and (([int]([IO.File]::GetAttributes($j)) -band 1024) -ne 0))) {
    if ($t) { [IO.File]::Delete($t) };
    Write-Host ($n + ' is a link or a folder and was not replaced.'); exit 1 } };
RefuseLinkOrFolder;
if (([IO.File]::Exists($j) -or [IO.Directory]::Exists($j)) -and -not $force) { Write-Host ($n + ' already exists and was not replaced (run with /force to replace it).'); exit 1 };
$r=Full ($n + '.sha256');
if (-not [IO.File]::Exists($r)) { Write-Host ('No ' + $n + '.sha256 here: the pieces are joined unchecked.') }
else {
  $want=@{}; $twice=$false; $isPiece=@{};
  foreach ($p in $pieces) { $isPiece[$p]=1 };
  if ((New-Object IO.FileInfo $r).Length -le 67108864) {
    foreach ($l in [IO.File]::ReadAllLines($r)) {
      if ($l -match '^\\?([0-9A-Fa-f]{64}) [ *]?(.+)$' -and $isPiece.ContainsKey($Matches[2])) {
        if ($want.ContainsKey($Matches[2])) { $twice=$true };
        $want[$Matches[2]]=$Matches[1] } } };
  if ($twice -or $want.Count -ne $c) { Write-Host ($n + '.sha256 does not list the pieces of this set; it was not used.'); Write-Host 'The pieces are joined unchecked.' }
  else {
    $bad=$false;
    foreach ($p in $pieces) {
      if (-not [IO.File]::Exists((Full $p))) { Write-Host ($p + ': MISSING'); $bad=$true }
      else {
        $s=[IO.File]::OpenRead((Full $p));
        try { $h=[BitConverter]::ToString((New-Object Security.Cryptography.SHA256CryptoServiceProvider).ComputeHash($s)).Replace('-','') } finally { $s.Close() };
        if ($h -eq $want[$p]) { Write-Host ($p + ': OK') } else { Write-Host ($p + ': FAILED'); $bad=$true } } };
    if ($bad) { NotJoined } } };
foreach ($p in $pieces) { if (-not [IO.File]::Exists((Full $p))) { Write-Host ('Missing piece: ' + $p); NotJoined } };
$t=Full ('.parcelo-join.' + [IO.Path]::GetRandomFileName());
$o=[IO.File]::Open($t,'CreateNew','Write','None');
$buf=New-Object byte[] 1048576;
try {
  foreach ($p in $pieces) {
    $s=[IO.File]::OpenRead((Full $p));
    try { @@SKIP@@; while (($k=$s.Read($buf,0,$buf.Length)) -gt 0) { $o.Write($buf,0,$k) } } finally { $s.Close() } };
  $o.Close() }
catch { $o.Close(); [IO.File]::Delete($t); Write-Host $_; exit 1 };
RefuseLinkOrFolder;
try {
  if ($force -and [IO.File]::Exists($j)) { [IO.File]::Delete($j) };
  [IO.File]::Move($t,$j) }
catch {
  [IO.File]::Delete($t);
  if (-not $force -and [IO.File]::Exists($j)) { Write-Host ($n + ' appeared meanwhile and was not replaced.') } else { Write-Host $_ };
  exit 1 };
Write-Host ('Joined ' + $c + ' pieces into ' + $n + '.@@NOTE@@')
)ps";

// The .cmd around it. How cmd reads the line that starts PowerShell, and why no file
// name can turn it into code:
// - %...% is expanded first, everywhere on the line, quotes or not: the program holds no
//   percent sign.
// - A double quote starts or ends a quoted part, inside which & | < > ^ ( ) are plain
//   text: the program holds no double quote, so it is one quoted part from end to end.
// - ! expands only with delayed expansion, which setlocal turns off; the program holds
//   none either.
// - The line may be 8191 characters long; the program is a few thousand.
// PowerShell gets the quoted text whole as its -Command (its own argument parsing treats a
// backslash specially only before a double quote). The file name is in the program only
// as base64 of its UTF-8 bytes (letters, digits, + / =), decoded by PowerShell into a
// string that is only ever passed to .NET calls: no quote of any kind (PowerShell also
// ends single-quoted strings at the curly quotes U+2018 to U+201B), line break or control
// character of a name ever reaches cmd or PowerShell's parser. The name is in no comment
// and no echo. The console is switched to UTF-8 (chcp 65001, its code page restored
// afterwards) when the name has other than ASCII characters.
const char* const kCmdTemplate = R"cmd(@echo off
rem parcelo-join-script: written by Parcelo beside the pieces of a split.
rem Joins the pieces beside it back into the file they were split from, checking
rem them first with the checksum file beside them.
rem Usage: this script [/force]   (/force replaces an existing file)
setlocal EnableExtensions DisableDelayedExpansion
set "PARCELO_FORCE="
set "PARCELO_RC=2"
if "%~1"=="" goto join
if /i "%~1"=="/force" set "PARCELO_FORCE=1"
if defined PARCELO_FORCE if "%~2"=="" goto join
if "%~1"=="/?" set "PARCELO_RC=0"
if /i "%~1"=="/help" set "PARCELO_RC=0"
echo Usage: this script [/force]
echo Joins the pieces beside it back into the file they were split from, checking
echo them first with the checksum file beside them.
echo   /force  replace the joined file when it exists
echo   /help   show this text
exit /b %PARCELO_RC%
:join
pushd "%~dp0" || exit /b 1
@@CHCP@@powershell -NoProfile -ExecutionPolicy Bypass -Command "@@PS@@"
set "PARCELO_RC=%ERRORLEVEL%"
@@RESTORE@@popd
exit /b %PARCELO_RC%
)cmd";

const char* const kUtf8Console =
    "for /f \"tokens=2 delims=:.\" %%c in ('chcp') do set /a \"PARCELO_CP=%%c\" >nul 2>nul\n"
    "chcp 65001 >nul\n";
const char* const kRestoreConsole = "if defined PARCELO_CP chcp %PARCELO_CP% >nul 2>nul\n";

// The program on one line: each line break and the indent after it become one space.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n') {
            line += text[at];
            continue;
        }
        while (at + 1 < text.size() && text[at + 1] == ' ')
            ++at;
        if (!line.empty() && at + 1 < text.size())
            line += ' ';
    }
    return line;
}

std::string base64(const std::string& bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool isAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Lines end in CR LF, as cmd reads them best.
std::string withCrLf(const std::string& text)
{
    return replaced(text, '\n', "\r\n");
}

SafeOutput prepareText(const std::string& path, const std::string& text, bool executable)
{
    removeStaleTemporaries(path);
    SafeOutput output(path);
    output.file().write(text);
    if (executable) {
        std::error_code ignored; // a folder without permissions still gets the script
        std::filesystem::permissions(output.temporaryPath(),
                                     std::filesystem::perms::owner_exec
                                         | std::filesystem::perms::group_exec
                                         | std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add, ignored);
    }
    return output;
}

} // namespace

std::string shellJoinScript(const JoinScriptSet& set)
{
    return filled(kShellTemplate, {{"NAME", shAssignment("name", set.name)},
                                   {"LISTED", shListedName(set.name)},
                                   {"REPAIR", shAssignment("repair", shQuoted(set.name + ".001"))},
                                   {"COUNT", std::to_string(set.pieceCount)},
                                   {"STRIP", set.lineSet ? "tail -n +2"
                                             : set.plain ? "cat"
                                                         : "tail -c +13"},
                                   {"NOTE", afterJoinNote(set)}});
}

std::string cmdJoinScript(const JoinScriptSet& set)
{
    const std::string program =
        filled(oneLine(kPowerShellTemplate),
               {{"NAME64", base64(set.name)},
                {"COUNT", std::to_string(set.pieceCount)},
                {"SKIP", set.lineSet ? "do { $x=$s.ReadByte() } while ($x -ge 0 -and $x -ne 10)"
                         : set.plain ? "$s.Position=0"
                                     : "$s.Position=12"},
                {"NOTE", afterJoinNote(set)}});
    const bool utf8 = !isAscii(set.name);
    return withCrLf(filled(kCmdTemplate, {{"PS", program},
                                          {"CHCP", utf8 ? kUtf8Console : ""},
                                          {"RESTORE", utf8 ? kRestoreConsole : ""}}));
}

namespace {

// The name as a shell and cmd take it: as it is when it holds nothing either reads
// specially, else quoted.
bool plainWord(const std::string& name)
{
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '_' || c == '-';
    });
}

// "cat NAME.0* > NAME": patterns that list the pieces in order. A pattern sorts names only
// while their numbers have as many digits, so each length has one.
std::string catCommand(const std::string& name, int pieces)
{
    const std::string word = plainWord(name) ? name : shQuoted(name);
    std::string command = "cat";
    if (pieces <= 99)
        command += " " + word + ".0*";
    for (std::size_t digits = 3; pieces > 99 && digits <= std::to_string(pieces).size(); ++digits) {
        command += " " + word + ".";
        for (std::size_t i = 0; i < digits; ++i)
            command += "[0-9]";
    }
    return command + " > " + word;
}

} // namespace

std::string joinWithoutParceloText(const JoinScriptSet& set, bool scripts)
{
    const std::string scriptNames = set.name + ".join.sh or " + set.name + ".join.cmd";
    if (!set.plain)
        return scripts ? "Anyone can join them without Parcelo by running " + scriptNames + "."
                       : std::string();
    std::string text =
        "Anyone can join them without Parcelo: " + catCommand(set.name, set.pieceCount);
    // copy /b takes the names of one length in order; a quote or % would not stay in the name
    if (set.pieceCount <= 999 && set.name.find_first_of("\"%") == std::string::npos) {
        const std::string word = plainWord(set.name) ? set.name : "\"" + set.name + "\"";
        text += ", copy /b " + word + (set.pieceCount <= 99 ? ".0*" : ".???") + " " + word
                + " on Windows";
    }
    return text + (scripts ? ", or " + scriptNames + "." : ".");
}

bool isParceloJoinScript(const std::string& text)
{
    const std::size_t second = text.find('\n');
    if (second == std::string::npos)
        return false;
    const std::string marker = kJoinScriptMarker;
    for (const char* comment : {"# ", "rem "}) {
        if (text.compare(second + 1, std::strlen(comment) + marker.size(), comment + marker) == 0)
            return true;
    }
    return false;
}

bool isOwnJoinScript(const std::string& path)
{
    // How the scripts written before the marker line began.
    constexpr std::string_view kEarlierShellStart = "#!/bin/sh\n# Joins the pieces of ";
    constexpr std::string_view kEarlierCmdStart = "@echo off\r\nrem Joins the pieces of ";
    constexpr std::size_t kStartBytes = 512;
    try {
        File file(path, File::Mode::Read);
        std::string start(kStartBytes, '\0');
        start.resize(file.read(start.data(), start.size()));
        return start.starts_with(kEarlierShellStart) || start.starts_with(kEarlierCmdStart)
               || isParceloJoinScript(start);
    } catch (const RunError&) {
        return false;
    }
}

std::array<std::string, 2> joinScriptPaths(const std::string& setBase)
{
    return {setBase + ".join.sh", setBase + ".join.cmd"};
}

std::vector<SafeOutput> prepareJoinScripts(const std::string& folder, const JoinScriptSet& set)
{
    const auto paths = joinScriptPaths(folder + set.name);
    std::vector<SafeOutput> scripts;
    scripts.push_back(prepareText(paths[0], shellJoinScript(set), true));
    scripts.push_back(prepareText(paths[1], cmdJoinScript(set), false));
    return scripts;
}

} // namespace parcelo
