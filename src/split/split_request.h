#pragma once

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

// The Split pane's values that the Split button reads; the request writes the repaired
// paths back into Text1 and Text4.
struct SplitPaneValues {
    std::string Text1;           // the file to split
    std::string Text2;           // number of pieces
    std::string Text3;           // size
    std::string Text4;           // destination folder
    bool Option1 = true;         // split by the size typed in Text3 with the unit of Combo1
    bool Option3 = false;        // split by the preset chosen in Combo2 (neither: by pieces)
    int Combo1 = 2;              // 0 Bytes, 1 KiloBytes, 2 MegaBytes, 3 GigaBytes, 4 Lines
    int Combo2 = 0;              // the presets, 1.38 MegaBytes to 1 GigaByte
    bool Check1 = true;          // "Compress before Splitting"
    bool chkDelOrgSplit = false; // offer to delete the source after a split
    std::string txtRecovery;     // recovery pieces: "N", "N%", or empty (none)
    // "Encrypt with a password": the set is compressed and its archive AES-256 encrypted
    // with txtPassword, which txtPasswordAgain must repeat. The request wipes both when
    // it ends.
    bool chkEncrypt = false;
    Password txtPassword;
    Password txtPasswordAgain;
};

// What a split request works with besides the pane's values.
struct SplitServices {
    Host& host;
    modSplitFile& engine;
    CompressionAdapter& compressor;
    RecentFilesSink& recentFiles;
    ExploreMenu& exploreMenu;
    // ProgressBar1, Label5 and ListView1.
    PaneBindings pane;
};

// The Split button: checks the pane, compresses first when asked, splits, reports the
// outcome and offers to delete the source. A successful outcome's file is the set's first
// piece.
CommandOutcome cmdSpSplit_Click(SplitPaneValues& pane, SplitServices& services);

// "Clear All": the pane's boxes and choices back to their start values (the delete option
// belongs to the Options pane and stays, and so does the encryption choice; the passwords
// go); the bar hidden, the label and list emptied.
void cmdSpCancel_Click(SplitPaneValues& pane, const PaneBindings& bindings);

// "Compress only": the request for a single piece, compressed when Check1 (or chkEncrypt)
// says so.
CommandOutcome cmdCompress_Click(SplitPaneValues& pane, SplitServices& services);

// After a successful split: asks (when the engine's ConfirmDelete is set) and deletes the
// engine's SourceFile.
void ConfirmDeleteSource(modSplitFile& engine, Host& host);

} // namespace parcelo
