#pragma once

#include "platform/safe_output.h"

#include <array>
#include <string>
#include <vector>

namespace parcelo {

// What a recipient's join script needs to know about a set.
struct JoinScriptSet {
    std::string name; // the joined file's name, without folder ("film.avi")
    int pieceCount = 0;
    bool lineSet = false;    // pieces start with the marker line, not the 12-byte header
    bool compressed = false; // the joined file is a .zip to open with an archive tool
    bool plain = false;      // the pieces carry no header: they are the file's bytes alone
    bool encrypted = false;  // ... whose entry is AES-256 encrypted (a compressed set only)
};

// What the join scripts say of an encrypted set's joined archive.
inline constexpr const char* kEncryptedArchiveNote =
    "This archive is encrypted: open it with 7-Zip or another archive tool that reads "
    "AES-encrypted ZIP files (the password is needed).";

// The POSIX sh script (dash, busybox sh): checks the data pieces against the lines that
// NAME.sha256 gives them when sha256sum or shasum is there, joins them into NAME, refuses
// to replace NAME without --force and never replaces a link or a folder. The name is
// quoted data only: any name gives a script that runs nothing but its own commands.
std::string shellJoinScript(const JoinScriptSet& set);
// The same for Windows: a .cmd that runs PowerShell (SHA-256 and copies by streams);
// /force. The name is in it only as base64 of its UTF-8 bytes.
std::string cmdJoinScript(const JoinScriptSet& set);

// One sentence that tells how the set can be joined without Parcelo: by the join scripts
// (when scripts says they were written), and for plain pieces also by cat or copy /b,
// with the command for this set. "" for a set of header pieces without scripts.
std::string joinWithoutParceloText(const JoinScriptSet& set, bool scripts);

// The second line of both scripts carries this marker (after "# " or "rem "): a file of a
// script's name that has it was written by Parcelo.
inline constexpr const char* kJoinScriptMarker = "parcelo-join-script";

// Whether text (a file's first bytes; a few hundred are enough) is a join script that
// Parcelo wrote: its second line carries the marker.
bool isParceloJoinScript(const std::string& text);

// True when the file at path is a join script a split wrote: one with the marker line, or
// one of the scripts written before there was a marker (recognised by how they began).
bool isOwnJoinScript(const std::string& path);

// The join scripts of the set at setBase (a piece's path without its number): the .sh
// script, then the .cmd script.
std::array<std::string, 2> joinScriptPaths(const std::string& setBase);

// NAME.join.sh and NAME.join.cmd for folder (with its trailing separator), written
// complete under temporary names; the caller commits them.
std::vector<SafeOutput> prepareJoinScripts(const std::string& folder, const JoinScriptSet& set);

} // namespace parcelo
