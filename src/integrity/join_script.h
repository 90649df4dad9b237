#pragma once

#include "platform/safe_output.h"

#include <string>
#include <vector>

namespace parcelo {

// What a recipient's join script needs to know about a set.
struct JoinScriptSet {
    std::string name; // the joined file's name, without folder ("film.avi")
    int pieceCount = 0;
    bool lineSet = false;    // pieces start with the marker line, not the 12-byte header
    bool compressed = false; // the joined file is a .zip to open with an archive tool
};

// The comment line every join script carries ("# " or "rem " before it), near its top: a
// split recognises the scripts it may replace or remove by it.
inline constexpr const char* kJoinScriptMarker =
    "Written by Parcelo: joins the pieces of a split set";

// True when the file at path is a join script a split wrote: one with the marker line in
// its first lines, or one of the scripts written before there was a marker.
bool isOwnJoinScript(const std::string& path);

// The POSIX sh script (dash, busybox sh): checks the pieces with NAME.sha256 when
// sha256sum or shasum is there, joins them into NAME, refuses to replace NAME without
// --force.
std::string shellJoinScript(const JoinScriptSet& set);
// The same for Windows: a .cmd that runs PowerShell (Get-FileHash, byte copies); /force.
std::string cmdJoinScript(const JoinScriptSet& set);

// NAME.join.sh and NAME.join.cmd for folder (with its trailing separator), written
// complete under temporary names; the caller commits them.
std::vector<SafeOutput> prepareJoinScripts(const std::string& folder, const JoinScriptSet& set);

} // namespace parcelo
