#include "format/set_pieces.h"

#include "platform/captions.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace parcelo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

bool pickedNameEndsInDigit(const std::string& path)
{
    std::size_t first = 0;
    std::size_t last = path.size();
    while (first < last && isBlank(path[first]))
        ++first;
    while (last > first && isBlank(path[last - 1]))
        --last;
    const std::size_t trimmedLength = last - first;
    if (trimmedLength == 0)
        return false;
    return std::isdigit(static_cast<unsigned char>(path[trimmedLength - 1])) != 0;
}

int pieceNumberFromName(const std::string& path)
{
    const std::string text = GetFileExtension(path);
    std::size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    const std::size_t digitsFrom = at;
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > kMaxPieces + 1)
            throw RunError(err::Overflow);
    }
    const std::size_t digitsTo = at;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    if (digitsFrom == digitsTo || at != text.size())
        throw RunError(err::TypeMismatch);
    value = negative ? -value : value;
    if (value > kMaxPieces || value < -kMaxPieces - 1)
        throw RunError(err::Overflow);
    return static_cast<int>(value);
}

int lastConsecutivePiece(const std::string& basePath, int from)
{
    int piece = from;
    while (fileExists(basePath + SplitFileExtension(piece))) {
        if (piece == kMaxPieces)
            throw RunError(err::Overflow);
        ++piece;
    }
    return piece - 1;
}

std::string pieceFault(const PieceHeader& header, std::uint64_t fileSize)
{
    if (!header.hasByteSignature())
        return kNotSplitByParcelo;
    if (header.count < 1 || header.count > kMaxPieces)
        return "The header gives a set of " + std::to_string(header.count)
               + " pieces; a set has 1 to " + std::to_string(kMaxPieces) + " pieces.";
    if (header.number < 1 || header.number > header.count)
        return "The header gives piece number " + std::to_string(header.number)
               + ", outside the set of " + std::to_string(header.count) + " pieces.";
    if (header.count > 1 && fileSize <= kPieceHeaderSize)
        return "The piece holds no data, though its set has " + std::to_string(header.count)
               + " pieces.";
    return {};
}

std::string invalidPieceText(const std::string& path, const std::string& reason)
{
    return "File " + path + " is not a valid split file." + LF + reason;
}

std::vector<int> misSizedPieces(const std::vector<std::uint64_t>& sizes)
{
    std::vector<int> wrong;
    if (sizes.size() < 2)
        return wrong;
    const std::uint64_t full = *std::max_element(sizes.begin(), sizes.end() - 1);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const bool last = i + 1 == sizes.size();
        if (sizes[i] <= kPieceHeaderSize || sizes[i] > full || (!last && sizes[i] != full))
            wrong.push_back(static_cast<int>(i) + 1);
    }
    return wrong;
}

std::string notOfTheSetText(const std::string& path)
{
    return "The file " + path + " is not a valid file of the set.";
}

bool firstLineIsMarker(const std::string& path)
{
    File file(path, File::Mode::Read);
    if (file.size() == 0)
        throw RunError(err::InputPastEndOfFile);
    return markerLineEnd(file).has_value();
}

bool askForDisk(Host& host, int piece, int count)
{
    const std::string prompt = "Please insert disk #" + std::to_string(piece) + " of "
                               + std::to_string(count) + " in drive A: and click OK to continue.";
    const std::string confirm = cancelProcessQuestion();
    for (;;) {
        if (host.message(Question::InsertDisk, prompt, Buttons::OkCancel, Icon::Information)
            == Answer::Ok)
            return true;
        if (host.message(Question::ConfirmCancel, confirm, Buttons::YesNo, Icon::Information)
            == Answer::Yes)
            return false;
    }
}

} // namespace parcelo
