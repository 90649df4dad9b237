#pragma once

#include "platform/file.h"
#include "recovery/recovery.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace parcelo::recovery_detail {

// "1 piece", "3 pieces".
std::string countText(int count, const std::string& noun);

inline bool contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The files named basePath.recNNN in basePath's folder, with their numbers, in order.
std::vector<std::pair<int, std::string>> recoveryFiles(const std::string& basePath);

// Opens piece n of the layout's set, at the start of its data; false when it is missing,
// cannot be read, or its header or size do not fit the layout.
bool openPiece(const std::string& basePath, const RecoveryHeader& layout, int n, File& file);
// Opens recovery piece j of the layout's set, at the start of its data; false when it is
// missing or its header is not the layout's with number j.
bool openRecovery(const std::string& basePath, const RecoveryHeader& layout, int j, File& file);

// The witness of the options when it is the record of a set of pieceCount pieces.
FileWitness* witnessFor(const RecoveryOptions& options, int pieceCount);

// Feeds the whole file, from its first byte, to the witness; what it says of the name.
Testimony testimonyOf(FileWitness& witness, const std::string& name, File& file,
                      const RecoveryOptions& options);

} // namespace parcelo::recovery_detail
