#include "integrity/set_checksums.h"

#include "format/split_set.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"

#include <algorithm>
#include <map>

namespace parcelo {

namespace {

// What a listed name is to the set setName: piece n, recovery piece n, or nothing (0).
struct ListedFile {
    bool recovery = false;
    int number = 0;
};

ListedFile listedFile(const std::string& name, const std::string& setName)
{
    if (name.size() <= setName.size() + 1 || name.compare(0, setName.size(), setName) != 0
        || name[setName.size()] != '.')
        return {};
    std::string digits = name.substr(setName.size() + 1);
    const bool recovery = digits.starts_with("rec");
    if (recovery)
        digits.erase(0, 3);
    if (digits.empty() || digits.size() > 5
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    const int number = std::stoi(digits);
    const std::string written =
        recovery ? recoveryPieceName(setName, number) : setName + SplitFileExtension(number);
    if (number < 1 || number > kMaxPieces || written != name)
        return {};
    return {recovery, number};
}

std::string stateText(const ChecksumReport::Piece& piece)
{
    switch (piece.state) {
    case PieceState::Damaged:
        return damagedPieceText(piece.path);
    case PieceState::Missing:
        return "Missing Split File: " + piece.path;
    case PieceState::Ok:
    case PieceState::MissingOptional:
        break;
    }
    return {};
}

} // namespace

bool listsOnlyFilesOf(const ChecksumListing& listing, const std::string& setName)
{
    return listing.wellFormed && !listing.entries.empty()
           && std::all_of(
               listing.entries.begin(), listing.entries.end(),
               [&](const ChecksumEntry& e) { return listedFile(e.name, setName).number; });
}

namespace {

// The count K when the listing names the pieces 1 to K of setName, maybe its recovery
// pieces, and nothing else; 0 otherwise.
int listedPieceCount(const ChecksumListing& listing, const std::string& setName)
{
    if (!listsOnlyFilesOf(listing, setName))
        return 0;
    int pieces = 0;
    int last = 0;
    for (const ChecksumEntry& entry : listing.entries) {
        const ListedFile listed = listedFile(entry.name, setName);
        if (!listed.recovery) {
            ++pieces;
            last = std::max(last, listed.number);
        }
    }
    // A well-formed listing names nothing twice: as many pieces as the last number is 1..last.
    return pieces == last ? last : 0;
}

bool listsExactly(const ChecksumListing& listing, const std::vector<std::string>& names)
{
    return listing.wellFormed && listing.entries.size() == names.size()
           && std::all_of(listing.entries.begin(), listing.entries.end(),
                          [&](const ChecksumEntry& e) {
                              return std::find(names.begin(), names.end(), e.name) != names.end();
                          });
}

} // namespace

bool listsTheSet(const ChecksumListing& listing, const ChecksumSet& set)
{
    if (!set.pieceNames.empty())
        return listsExactly(listing, set.pieceNames);
    const int last = listedPieceCount(listing, GetFileNameFromPath(set.base));
    return last > 0 && (set.exactCount ? last == set.pieceCount : last >= set.pieceCount);
}

int plainSetCount(const std::string& path)
{
    const std::string base = RemoveFileExtension(path);
    const std::string setName = GetFileNameFromPath(base);
    const std::optional<ChecksumListing> listing = readChecksumFile(checksumFilePath(base));
    if (!listing)
        return 0;
    const int count = listedPieceCount(*listing, setName);
    const ListedFile picked = listedFile(GetFileNameFromPath(path), setName);
    return !picked.recovery && picked.number >= 1 && picked.number <= count ? count : 0;
}

SetChecksumFile readSetChecksumFile(const ChecksumSet& set)
{
    SetChecksumFile file;
    file.path = checksumFilePath(set.base);
    std::optional<ChecksumListing> listing = readChecksumFile(file.path);
    file.present = listing.has_value();
    file.ownedBySet = listing && listsTheSet(*listing, set);
    if (file.ownedBySet)
        file.entries = std::move(listing->entries);
    return file;
}

bool isOwnChecksumFile(const std::string& path, const std::string& setName)
{
    try {
        const std::optional<ChecksumListing> listing = readChecksumFile(path);
        return listing && listsOnlyFilesOf(*listing, setName);
    } catch (const RunError&) {
        return false;
    }
}

std::string damagedPieceText(const std::string& path)
{
    return "The file " + path
           + " is damaged: its contents do not match the checksum written when it was split.";
}

const char* pieceStateWord(PieceState state)
{
    switch (state) {
    case PieceState::Ok:
        return "OK";
    case PieceState::Damaged:
        return "DAMAGED";
    case PieceState::Missing:
        return "MISSING";
    case PieceState::MissingOptional:
        return "MISSING (optional)";
    }
    return "";
}

bool ChecksumReport::clean() const
{
    return !earlierSplit && std::all_of(pieces.begin(), pieces.end(), [](const Piece& p) {
        return p.state == PieceState::Ok || p.state == PieceState::MissingOptional;
    });
}

int ChecksumReport::checked() const
{
    return static_cast<int>(std::count_if(
        pieces.begin(), pieces.end(), [](const Piece& p) { return p.state == PieceState::Ok; }));
}

std::vector<std::string> ChecksumReport::problems() const
{
    const std::string name = GetFileNameFromPath(file);
    if (earlierSplit)
        return {"none of the pieces match " + name
                + ": it may belong to an earlier split of this name"};
    std::vector<std::string> lines;
    for (const Piece& piece : pieces) {
        if (std::string text = stateText(piece); !text.empty())
            lines.push_back(std::move(text));
    }
    return lines;
}

std::string ChecksumReport::notice() const
{
    return notUsed ? GetFileNameFromPath(file)
                         + " does not list the pieces of this set; it was not used."
                   : std::string();
}

ChecksumReport compareWithChecksums(const SetChecksumFile& file,
                                    const std::vector<PieceHasher::Digest>& digests)
{
    ChecksumReport report;
    report.file = file.path;
    report.notUsed = file.present && !file.ownedBySet;
    if (!file.ownedBySet)
        return report;
    report.present = true;
    const std::string folder = GetFolderFromPath(file.path);
    const std::string setName = GetFileNameFromPath(RemoveFileExtension(file.path));
    std::map<std::string, std::string> listed; // full path -> hex
    for (const ChecksumEntry& entry : file.entries)
        listed[folder + entry.name] = entry.hex;
    int hashedPieces = 0;
    int matchingPieces = 0;
    for (const PieceHasher::Digest& digest : digests) {
        const auto found = listed.find(digest.name);
        if (found == listed.end())
            continue;
        const PieceState state = found->second == digest.hex ? PieceState::Ok : PieceState::Damaged;
        if (!listedFile(GetFileNameFromPath(digest.name), setName).recovery) {
            ++hashedPieces;
            matchingPieces += state == PieceState::Ok;
        }
        report.pieces.push_back({digest.name, state});
        listed.erase(found);
    }
    for (const ChecksumEntry& entry : file.entries) {
        const std::string path = folder + entry.name;
        if (listed.count(path) != 0 && !fileExists(path))
            report.pieces.push_back({path, listedFile(entry.name, setName).recovery
                                               ? PieceState::MissingOptional
                                               : PieceState::Missing});
    }
    report.earlierSplit = hashedPieces > 1 && matchingPieces == 0;
    return report;
}

} // namespace parcelo
