#include "integrity/join_script.h"

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <filesystem>
#include <string_view>

namespace parcelo {

namespace {

// The marker line is looked for in this many bytes at the start of a file.
constexpr std::size_t kMarkerRange = 4096;
// How the scripts written before the marker line began.
constexpr std::string_view kEarlierShellStart = "#!/bin/sh\n# Joins the pieces of ";
constexpr std::string_view kEarlierCmdStart = "@echo off\r\nrem Joins the pieces of ";

bool holdsMarkerLine(std::string_view text)
{
    for (const std::string_view comment : {"# ", "rem "}) {
        const std::string line = std::string(comment) + kJoinScriptMarker;
        for (auto at = text.find(line); at != std::string_view::npos;
             at = text.find(line, at + 1)) {
            const auto end = at + line.size();
            const bool lineStart = at == 0 || text[at - 1] == '\n';
            const bool lineEnd = end == text.size() || text[end] == '\n' || text[end] == '\r';
            if (lineStart && lineEnd)
                return true;
        }
    }
    return false;
}

std::string replaced(std::string text, char what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, 1, with);
    return text;
}

std::string shQuoted(const std::string& text)
{
    return "'" + replaced(text, '\'', "'\\''") + "'";
}

std::string psQuoted(const std::string& text)
{
    return "'" + replaced(replaced(text, '\'', "''"), '%', "%%") + "'";
}

std::string afterJoinNote(const JoinScriptSet& set)
{
    return set.compressed ? " It is a compressed archive: open it with any archive tool." : "";
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
    const std::string strip = set.lineSet ? "tail -n +2" : "tail -c +13";
    return "#!/bin/sh\n"
           "# "
           + std::string(kJoinScriptMarker)
           + "\n"
             "# Joins the pieces of "
           + set.name
           + " back into it, checking them first with\n"
             "# the checksum file beside them when sha256sum or shasum is installed.\n"
             "# Usage: sh <this script> [--force]   (--force replaces an existing file)\n"
             "set -u\n"
             "cd \"$(dirname \"$0\")\" || exit 1\n"
             "name="
           + shQuoted(set.name)
           + "\n"
             "count="
           + std::to_string(set.pieceCount)
           + "\n"
             "force=no\n"
             "[ \"${1:-}\" = --force ] && force=yes\n"
             "if [ -e \"$name\" ] && [ $force = no ]; then\n"
             "  echo \"$name already exists and was not replaced (run with --force to replace "
             "it).\" >&2\n"
             "  exit 1\n"
             "fi\n"
             "if [ -f \"$name.sha256\" ]; then\n"
             "  if command -v sha256sum >/dev/null 2>&1; then check='sha256sum -c'\n"
             "  elif command -v shasum >/dev/null 2>&1; then check='shasum -a 256 -c'\n"
             "  else check=''; fi\n"
             "  if [ -z \"$check\" ]; then\n"
             "    echo \"No sha256sum or shasum here: the pieces are joined unchecked.\"\n"
             "  elif ! $check \"$name.sha256\"; then\n"
             "    echo \"Damaged or missing pieces: $name was not joined.\" >&2\n"
             "    exit 1\n"
             "  fi\n"
             "fi\n"
             "tmp=\"$name.join-tmp.$$\"\n"
             "trap 'rm -f \"$tmp\"' EXIT\n"
             "trap 'exit 1' INT TERM\n"
             ": > \"$tmp\" || exit 1\n"
             "i=1\n"
             "while [ $i -le $count ]; do\n"
             "  piece=$(printf '%s.%03d' \"$name\" $i)\n"
             "  if [ ! -f \"$piece\" ]; then echo \"Missing piece: $piece\" >&2; exit 1; fi\n"
             "  "
           + strip
           + " \"$piece\" >> \"$tmp\" || exit 1\n"
             "  i=$((i + 1))\n"
             "done\n"
             "if [ $force = yes ]; then mv -f \"$tmp\" \"$name\" || exit 1\n"
             "elif ln \"$tmp\" \"$name\" 2>/dev/null; then rm -f \"$tmp\"\n"
             "elif [ -e \"$name\" ]; then echo \"$name appeared meanwhile and was not replaced.\" "
             ">&2; exit 1\n"
             "else mv \"$tmp\" \"$name\" || exit 1\n"
             "fi\n"
             "echo \"Joined $count pieces into $name."
           + afterJoinNote(set) + "\"\n";
}

std::string cmdJoinScript(const JoinScriptSet& set)
{
    const std::string skip = set.lineSet ? "[Array]::IndexOf($b,[byte]10)+1" : "12";
    // One PowerShell line: cmd passes it whole; single quotes only, so cmd keeps it intact.
    const std::string ps =
        "$ErrorActionPreference='Stop'; $n=" + psQuoted(set.name)
        + "; $c=" + std::to_string(set.pieceCount)
        + "; $force=('%1' -eq '/force'); "
          "if ((Test-Path -LiteralPath $n) -and -not $force) { Write-Host ($n + ' already exists "
          "and was not replaced (run with /force to replace it).'); exit 1 }; "
          "if (Test-Path -LiteralPath ($n + '.sha256')) { foreach ($l in Get-Content -LiteralPath "
          "($n + '.sha256')) { $h,$f = $l -split '  ',2; "
          "if (-not (Test-Path -LiteralPath $f)) { Write-Host ('MISSING ' + $f); exit 1 }; "
          "if ((Get-FileHash -Algorithm SHA256 -LiteralPath $f).Hash -ne $h) { Write-Host "
          "('DAMAGED ' + $f); exit 1 } }; Write-Host ('Checked the pieces against ' + $n + "
          "'.sha256') }; "
          "$t=$n + '.join-tmp'; $o=[IO.File]::Create((Join-Path (Get-Location) $t)); "
          "try { for ($i=1; $i -le $c; $i++) { $p='{0}.{1:D3}' -f $n,$i; "
          "$b=[IO.File]::ReadAllBytes((Resolve-Path -LiteralPath $p)); $s="
        + skip
        + "; $o.Write($b,$s,$b.Length-$s) } } catch { $o.Close(); "
          "Remove-Item -Force -LiteralPath $t; Write-Host $_; exit 1 } finally { $o.Close() }; "
          "Move-Item -Force -LiteralPath $t -Destination $n; "
          "Write-Host ('Joined ' + $c + ' pieces into ' + $n + '."
        + afterJoinNote(set) + "')";
    return "@echo off\r\n"
           "rem "
           + std::string(kJoinScriptMarker)
           + "\r\n"
             "rem Joins the pieces of "
           + replaced(set.name, '%', "%%")
           + " back into it, checking them with the\r\n"
             "rem checksum file beside them. Usage: <this script> [/force]\r\n"
             "setlocal\r\n"
             "cd /d \"%~dp0\"\r\n"
             "powershell -NoProfile -ExecutionPolicy Bypass -Command \""
           + ps
           + "\"\r\n"
             "exit /b %ERRORLEVEL%\r\n";
}

bool isOwnJoinScript(const std::string& path)
{
    try {
        File file(path, File::Mode::Read);
        std::string start(kMarkerRange, '\0');
        start.resize(file.read(start.data(), start.size()));
        return start.starts_with(kEarlierShellStart) || start.starts_with(kEarlierCmdStart)
               || holdsMarkerLine(start);
    } catch (const RunError&) {
        return false;
    }
}

std::vector<SafeOutput> prepareJoinScripts(const std::string& folder, const JoinScriptSet& set)
{
    std::vector<SafeOutput> scripts;
    scripts.push_back(prepareText(folder + set.name + ".join.sh", shellJoinScript(set), true));
    scripts.push_back(prepareText(folder + set.name + ".join.cmd", cmdJoinScript(set), false));
    return scripts;
}

} // namespace parcelo
