#pragma once

#include "format/split_choices.h"
#include "platform/bindings.h"
#include "platform/command_outcome.h"
#include "platform/explore_menu.h"
#include "platform/password.h"

#include <string>

namespace parcelo {

class CompressionAdapter;
class Host;
class RecentFilesSink;
class modSplitFile;

// How a split cuts the file: into pieces of a typed size, into a number of pieces, or
// into pieces of a ready-made size.
enum class SplitMode { BySize, ByPieces, ByPreset };

// What a split is asked to do; the command writes the repaired paths back into
// sourcePath and destinationFolder.
struct SplitRequest {
    std::string sourcePath;        // the file or folder to split
    std::string streamName;        // not empty: standard input is split, into pieces so named
    std::string pieceCount;        // number of pieces, as typed (ByPieces)
    std::string pieceSize;         // size of a piece in sizeUnit, as typed (BySize)
    std::string destinationFolder; // where the pieces go
    SplitMode mode = SplitMode::BySize;
    SizeUnit sizeUnit = SizeUnit::Megabytes;
    int presetIndex = 0;            // index in kSizePresets, 1.38 MegaBytes to 25 GigaBytes
    bool compressFirst = true;      // compress the source and split the compressed file
    bool deleteSourceAfter = false; // offer to delete the source after a split
    std::string recoveryCount;      // recovery pieces: "N", "N%", or empty (none)
    bool plainPieces = false;       // pieces without header, known by their checksum file
    bool skipUnreadable = false;    // a folder's unreadable files are left out unasked
    // "Encrypt with a password": the set is compressed and its archive AES-256 encrypted
    // with password, which passwordAgain must repeat. The command wipes both when it ends.
    bool encrypt = false;
    Password password;
    Password passwordAgain;
};

// What a split request works with besides its values.
struct SplitServices {
    Host& host;
    modSplitFile& engine;
    CompressionAdapter& compressor;
    RecentFilesSink& recentFiles;
    ExploreMenu& exploreMenu;
    // ProgressBar1, Label5 and ListView1.
    PaneBindings pane;
};

// The Split button: checks the request, compresses first when asked, splits, reports the
// outcome and offers to delete the source. A successful outcome's file is the set's first
// piece.
CommandOutcome splitCommand(SplitRequest& pane, SplitServices& services);

// "Clear All": the request's boxes and choices back to their start values (the delete option
// belongs to the Options pane and stays, and so does the encryption choice; the passwords
// go); the bar hidden, the label and list emptied.
void clearSplitCommand(SplitRequest& request, const PaneBindings& bindings);

// "Compress only": the request for a single piece, compressed when compressFirst (or
// encrypt) says so.
CommandOutcome compressOnlyCommand(SplitRequest& pane, SplitServices& services);

// After a successful split: asks (when the engine's ConfirmDelete is set) and deletes the
// engine's SourceFile.
void ConfirmDeleteSource(modSplitFile& engine, Host& host);

} // namespace parcelo
