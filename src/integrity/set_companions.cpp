#include "integrity/set_companions.h"

#include "format/file_list.h"
#include "format/split_set.h"
#include "integrity/checksum_file.h"
#include "integrity/set_checksums.h"
#include "integrity/sha256.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"

#include <algorithm>
#include <filesystem>

namespace parcelo {

int recoveryPiecesFor(const CompanionOptions& options, int pieceCount)
{
    if (options.recovery <= 0)
        return 0;
    if (!options.recoveryPercent)
        return options.recovery;
    const int wanted = (pieceCount * options.recovery + 99) / 100;
    return std::max(wanted, minimumRecoveryPieces(pieceCount));
}

void checkRecoveryFor(const CompanionOptions& options, int pieceCount)
{
    if (const int count = recoveryPiecesFor(options, pieceCount); count > 0)
        checkRecoveryCount(pieceCount, count);
}

const char* const kRecoveryPromise =
    "Any N files of a set of up to 255 files (pieces and recovery pieces) may be lost. "
    "Larger sets are dealt in turn into G groups of at most 255 files (G = the fewest that "
    "fit; piece n and recovery piece n in group (n - 1) mod G) and need at least G recovery "
    "pieces; each group may lose as many files as it holds recovery pieces.";

namespace {

namespace fs = std::filesystem;

// Tells whether the file at a path is one a split wrote.
using OwnFile = std::function<bool(const std::string& path)>;

fs::file_type typeAt(const std::string& path)
{
    try {
        std::error_code ec;
        return fs::symlink_status(toNativePath(path), ec).type(); // a link is not followed
    } catch (const RunError&) {
        return fs::file_type::none; // no medium in the diskette drive
    }
}

bool isOwnRecoveryPiece(const std::string& path)
{
    RecoveryHeader header;
    return readRecoveryHeader(path, header) == HeaderCheck::Sound;
}

// Whether a companion may be written at path: not when the folder cannot hold its name,
// nor over anything there that a split did not write (a link, a folder, the user's own
// file). Then a notice tells what was left out.
bool mayWrite(const std::string& path, const OwnFile& own, const std::string& leftOut,
              std::vector<std::string>& notices)
{
    const std::string name = GetFileNameFromPath(path);
    const fs::file_type type = typeAt(path);
    std::string why;
    if (name.size() > longestNameIn(GetFolderFromPath(path)))
        why = " cannot be written, its name is too long";
    else if (type != fs::file_type::not_found && type != fs::file_type::none
             && (type != fs::file_type::regular || !own(path)))
        why = " already exists and was not written by Parcelo";
    if (why.empty())
        return true;
    notices.push_back(name + why + ": " + leftOut + ".");
    return false;
}

bool mayWriteRecoveryPieces(const std::string& setBase, int count,
                            std::vector<std::string>& notices)
{
    for (int j = 1; j <= count; ++j) {
        if (!mayWrite(recoveryPieceName(setBase, j), isOwnRecoveryPiece,
                      "no recovery pieces were written", notices))
            return false;
    }
    return true;
}

// The recovery pieces of setBase that are in its folder, whatever their numbers.
std::vector<std::string> recoveryPiecesBeside(const std::string& setBase)
{
    std::vector<std::string> found;
    const std::string folder = GetFolderFromPath(setBase);
    try {
        std::error_code ec;
        for (const auto& entry :
             fs::directory_iterator(toNativePath(folder.empty() ? "." : folder), ec)) {
            const std::string path = folder + entry.path().filename().string();
            const int number = recoveryPieceNumber(path);
            if (number > 0 && recoveryPieceName(setBase, number) == path)
                found.push_back(path);
        }
    } catch (const std::exception&) {
        // a folder that cannot be listed has none to offer
    }
    return found;
}

// The recovery pieces, with their digests added to those of the pieces.
void addRecoveryPieces(const std::string& setBase, const JoinScriptSet& set, int count,
                       const CompanionWork& work, std::vector<PieceHasher::Digest>& digests,
                       std::vector<SafeOutput>& outputs)
{
    RecoveryOptions options;
    options.afterStripe = work.afterStripe;
    for (SafeOutput& output :
         prepareRecoveryPieces(setBase, count, newSetIdentifier(), options, work.piecePaths,
                               set.plain ? set.pieceCount : 0)) {
        digests.push_back(
            {GetFileNameFromPath(output.finalPath()), sha256OfFile(output.temporaryPath()), {}});
        outputs.push_back(std::move(output));
    }
}

OwnFile ownChecksumsOf(const std::string& setName)
{
    return [setName](const std::string& path) { return isOwnChecksumFile(path, setName); };
}

} // namespace

std::string plainChecksumProblem(const std::string& setBase)
{
    std::vector<std::string> notices;
    mayWrite(checksumFilePath(setBase), ownChecksumsOf(GetFileNameFromPath(setBase)),
             "plain pieces are known by it alone, so none were written", notices);
    return notices.empty() ? std::string() : notices.front();
}

PreparedCompanions prepareSetCompanions(const std::string& folder, const JoinScriptSet& set,
                                        const std::vector<PieceHasher::Digest>& pieceDigests,
                                        const CompanionOptions& options, const CompanionWork& work)
{
    const std::string base = folder + set.name;
    auto digests = pieceDigests;
    PreparedCompanions prepared;
    std::vector<std::string>& notices = prepared.notices;
    const int recovery = set.lineSet ? 0 : recoveryPiecesFor(options, set.pieceCount);
    if (recovery > 0 && mayWriteRecoveryPieces(base, recovery, notices))
        addRecoveryPieces(base, set, recovery, work, digests, prepared.files);
    // A plain set is known by its checksum file alone: without it there is no set.
    if (set.plain) {
        if (const std::string problem = plainChecksumProblem(base); !problem.empty())
            throw RunError(err::PathFileAccessError, problem);
        prepared.files.push_back(prepareChecksumFile(checksumFilePath(base), digests));
    } else if (options.checksums
               && mayWrite(checksumFilePath(base), ownChecksumsOf(set.name),
                           "no checksum file was written", notices)) {
        prepared.files.push_back(prepareChecksumFile(checksumFilePath(base), digests));
    }
    if (options.joinScript)
        for (SafeOutput& script : prepareJoinScripts(folder, set))
            if (mayWrite(script.finalPath(), isOwnJoinScript,
                         "no join script was written in its place", notices))
                prepared.files.push_back(std::move(script));
    return prepared;
}

void commitSetCompanions(const std::string& setBase, PreparedCompanions& companions)
{
    std::vector<std::string> committed;
    try {
        for (SafeOutput& companion : companions.files) {
            companion.commit();
            committed.push_back(companion.finalPath());
        }
    } catch (...) {
        for (const std::string& path : committed)
            removeFileQuietly(path);
        throw;
    }
    removeSetCompanions(setBase, committed);
}

FileRowKind companionKind(const std::string& path)
{
    if (path.ends_with(".join.sh") || path.ends_with(".join.cmd"))
        return FileRowKind::JoinScript;
    if (recoveryPieceNumber(path) > 0)
        return FileRowKind::RecoveryPiece;
    return FileRowKind::ChecksumFile;
}

std::vector<std::string> committedCompanions(const PreparedCompanions& companions)
{
    std::vector<std::string> paths;
    for (const SafeOutput& file : companions.files)
        paths.push_back(file.finalPath());
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return companionKind(a) < companionKind(b);
    });
    return paths;
}

