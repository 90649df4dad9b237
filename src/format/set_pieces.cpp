#include "format/set_pieces.h"

#include "platform/captions.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>

namespace parcelo {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Numbers of more digits than this are no piece numbers of a set.
constexpr std::size_t kMostDigits = 6;

bool allDigits(const std::string& text)
{
    return !text.empty() && text.size() <= kMostDigits
           && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The digits after "name." of each entry of folder named so, by number: several spellings
// of one number ("7", "007") are all kept.
std::multimap<int, std::string> numberedNames(const std::string& folder, const std::string& name)
{
    std::multimap<int, std::string> found;
    const std::string prefix = name + ".";
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(toNativePath(folder.empty() ? "." : folder), ec)) {
        const std::string entryName = entry.path().filename().string();
        if (entryName.size() <= prefix.size() || entryName.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = entryName.substr(prefix.size());
        if (allDigits(digits))
            found.emplace(std::stoi(digits), std::move(digits));
    }
    return found;
}

constexpr std::array<unsigned char, 4> kLocalFileHeader = {'P', 'K', 3, 4};
constexpr std::size_t kLocalHeaderFixed = 30; // bytes before the entry's name

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

std::vector<int> misSizedPieces(const std::vector<std::uint64_t>& sizes, std::uint64_t headerBytes)
{
    std::vector<int> wrong;
    if (sizes.size() < 2)
        return wrong;
    const std::uint64_t full = *std::max_element(sizes.begin(), sizes.end() - 1);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const bool last = i + 1 == sizes.size();
        if (sizes[i] <= headerBytes || sizes[i] > full || (!last && sizes[i] != full))
            wrong.push_back(static_cast<int>(i) + 1);
    }
    return wrong;
}

std::string NumberedPieces::path(int n) const
{
    return base + numberedExtension(first + n - 1, width);
}

std::optional<NumberedPieces> numberedPiecesBeside(const std::string& picked)
{
    const std::string pickedDigits = GetFileExtension(GetFileNameFromPath(picked));
    if (!allDigits(pickedDigits) || pickedDigits.size() == GetFileNameFromPath(picked).size())
        return std::nullopt;
    NumberedPieces pieces;
    pieces.base = RemoveFileExtension(picked);
    const auto names = numberedNames(GetFolderFromPath(picked), GetFileNameFromPath(pieces.base));
    if (names.empty())
        return std::nullopt;
    pieces.width = static_cast<int>(kMostDigits);
    for (const auto& entry : names)
        pieces.width = std::min(pieces.width, static_cast<int>(entry.second.size()));
    const auto spelled = [&](int number, const std::string& digits) {
        return numberedExtension(number, pieces.width) == "." + digits;
    };
    if (!spelled(std::stoi(pickedDigits), pickedDigits))
        return std::nullopt;
    pieces.first = 1;
    for (const auto& [number, digits] : names) {
        if (!spelled(number, digits))
            continue;
        if (number == 0)
            pieces.first = 0;
        pieces.last = std::max(pieces.last, number);
    }
    if (pieces.count() < 1 || pieces.count() > kMaxPieces)
        return std::nullopt;
    return pieces;
}

bool holdsParceloPiece(const NumberedPieces& pieces)
{
    for (int n = 1; n <= pieces.count(); ++n) {
        try {
            File piece(pieces.path(n), File::Mode::Read);
            if (readPieceHeaderZeroFilled(piece).hasByteSignature())
                return true;
            piece.seek(0);
            if (markerLineEnd(piece))
                return true;
        } catch (const RunError&) {
            // missing or unreadable: the join tells
        }
    }
    return false;
}

bool plainSetCompressed(const std::string& firstPiece, const std::string& joinedName)
{
    const std::string zip = ".zip";
    if (joinedName.size() <= zip.size() || !joinedName.ends_with(zip))
        return false;
    const std::string entry = joinedName.substr(0, joinedName.size() - zip.size());
    try {
        File piece(firstPiece, File::Mode::Read);
        std::string start(kLocalHeaderFixed + entry.size(), '\0');
        if (piece.read(start.data(), start.size()) != start.size()
            || std::memcmp(start.data(), kLocalFileHeader.data(), kLocalFileHeader.size()) != 0)
            return false;
        const auto* bytes = reinterpret_cast<const unsigned char*>(start.data());
        const std::size_t nameLength = bytes[26] | static_cast<std::size_t>(bytes[27]) << 8;
        return nameLength == entry.size()
               && start.compare(kLocalHeaderFixed, entry.size(), entry) == 0;
    } catch (const RunError&) {
        return false;
    }
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
