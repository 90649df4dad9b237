#pragma once

#include "compress/percent_progress.h"
#include "platform/durability.h"
#include "platform/safe_output.h"

#include <string>

namespace parcelo {

class Password;

// Writes at targetPath prefix (a piece header, or nothing) followed by a ZIP archive that
// holds the file at sourcePath as its one entry, named entryName and deflated at level
// (1 to 9); ZIP64 where the sizes need it. The archive's offsets are those of a
// stand-alone archive. The file is built beside the target and takes its place only when
// complete, so a failure leaves no new file (and an existing target unchanged). report
// receives each whole percentage of the source read; durability is the target's, and
// sharing says who may read it. With a password (not empty) the entry's data is encrypted
// with WinZip AES-256 by libzip (through OpenSSL) as it is written, so that no byte of the
// source reaches the target in the clear; the entry's name stays readable, as ZIP keeps it.
void writePrefixedSingleEntryArchive(const std::string& sourcePath, const std::string& targetPath,
                                     const std::string& prefix, const std::string& entryName,
                                     int level, const PercentProgress::Report& report,
                                     const PercentProgress::BytesReport& bytes = {},
                                     Durability durability = Durability::AsOptioned,
                                     Sharing sharing = Sharing::Shared,
                                     const Password* password = nullptr);

} // namespace parcelo
