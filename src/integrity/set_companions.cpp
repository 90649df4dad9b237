#include "integrity/set_companions.h"

#include "format/split_set.h"
#include "integrity/checksum_file.h"
#include "integrity/sha256.h"
#include "platform/paths.h"
#include "recovery/recovery.h"

#include <algorithm>

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

bool parseRecoveryText(std::string text, CompanionOptions& options)
{
    const bool percent = text.ends_with('%');
    if (percent)
        text.pop_back();
    if (text.empty() || text.size() > 5
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int count = std::stoi(text);
    if (count > (percent ? 100 : kMaxPieces))
        return false;
    options.recovery = count;
    options.recoveryPercent = percent;
    return true;
}

namespace {

void removeRecoveryPieces(const std::string& setBase)
{
    for (int j = 1; fileExists(recoveryPieceName(setBase, j)); ++j)
        removeFileQuietly(recoveryPieceName(setBase, j));
}

// The recovery pieces, with their digests added to those of the pieces.
void addRecoveryPieces(const std::string& setBase, int count, const CompanionWork& work,
                       std::vector<PieceHasher::Digest>& digests, std::vector<SafeOutput>& outputs)
{
    RecoveryOptions options;
    options.afterStripe = work.afterStripe;
    for (SafeOutput& output :
         prepareRecoveryPieces(setBase, count, newSetIdentifier(), options, work.piecePaths)) {
        digests.push_back(
            {GetFileNameFromPath(output.finalPath()), sha256OfFile(output.temporaryPath()), {}});
        outputs.push_back(std::move(output));
    }
}

} // namespace

std::vector<SafeOutput> prepareSetCompanions(const std::string& folder, const JoinScriptSet& set,
                                             const std::vector<PieceHasher::Digest>& pieceDigests,
                                             const CompanionOptions& options,
                                             const CompanionWork& work)
{
    const std::string base = folder + set.name;
    auto digests = pieceDigests;
    std::vector<SafeOutput> outputs;
    const int recovery = set.lineSet ? 0 : recoveryPiecesFor(options, set.pieceCount);
    if (recovery > 0)
        addRecoveryPieces(base, recovery, work, digests, outputs);
    if (options.checksums)
        outputs.push_back(prepareChecksumFile(checksumFilePath(base), digests));
    if (options.joinScript)
        for (SafeOutput& script : prepareJoinScripts(folder, set))
            outputs.push_back(std::move(script));
    return outputs;
}

void commitSetCompanions(const std::string& setBase, std::vector<SafeOutput>& companions)
{
    try {
        for (SafeOutput& companion : companions)
            companion.commit();
    } catch (...) {
        removeSetCompanions(setBase);
        throw;
    }
}

void removeSetCompanions(const std::string& setBase)
{
    for (const char* suffix : {".join.sh", ".join.cmd"})
        removeFileQuietly(setBase + suffix);
    removeFileQuietly(checksumFilePath(setBase));
    removeRecoveryPieces(setBase);
}

} // namespace parcelo