void listCompanions(Binding* list, const std::vector<std::string>& companions, DisplayUnit& unit)
{
    for (const std::string& path : companions) {
        double size = 0;
        try {
            size = static_cast<double>(fileLength(path));
        } catch (const RunError&) {
            // listed without its size: the file is written, whatever its folder says now
        }
        AddFileToList(list, path, size, unit, companionKind(path));
    }
}

namespace {

std::string counted(std::size_t count, const std::string& what)
{
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

} // namespace

std::string writtenSummary(int pieces, const std::vector<std::string>& companions)
{
    std::vector<std::string> parts;
    const auto count = [&](FileRowKind kind) {
        return static_cast<std::size_t>(
            std::count_if(companions.begin(), companions.end(),
                          [kind](const std::string& path) { return companionKind(path) == kind; }));
    };
    for (const std::string& path : companions)
        if (companionKind(path) == FileRowKind::ChecksumFile)
            parts.push_back(GetFileNameFromPath(path));
    if (const std::size_t recovery = count(FileRowKind::RecoveryPiece); recovery > 0)
        parts.push_back(counted(recovery, "recovery piece"));
    if (const std::size_t scripts = count(FileRowKind::JoinScript); scripts > 0)
        parts.emplace_back(scripts == 1 ? "a join script for recipients"
                                        : "join scripts for recipients");
    if (parts.empty())
        return {};
    std::string text = "Written: " + counted(static_cast<std::size_t>(pieces), "piece") + " plus ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text + ".";
}

namespace {

// Piece n of an older set of the name: its header says so, or the older checksum file of
// the name lists it with its digest.
bool isOlderPiece(const std::string& path, int n, const std::optional<ChecksumListing>& older)
{
    try {
        File piece(path, File::Mode::Read);
        const PieceHeader header = readPieceHeaderZeroFilled(piece);
        if (header.hasByteSignature() && header.number == n && header.count >= n)
            return true;
        const std::string name = GetFileNameFromPath(path);
        const std::string setName = GetFileNameFromPath(RemoveFileExtension(path));
        if (!older || !listsOnlyFilesOf(*older, setName))
            return false;
        const auto listed = std::find_if(older->entries.begin(), older->entries.end(),
                                         [&](const ChecksumEntry& e) { return e.name == name; });
        return listed != older->entries.end() && listed->hex == sha256OfFile(path);
    } catch (const RunError&) {
        return false; // what cannot be read is left alone
    }
}

} // namespace

std::vector<std::string> removeOlderPiecesBeyond(const std::string& setBase, int count,
                                                 const std::optional<ChecksumListing>& older)
{
    std::vector<std::string> left;
    for (int n = count + 1; n <= kMaxPieces; ++n) {
        const std::string path = setBase + SplitFileExtension(n);
        if (typeAt(path) != fs::file_type::regular)
            break;
        if (isOlderPiece(path, n, older))
            removeFileQuietly(path);
        else
            left.push_back(GetFileNameFromPath(path));
    }
    return left;
}

void removeSetCompanions(const std::string& setBase, const std::vector<std::string>& keep)
{
    if (isDiskettePath(setBase))
        return;
    const std::string setName = GetFileNameFromPath(setBase);
    std::vector<std::pair<std::string, OwnFile>> companions = {
        {checksumFilePath(setBase),
         [&](const std::string& path) { return isOwnChecksumFile(path, setName); }}};
    for (const std::string& script : joinScriptPaths(setBase))
        companions.emplace_back(script, isOwnJoinScript);
    for (std::string& path : recoveryPiecesBeside(setBase))
        companions.emplace_back(std::move(path), isOwnRecoveryPiece);
    for (const auto& [path, own] : companions) {
        if (std::find(keep.begin(), keep.end(), path) == keep.end()
            && typeAt(path) == fs::file_type::regular && own(path))
            removeFileQuietly(path);
    }
}

} // namespace parcelo
