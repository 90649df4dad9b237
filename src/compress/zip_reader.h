#pragma once

#include "compress/percent_progress.h"

#include <string>

namespace parcelo {

// Writes the bytes of the first entry of the ZIP archive at archivePath to targetPath,
// checking them against the entry's size and CRC. A failure after the target was opened
// removes it. report receives each whole percentage of the entry written.
void extractFirstEntry(const std::string& archivePath, const std::string& targetPath,
                       const PercentProgress::Report& report);

} // namespace parcelo
