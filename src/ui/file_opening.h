#pragma once

#include "ui/navigation_column.h"

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace parcelo {

// True for a piece of a set: its header or first line marks it as one, or its name ends in
// a piece number (".001", ".0042"). Files that cannot be read are judged by name alone.
bool looksLikePiece(const std::string& path);

// The files named on the command line (without the program), made absolute against the
// current folder; options (starting with '-') are left out.
std::vector<std::string> commandLineFiles(const QStringList& arguments);

// The pane the command line asks for whatever its files hold: "--split" the Split pane,
// "--join" the Join pane (the desktop entry's actions); nullopt when neither is given.
std::optional<Pane> commandLinePane(const QStringList& arguments);

} // namespace parcelo
