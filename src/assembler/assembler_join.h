#pragma once

#include "platform/command_outcome.h"

#include <string>

namespace parcelo {
class Host;
class modJoinFile;
} // namespace parcelo

namespace parcelo::assembler {

// The question asked before the pieces of a joined set are deleted.
inline constexpr const char* kDeletePiecesQuestion =
    "All broken files have successfully been joined, do you wish to delete them?";

// The joiner's two boxes; the Join button writes the repaired texts back.
struct AssemblerPaneValues {
    std::string Text5; // any one piece of the set
    std::string Text6; // destination folder
};

// What the joiner's Join button works with besides its boxes.
struct AssemblerJoinServices {
    modJoinFile& engine;
    Host& host;
    std::string makerWebPage; // named in the notice about a compressed set
};

// Parcelo Assembler's Join button over its two boxes. It checks them as Parcelo's Join does
// (asking before the joined file replaces a file of its name), joins the set without any
// display, never decompresses (a compressed set is said to be so and keeps its ".zip"
// name; an encrypted one is said to need its password and an archive tool that reads
// AES-encrypted ZIP files), and after every successful join offers to delete the pieces (never on
// the diskette drive). A failed join leaves no joined file; the outcome's file is the joined one.
CommandOutcome joinSet(AssemblerPaneValues& pane, AssemblerJoinServices& services);

// The notice after joining a set that was compressed before it was split.
std::string compressedSetNotice(const std::string& joinedPath, const std::string& makerWebPage);

} // namespace parcelo::assembler
