#include "ui/file_opening.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cctype>

namespace parcelo {

namespace {

constexpr std::size_t kShortestPieceNumber = 3;

bool nameEndsInPieceNumber(const std::string& path)
{
    const std::string name = GetFileNameFromPath(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot - 1 < kShortestPieceNumber)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dot) + 1, name.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool markedAsPiece(const std::string& path)
{
    try {
        File file(path, File::Mode::Read);
        if (readPieceHeaderZeroFilled(file).hasByteSignature())
            return true;
        file.seek(0);
        return markerLineEnd(file).has_value();
    } catch (const RunError&) {
        return false;
    }
}

} // namespace

bool looksLikePiece(const std::string& path)
{
    return nameEndsInPieceNumber(path) || markedAsPiece(path);
}

std::vector<std::string> commandLineFiles(const QStringList& arguments)
{
    std::vector<std::string> files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].isEmpty() || arguments[i].startsWith(QLatin1Char('-')))
            continue;
        files.push_back(
            QDir::toNativeSeparators(QFileInfo(arguments[i]).absoluteFilePath()).toStdString());
    }
    return files;
}

std::optional<Pane> commandLinePane(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--split"))
            return Pane::Split;
        if (arguments[i] == QLatin1String("--join"))
            return Pane::Join;
    }
    return std::nullopt;
}

} // namespace parcelo
