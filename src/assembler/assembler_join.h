#pragma once

#include <string>

namespace parcelo {
class Host;
class modJoinFile;
} // namespace parcelo

namespace parcelo::assembler {

// The question asked before the pieces of a joined set are deleted.
inline constexpr const char* kDeletePiecesQuestion =
    "All broken files have successfully been joined, do you wish to delete them?";

struct AssemblerJoinOutcome {
    bool succeeded = false;
    std::string focus;      // the box that gets the focus after a refusal, or ""
    std::string joinedFile; // the file written
};

// Parcelo Assembler's Join button over its two boxes (any one piece, destination folder;
// the repaired texts are written back). It checks them as Parcelo's Join does, joins the
// set without any display, never decompresses (a compressed set is said to be so and keeps
// its ".zip" name), and after every successful join offers to delete the pieces (never on
// the diskette drive). A failed join leaves no joined file.
AssemblerJoinOutcome joinSet(std::string& text5, std::string& text6, modJoinFile& engine,
                             Host& host, const std::string& makerWebPage);

// The notice after joining a set that was compressed before it was split.
std::string compressedSetNotice(const std::string& joinedPath, const std::string& makerWebPage);

} // namespace parcelo::assembler
