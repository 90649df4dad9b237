#pragma once

#include "compress/percent_progress.h"

#include <string>

namespace parcelo {

// Writes a ZIP archive at targetPath holding the file at sourcePath as its one entry,
// named entryName and deflated at level (1 to 9); ZIP64 where the sizes need it. The
// archive is built beside the target and takes its place only when complete, so a
// failure leaves no new file (and an existing target unchanged). report receives each
// whole percentage of the source read.
void writeSingleEntryArchive(const std::string& sourcePath, const std::string& targetPath,
                             const std::string& entryName, int level,
                             const PercentProgress::Report& report,
                             const PercentProgress::BytesReport& bytes = {});

// The same archive written after prefix in one file at targetPath: the file is prefix
// followed byte for byte by the archive writeSingleEntryArchive would write.
void writePrefixedSingleEntryArchive(const std::string& sourcePath, const std::string& targetPath,
                                     const std::string& prefix, const std::string& entryName,
                                     int level, const PercentProgress::Report& report,
                                     const PercentProgress::BytesReport& bytes = {});

} // namespace parcelo
