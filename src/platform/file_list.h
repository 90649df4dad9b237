#pragma once

#include "platform/bindings.h"

#include <string>

namespace parcelo {

// The size text of a file-list row for the display unit "BT", "KB", "MB", "GB" or "LN"
// ("" for any other unit).
std::string formatListSize(double size, const std::string& unit);

// Adds a row (full path, size text) to a file list and scrolls it into view. `unit` is the
// split engine's display unit; an empty one becomes "KB" for this and every later call. A
// list that is missing or of another kind is skipped. The row is a piece unless `kind`
// says otherwise.
void AddFileToList(Binding* list, const std::string& name, double size, std::string& unit,
                   FileRowKind kind = FileRowKind::Piece);

} // namespace parcelo
