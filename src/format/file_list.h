#pragma once

#include "format/split_choices.h"
#include "platform/bindings.h"

#include <optional>
#include <string>

namespace parcelo {

// The unit the file lists show sizes in: the split engine's unit, none before it has one.
using DisplayUnit = std::optional<SizeUnit>;

// The size text of a file-list row in a display unit (lines show kilobytes).
std::string formatListSize(double size, SizeUnit unit);

// Adds a row (full path, size text) to a file list and scrolls it into view. `unit` is the
// split engine's display unit; none becomes kilobytes for this and every later call. A
// list that is missing or of another kind is skipped. The row is a piece unless `kind`
// says otherwise.
void AddFileToList(Binding* list, const std::string& name, double size, DisplayUnit& unit,
                   FileRowKind kind = FileRowKind::Piece);

} // namespace parcelo
