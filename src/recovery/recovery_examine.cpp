#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/run_error.h"
#include "recovery/recovery_detail.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace parcelo {

using namespace recovery_detail;

namespace {

// One file of the set as found on disk: looked at once, its data read at most once, however
// many recovery sets ask about it.
struct Found {
    std::string path;
    bool present = false;
    std::uint64_t size = 0;
    PieceHeader header;                           // of a piece
    HeaderCheck check = HeaderCheck::NotRecovery; // of a recovery file
    RecoveryHeader recovery;                      // of a recovery file with a sound header
    bool dataRead = false;                        // dataCrc has been asked for
    std::optional<std::uint32_t> dataCrc;         // of the bytes after its header
    std::optional<Testimony> testimony;           // the checksum file's word on it
};

enum class Belonging { Foreign, Unlisted, Disagrees, Belongs };

struct Judgement {
    Belonging belonging = Belonging::Foreign;
    SetCondition condition;
};

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// Up to three names, then how many more: "a.rec001, a.rec002 and 5 more".
std::string namesText(const std::vector<std::string>& names)
{
    std::string text;
    const std::size_t shown = std::min<std::size_t>(names.size(), 3);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    if (names.size() > shown)
        text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

// "NAMES do not belong to these pieces; they were not used." and the like.
std::string unusedText(const std::vector<std::string>& names, const std::string& single,
                       const std::string& plural)
{
    if (names.empty())
        return {};
    const bool one = names.size() == 1;
    return namesText(names) + " " + (one ? single : plural) + "; " + (one ? "it was" : "they were")
           + " not used.";
}

std::string isAre(int count)
{
    return count == 1 ? " is" : " are";
}

// Every group may lose as many files as it holds recovery pieces.
bool lossesCovered(const SetCondition& c)
{
    const RecoveryGroups groups = recoveryGroups(c.layout.pieceCount, c.layout.recoveryCount);
    std::vector<int> lost(static_cast<std::size_t>(groups.groups), 0);
    for (int n : c.lostPieces)
        ++lost[static_cast<std::size_t>(groups.groupOf(n))];
    for (int j : c.lostRecovery)
        ++lost[static_cast<std::size_t>(groups.groupOf(j))];
    for (int g = 0; g < groups.groups; ++g)
        if (lost[static_cast<std::size_t>(g)] > groups.recoveryIn(g))
            return false;
    return true;
}

int goodFiles(const SetCondition& c)
{
    return c.layout.pieceCount + c.layout.recoveryCount
           - static_cast<int>(c.lostPieces.size() + c.lostRecovery.size());
}

class Examination {
public:
    Examination(const std::string& basePath, const RecoveryOptions& options)
        : base_(basePath), options_(options)
    {
        for (const auto& [number, path] : recoveryFiles(basePath))
            recovery_.emplace(number, lookAtRecovery(path));
    }

    SetCondition run();

private:
    static Found lookAtRecovery(const std::string& path);
    Found& piece(int n);
    Found& recovery(int j);
    std::optional<std::uint32_t> dataCrc(Found& found, std::uint64_t offset);
    Testimony testimony(FileWitness& witness, Found& found);
    bool own(const RecoveryHeader& layout, int j);
    bool listedByWitness(const RecoveryHeader& layout, const FileWitness& witness);
    std::vector<bool> fittingPieces(const RecoveryHeader& layout, int& present);
    int judgePieces(SetCondition& c, const std::vector<bool>& fits);
    bool contradicts(const SetCondition& c, FileWitness& witness);
    Judgement judge(const RecoveryHeader& layout);
    bool judgeRecovery(SetCondition& c, FileWitness* witness);
    void addNotice(SetCondition& chosen, const std::vector<Judgement>& judgements);

    const std::string& base_;
    const RecoveryOptions& options_;
    std::map<int, Found> pieces_;
    std::map<int, Found> recovery_; // the files named as recovery pieces, by number
    Found missing_;                 // stands for a recovery piece that is not there
};

Found Examination::lookAtRecovery(const std::string& path)
{
    Found found;
    found.path = path;
    found.present = true;
    found.check = readRecoveryHeader(path, found.recovery);
    return found;
}

Found& Examination::piece(int n)
{
    const auto [at, added] = pieces_.try_emplace(n);
    Found& found = at->second;
    if (added) {
        found.path = base_ + SplitFileExtension(n);
        try {
            File file(found.path, File::Mode::Read);
            found.header = readPieceHeaderZeroFilled(file);
            found.size = file.size();
            found.present = true;
        } catch (const RunError&) {
            found.present = false; // missing, or a file that cannot be read
        }
    }
    return found;
}

Found& Examination::recovery(int j)
{
    const auto at = recovery_.find(j);
    return at == recovery_.end() ? missing_ : at->second;
}

// The CRC-32 of the file's bytes from offset to its end; none when it cannot be read.
std::optional<std::uint32_t> Examination::dataCrc(Found& found, std::uint64_t offset)
{
    if (found.dataRead)
        return found.dataCrc;
    found.dataRead = true;
    uLong crc = crc32(0, nullptr, 0);
    try {
        File file(found.path, File::Mode::Read);
        file.seek(offset);
        std::vector<unsigned char> buffer(std::max<std::size_t>(options_.stripeBytes, 1));
        while (const std::size_t got = file.read(buffer.data(), buffer.size())) {
            crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
            endStripe(options_, got);
        }
        found.dataCrc = static_cast<std::uint32_t>(crc);
    } catch (const RunError&) {
        // a file that cannot be read has no CRC to compare (a stop goes on up)
    }
    return found.dataCrc;
}

Testimony Examination::testimony(FileWitness& witness, Found& found)
{
    if (!found.testimony) {
        try {
            File file(found.path, File::Mode::Read);
            found.testimony = testimonyOf(witness, fileName(found.path), file, options_);
        } catch (const RunError&) {
            found.testimony = Testimony::Unknown; // a stop goes on up
        }
    }
    return *found.testimony;
}

// Recovery piece j is the layout's own: its header is the layout's, with number j.
bool Examination::own(const RecoveryHeader& layout, int j)
{
    const Found& found = recovery(j);
    return found.check == HeaderCheck::Sound && found.recovery.number == j
           && found.recovery.sameSet(layout);
}

bool Examination::listedByWitness(const RecoveryHeader& layout, const FileWitness& witness)
{
    for (int j = 1; j <= layout.recoveryCount; ++j)
        if (own(layout, j) && witness.lists(fileName(recovery(j).path)))
            return true;
    return false;
}

// Which pieces have the layout's header and size (sizes first: nothing is read here);
// present: how many pieces are there at all.
std::vector<bool> Examination::fittingPieces(const RecoveryHeader& layout, int& present)
{
    std::vector<bool> fits(static_cast<std::size_t>(layout.pieceCount) + 1, false);
    present = 0;
    for (int n = 1; n <= layout.pieceCount; ++n) {
        const Found& found = piece(n);
        present += found.present;
        fits[static_cast<std::size_t>(n)] =
            found.present && layout.fitsPiece(found.header, n, found.size);
    }
    return fits;
}

// Lists the pieces the layout's CRCs call lost; returns how many match.
int Examination::judgePieces(SetCondition& c, const std::vector<bool>& fits)
{
    int matching = 0;
    for (int n = 1; n <= c.layout.pieceCount; ++n) {
        if (fits[static_cast<std::size_t>(n)]
            && dataCrc(piece(n), c.layout.pieceHeaderBytes())
                   == c.layout.crcs[static_cast<std::size_t>(n - 1)])
            ++matching;
        else
            c.lostPieces.push_back(n);
    }
    return matching;
}

// A piece the recovery pieces call lost that matches the checksum file shows that they
// were made for other contents.
bool Examination::contradicts(const SetCondition& c, FileWitness& witness)
{
    return std::any_of(c.lostPieces.begin(), c.lostPieces.end(), [&](int n) {
        Found& found = piece(n);
        return found.present && witness.lists(fileName(found.path))
               && testimony(witness, found) == Testimony::Matches;
    });
}

Judgement Examination::judge(const RecoveryHeader& layout)
{
    Judgement judgement;
    SetCondition& c = judgement.condition;
    c.layout = layout;
    int present = 0;
    const std::vector<bool> fits = fittingPieces(layout, present);
    if (present > 0 && std::none_of(fits.begin(), fits.end(), [](bool fit) { return fit; }))
        return judgement;
    const int matching = judgePieces(c, fits);
    // With the set's checksum file, it alone vouches for recovery pieces; without one,
    // CRCs that match none of the pieces here are another set's.
    FileWitness* witness = witnessFor(options_, layout.pieceCount);
    if (witness == nullptr && present > 0 && matching == 0)
        return judgement;
    if (witness != nullptr && !listedByWitness(layout, *witness)) {
        judgement.belonging = Belonging::Unlisted;
        return judgement;
    }
    if (witness != nullptr && (contradicts(c, *witness) || !judgeRecovery(c, witness))) {
        judgement.belonging = Belonging::Disagrees;
        return judgement;
    }
    if (witness == nullptr)
        judgeRecovery(c, nullptr);
    c.hasRecovery = true;
    c.repairable = lossesCovered(c);
    judgement.belonging = Belonging::Belongs;
    return judgement;
}

// Lists the layout's recovery pieces that are lost: missing, damaged by their CRC, not
// listed in the checksum file or not matching it, or taken by a file of another set.
// True when one of them is good and the checksum file lists it.
bool Examination::judgeRecovery(SetCondition& c, FileWitness* witness)
{
    const RecoveryHeader& layout = c.layout;
    const std::size_t k = static_cast<std::size_t>(layout.pieceCount);
    const std::size_t headerSize = recoveryHeaderSize(layout.pieceCount, layout.recoveryCount);
    bool vouched = false;
    for (int j = 1; j <= layout.recoveryCount; ++j) {
        Found& found = recovery(j);
        const bool mine = own(layout, j);
        bool good =
            mine && dataCrc(found, headerSize) == layout.crcs[k + static_cast<std::size_t>(j) - 1];
        if (good && witness != nullptr) {
            good = witness->lists(fileName(found.path))
                   && testimony(*witness, found) == Testimony::Matches;
            vouched = vouched || good;
        }
        if (!good)
            c.lostRecovery.push_back(j);
        // A file of another set, or none at all, is never replaced; a damaged one of
        // this name that carries the recovery mark is.
        const bool ours = mine || found.check == HeaderCheck::Damaged
                          || (found.check == HeaderCheck::Sound && found.recovery.sameSet(layout));
        if (found.present && !ours)
            c.foreignRecovery.push_back(j);
    }
    return vouched;
}

// Names the recovery files that were not used, and why; those beyond the chosen set's
// recovery pieces (all of them when none was chosen) join its foreign ones.
void Examination::addNotice(SetCondition& chosen, const std::vector<Judgement>& judgements)
{
    std::map<Belonging, std::vector<std::string>> unused;
    for (const auto& [number, found] : recovery_) {
        const bool inSet = chosen.hasRecovery && number <= chosen.layout.recoveryCount;
        if (inSet && !contains(chosen.foreignRecovery, number))
            continue; // the set's own, sound or damaged
        if (!inSet)
            chosen.foreignRecovery.push_back(number);
        Belonging why = Belonging::Foreign;
        for (const Judgement& judgement : judgements)
            if (found.check == HeaderCheck::Sound
                && found.recovery.sameSet(judgement.condition.layout))
                why = judgement.belonging;
        unused[why == Belonging::Belongs ? Belonging::Foreign : why].push_back(
            fileName(found.path));
    }
    const std::string checksums =
        options_.witness != nullptr ? options_.witness->name() : std::string();
    for (const auto& [why, names] : unused) {
        const std::string text =
            why == Belonging::Unlisted ? unusedText(names, "is not listed in " + checksums,
                                                    "are not listed in " + checksums)
            : why == Belonging::Disagrees
                ? unusedText(names, "disagrees with " + checksums, "disagree with " + checksums)
                : unusedText(names, "does not belong to these pieces",
                             "do not belong to these pieces");
        chosen.notice += (chosen.notice.empty() ? "" : " ") + text;
    }
}

SetCondition Examination::run()
{
    std::vector<Judgement> judgements;
    for (const auto& [number, found] : recovery_) {
        if (found.check != HeaderCheck::Sound || found.recovery.number != number)
            continue;
        const RecoveryHeader& header = found.recovery;
        const bool judged = std::any_of(judgements.begin(), judgements.end(), [&](const auto& j) {
            return j.condition.layout.sameSet(header);
        });
        if (!judged)
            judgements.push_back(judge(header));
    }
    SetCondition chosen;
    for (const Judgement& judgement : judgements)
        if (judgement.belonging == Belonging::Belongs
            && (!chosen.hasRecovery || goodFiles(judgement.condition) > goodFiles(chosen)))
            chosen = judgement.condition;
    addNotice(chosen, judgements);
    return chosen;
}

} // namespace

std::string repairVerdict(const SetCondition& c)
{
    if (!c.hasRecovery)
        return "cannot be repaired: no recovery pieces of this set are here";
    const int lost = static_cast<int>(c.lostPieces.size());
    const int lostRecovery = static_cast<int>(c.lostRecovery.size());
    if (lost == 0) // the pieces at hand rebuild every recovery piece
        return lostRecovery == 0 ? "is intact"
                                 : "can be repaired: " + countText(lostRecovery, "recovery piece")
                                       + isAre(lostRecovery) + " damaged or missing";
    const int usable = c.usableRecovery();
    const std::string lostText = countText(lost, "piece") + isAre(lost) + " damaged or missing";
    if (c.repairable)
        return "can be repaired: " + lostText + " and " + countText(usable, "recovery piece")
               + isAre(usable) + " here";
    if (lost > usable)
        return "cannot be repaired: " + lostText + " and only "
               + countText(usable, "recovery piece") + isAre(usable) + " here";
    return "cannot be repaired: " + lostText
           + " and too many of them are in one group of the recovery code";
}

SetCondition examineSet(const std::string& basePath, const RecoveryOptions& options)
{
    return Examination(basePath, options).run();
}

} // namespace parcelo
