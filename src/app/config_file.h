#pragma once

#include "app/app_paths.h"
#include "app/log_file.h"

#include <string>

namespace parcelo {

class Host;
struct ExploreMenu;

// The three compression levels of the Options pane.
enum class CompressionLevel {
    Highest, // "9", the default: "Highest Compression (recommended)"
    Medium,  // "5": "Medium Compression"
    Fastest  // "1": "Highest Speed"
};

// What config.xml holds, as the main window shows it. config.xml addresses everything by
// position: child 1 the web pages, child 2 compression, child 3 folders, child 4 deletion.
struct ParceloOptions {
    // child 1: read only
    std::string makerWebPage;
    std::string productWebPage;
    std::string spareValue; // stored, must exist, used by nothing
    std::string supportWebPage;
    // child 2
    bool autoCompress = false;
    CompressionLevel compressionLevel = CompressionLevel::Highest;
    // child 3
    std::string lastSplitSource;  // saved only: the Split pane's source file box
    std::string lastBrowseFolder; // loaded only: the file dialog's starting folder
    std::string splitFolder;      // default output folder of split files
    std::string lastJoinPiece;    // saved only: the Join pane's piece box
    std::string lastJoinFolder;   // loaded and kept; nothing uses it
    std::string joinFolder;       // default output folder of joined files
    // child 4
    bool deleteAfterSplit = false;
    bool deleteAfterJoin = false;
    // child 5, <Sending/>; a file without it (an older one) keeps both on
    bool writeChecksums = true;
    bool writeJoinScript = true;
    // <Recovery pieces="..."/> after it: the Split pane's "N" or "N%"; "0" (none) when missing
    // or not such a text, read or written
    std::string recoveryPieces = "0";
    // <Writing flush="..."/> after them: a job waits until what it wrote is on the disk
    // before it reports done; on unless written "false"
    bool flushToDisk = true;
    // <Pieces plain="..."/> after them: the Split pane's "Plain pieces (no header)"; off
    // unless written "true"
    bool plainPieces = false;
    // <Encryption split="..."/> after them: "Encrypt with a password" of the Split pane is
    // checked; off unless written "true". The password itself is never kept.
    bool encryptSplits = false;
};

// The outcome of a load or save: 0 for success, else an error number and description.
struct ConfigStatus {
    int number = 0;
    std::string description;
    bool ok() const { return number == 0; }
};

// The status of a configuration file that is missing.
inline constexpr int kConfigMissing = 101;

// Loads config.xml into options. The split and join folders come back with a final
// separator (the paths' split and join folders when empty), and
// Explore entries 1 and 2 show them. A missing file shows the fatal message, logs it and
// returns kConfigMissing; any other failure (unreadable file, malformed document, a
// missing position) returns its error and leaves options and menu unchanged.
ConfigStatus LoadConfiguration(const AppPaths& paths, ParceloOptions& options, ExploreMenu& explore,
                               Host& host, const LogWriter& log);

// Saves options into config.xml: the file is parsed again, the values of children 2 to 4
// are set and the document replaces the file in one step through a temporary file; other
// elements and attributes survive. A text that would not load back alike is refused. First
// the folder boxes lose a final separator (a root folder keeps it; written back into
// options) and Explore entries 1 and 2 follow them. Every failure shows its message, is
// logged and leaves config.xml as it was.
ConfigStatus SaveConfiguration(const AppPaths& paths, ParceloOptions& options, ExploreMenu& explore,
                               Host& host, const LogWriter& log);

} // namespace parcelo
