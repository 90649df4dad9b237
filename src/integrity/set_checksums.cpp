#include "integrity/set_checksums.h"

#include "integrity/checksum_file.h"
#include "platform/paths.h"

#include <algorithm>
#include <map>

namespace parcelo {

namespace {

bool namesPieceOf(const std::string& name, const std::string& setName)
{
    return name.size() > setName.size() + 1 && name.compare(0, setName.size(), setName) == 0
           && name[setName.size()] == '.';
}

std::string stateText(const ChecksumReport& report, const ChecksumReport::Piece& piece)
{
    switch (piece.state) {
    case PieceState::Damaged:
        return damagedPieceText(piece.path);
    case PieceState::Missing:
        return "Missing Split File: " + piece.path;
    case PieceState::Unlisted:
        return "The file " + piece.path + " is not listed in the checksum file " + report.file
               + ".";
    case PieceState::Ok:
        break;
    }
    return {};
}

} // namespace

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
    case PieceState::Unlisted:
        return "NOT LISTED";
    }
    return "";
}

bool ChecksumReport::clean() const
{
    return !anotherSet && std::all_of(pieces.begin(), pieces.end(), [](const Piece& p) {
        return p.state == PieceState::Ok;
    });
}

int ChecksumReport::checked() const
{
    return static_cast<int>(std::count_if(
        pieces.begin(), pieces.end(), [](const Piece& p) { return p.state == PieceState::Ok; }));
}

std::vector<std::string> ChecksumReport::problems() const
{
    if (anotherSet)
        return {"The checksum file " + file + " was written for another set."};
    std::vector<std::string> lines;
    for (const Piece& piece : pieces) {
        if (piece.state != PieceState::Ok)
            lines.push_back(stateText(*this, piece));
    }
    return lines;
}

ChecksumReport compareWithChecksums(const std::string& setBase,
                                    const std::vector<PieceHasher::Digest>& digests)
{
    ChecksumReport report;
    report.file = checksumFilePath(setBase);
    const auto entries = readChecksumFile(report.file);
    if (!entries)
        return report;
    report.present = true;
    const std::string folder = GetFolderFromPath(setBase);
    const std::string setName = GetFileNameFromPath(setBase);
    std::map<std::string, std::string> listed;
    for (const auto& [name, hex] : *entries) {
        if (namesPieceOf(name, setName))
            listed[folder + name] = hex;
    }
    const std::size_t listedCount = listed.size();
    int matching = 0;
    for (const PieceHasher::Digest& digest : digests) {
        const auto found = listed.find(digest.name);
        PieceState state = PieceState::Unlisted;
        if (found != listed.end()) {
            state = found->second == digest.hex ? PieceState::Ok : PieceState::Damaged;
            matching += state == PieceState::Ok;
            listed.erase(found);
        }
        report.pieces.push_back({digest.name, state});
    }
    for (const auto& [path, hex] : listed) {
        if (!fileExists(path))
            report.pieces.push_back({path, PieceState::Missing});
    }
    // It names none of these pieces, or matches none of several: it belongs to another set.
    report.anotherSet = listedCount == 0 || (matching == 0 && digests.size() > 1);
    return report;
}

} // namespace parcelo
