#pragma once

#include "compress/percent_progress.h"
#include "compress/zip_layout.h"
#include "format/set_data.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {

class File;
class EarlyExtraction;

// Writes the data of the entry that layout describes, read through `read`, into target from
// where it stands: inflated (ISA-L) or, stored, copied. Never more than layout.size bytes are
// written, and the data must come to exactly that many with its CRC-32, using up exactly
// layout.compressedSize bytes: anything else throws ZlibToolError naming archiveName (the
// bytes written so far stay in target, for the caller to drop). A stop throws JobStopped.
// Memory stays two fixed buffers, whatever the archive declares.
void inflateEntry(const ArchiveReader& read, const OnlyEntryLayout& layout, File& target,
                  PercentProgress& progress, const std::string& archiveName);

// The ZIP archive a compressed set's pieces hold, read straight from them.
struct PieceArchive {
    SetData data;
    OnlyEntryLayout entry;
    std::string name; // what failures call it: the set's first piece
    // the extraction started ahead, while the pieces are checked
    std::shared_ptr<EarlyExtraction> early;
};

// The archive of the pieces' data, with its end checked (readOnlyEntryLayout); nullopt when
// it is one libzip must read from a joined file. Throws ZlibToolError when it is damaged.
std::optional<PieceArchive> openPieceArchive(std::vector<PieceData> pieces);

// Starts extracting the archive's file into a temporary file for targetPath on a thread of
// its own, so that it runs while the caller checks the pieces (nothing of it takes a name
// before extractFromPieces commits it). Dropping archive.early stops it and removes the
// temporary. Throws RunError when there is no room for the file; then nothing is started.
void startExtractionFromPieces(PieceArchive& archive, const std::string& targetPath);

// As extractOnlyEntry and streamOnlyEntry, from the pieces; an extraction started ahead
// for targetPath is waited for (with its progress) and committed.
void extractFromPieces(PieceArchive& archive, const std::string& targetPath,
                       const PercentProgress::Report& report,
                       const PercentProgress::BytesReport& bytes = {}, bool replace = true);
void streamFromPieces(PieceArchive& archive, File& target, const PercentProgress::Report& report,
                      const PercentProgress::BytesReport& bytes = {});

} // namespace parcelo
