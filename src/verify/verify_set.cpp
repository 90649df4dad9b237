#include "verify/verify.h"

#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/checksum_watch.h"
#include "integrity/checksum_witness.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"
#include "verify/verify_common.h"

#include <functional>
#include <vector>

namespace parcelo {

using namespace verify_detail;

namespace {

// One check of a whole set: the picked piece decides the kind of set and, for a byte
// set, its count; then every piece is opened, checked and listed.
class SetCheck {
public:
    SetCheck(const std::string& path, const VerifyContext& context)
        : path_(path), context_(context), base_(RemoveFileExtension(path)),
          diskette_(isDiskettePath(path))
    {
    }

    VerifyVerdict run();

private:
    enum class Step { Done, Cancelled };

    std::string pieceName(int i) const { return base_ + SplitFileExtension(i); }
    void readPicked();
    bool checkPieces(const std::function<void(int)>& checkPiece);
    Step onDisk(int i, const std::function<void(int)>& checkPiece);
    void checkBytePiece(int i);
    void checkLinePiece(int i);
    void checkByteSizes();
    void checkLineGap();
    void addReason(const std::string& reason);
    void addChecksumReasons();
    void examineRecovery();
    void recordOutlook(const SetCondition& condition) const;
    VerifyVerdict showVerdict();

    const std::string& path_;
    const VerifyContext& context_;
    std::string base_;
    bool diskette_;
    bool result_ = true;
    std::string reasons_;
    int count_ = 0;
    std::vector<std::uint64_t> sizes_; // of the byte pieces checked, piece 1 first
    ChecksumWatch checksums_{base_};   // hashes each piece while the next is opened
    bool missing_ = false;             // a piece was missing: sizes say nothing then
    bool bytePass_ = false;            // the set was read as a byte set
    std::string notes_;                // shown whatever the verdict, after the reasons
};

void SetCheck::addReason(const std::string& reason)
{
    reasons_ += reason;
    result_ = false;
}

// The picked piece as a byte piece: its signature and the set's count.
void SetCheck::readPicked()
{
    File picked(path_, File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(picked);
    if (const std::string fault = pieceFault(header, picked.size()); !fault.empty()) {
        result_ = false;
        reasons_ = header.hasByteSignature() ? invalidPieceText(path_, fault) : fault;
        return;
    }
    count_ = header.count;
}

// Runs the check of every piece 1 to count, letting the window work between pieces;
// false when the user cancelled or asked the check to stop.
bool SetCheck::checkPieces(const std::function<void(int)>& checkPiece)
{
    for (int i = 1; i <= count_; ++i) {
        context_.host.processEvents();
        if (jobStop().requested() || onDisk(i, checkPiece) == Step::Cancelled)
            return false;
    }
    return true;
}

// Checks piece i, on the diskette drive once its disk is in the drive; an empty drive
// (run-time error 52) asks for the disk and repeats the check.
SetCheck::Step SetCheck::onDisk(int i, const std::function<void(int)>& checkPiece)
{
    for (;;) {
        try {
            // With a checksum file every missing piece is listed, not just the first.
            if (!diskette_ && checksums_.active() && !fileExists(pieceName(i))) {
                addReason("Missing Split File: " + pieceName(i) + LF);
                missing_ = true;
                return Step::Done;
            }
            if (!diskette_ || fileExists(pieceName(i))) {
                checkPiece(i);
                checksums_.begin(pieceName(i));
                checksums_.end(diskette_);
                return Step::Done;
            }
        } catch (const RunError& e) {
            if (!diskette_ || e.number() != err::BadFileNameOrNumber)
                throw;
        }
        if (!askForDisk(context_.host, i, count_))
            return Step::Cancelled;
    }
}

void SetCheck::checkBytePiece(int i)
{
    const std::string name = pieceName(i);
    File piece(name, File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(piece);
    sizes_.push_back(piece.size());
    if (!header.hasByteSignature())
        addReason("The file " + name + " was not split by Parcelo application." + LF);
    else if (header.count != count_ || header.number != i)
        addReason(notOfTheSetText(name) + LF);
    listFile(context_, name, static_cast<double>(piece.size()));
}

// Sizes tell a piece cut short or grown, which its header cannot.
void SetCheck::checkByteSizes()
{
    if (missing_)
        return;
    for (const int i : misSizedPieces(sizes_)) {
        const std::string reason = notOfTheSetText(pieceName(i)) + LF;
        if (reasons_.find(reason) == std::string::npos) // its header may have named it
            addReason(reason);
    }
}

// A line piece further on than the last consecutive one means one in between is missing.
void SetCheck::checkLineGap()
{
    if (!diskette_ && !linePiecesAbove(base_, count_).empty())
        addReason("Missing Split File: " + pieceName(count_ + 1) + LF);
}

void SetCheck::checkLinePiece(int i)
{
    const std::string name = pieceName(i);
    File piece(name, File::Mode::Read);
    const std::uint64_t size = piece.size();
    if (size == 0)
        throw RunError(err::InputPastEndOfFile); // no first line to read
    if (!markerLineEnd(piece))
        addReason("The file " + name + " was not split by Parcelo application." + LF);
    listFile(context_, name, static_cast<double>(size));
}

// Each damaged, unlisted or missing piece once, or the checksum file as another set's.
void SetCheck::addChecksumReasons()
{
    const ChecksumReport report = checksums_.report();
    if (context_.checksums != nullptr)
        *context_.checksums = report;
    for (const std::string& problem : report.problems()) {
        const std::string reason = problem + LF;
        if (reasons_.find(reason) == std::string::npos)
            addReason(reason);
    }
}

// The set's recovery pieces, checked as a join checks them: what they find lost is a
// reason, with whether they can rebuild it; those that were not used are noted.
void SetCheck::examineRecovery()
{
    SetCondition condition;
    if (bytePass_ && !diskette_) {
        ChecksumWitness checksums(base_);
        RecoveryOptions options;
        options.afterStripe = [this] { context_.host.processEvents(); };
        options.witness = &checksums;
        condition = examineSet(base_, options);
    }
    notes_ = condition.notice;
    if (condition.hasRecovery && !condition.lostPieces.empty())
        addReason("The set " + repairVerdict(condition) + "." + LF);
    recordOutlook(condition);
}

void SetCheck::recordOutlook(const SetCondition& condition) const
{
    if (context_.outlook == nullptr)
        return;
    RepairOutlook& outlook = *context_.outlook;
    if (result_)
        outlook = {SetOutlook::Intact, "is intact"};
    else if (condition.hasRecovery && condition.repairable && !condition.complete())
        outlook = {SetOutlook::Repairable, repairVerdict(condition)};
    else if (!condition.hasRecovery || !condition.repairable)
        outlook = {SetOutlook::NotRepairable, repairVerdict(condition)};
    else // the recovery pieces find whole what the other checks find damaged
        outlook = {SetOutlook::NotRepairable,
                   "cannot be repaired: its recovery pieces find nothing to rebuild"};
}

VerifyVerdict SetCheck::showVerdict()
{
    addChecksumReasons();
    examineRecovery();
    if (result_) {
        context_.host.message(
            Question::Notice,
            "The set of split files associated with this file has been verified successfully."
                + (notes_.empty() ? notes_ : LF + notes_),
            Buttons::Ok, Icon::None);
        return VerifyVerdict::Verified;
    }
    context_.host.message(Question::Notice,
                          "The set of split files associated with this file could not be verified."
                              + std::string(LF) + reasons_ + notes_,
                          Buttons::Ok, Icon::Critical);
    return VerifyVerdict::NotVerified;
}

VerifyVerdict SetCheck::run()
{
    if (!pickedNameEndsInDigit(path_)) {
        result_ = false;
        reasons_ = kNoValidExtension;
    }
    if (result_ && !fileExists(path_)) {
        context_.host.message(Question::Notice, kDoesNotExist, Buttons::Ok, Icon::Critical);
        return VerifyVerdict::NoVerdict;
    }
    if (result_)
        readPicked();
    clearList(context_);
    // A picked piece with a byte signature can never start with the marker line, so the
    // line reading is needed only when it had none (and the disk has not been changed).
    bytePass_ = result_;
    if (bytePass_) {
        if (!checkPieces([this](int i) { checkBytePiece(i); }))
            return reportCancel(context_);
        checkByteSizes();
    }
    if (!bytePass_ && firstLineIsMarker(path_)) {
        result_ = true;
        count_ = lastConsecutivePiece(base_, pieceNumberFromName(path_));
        if (!checkPieces([this](int i) { checkLinePiece(i); }))
            return reportCancel(context_);
        checkLineGap();
    }
    return showVerdict();
}

} // namespace

VerifyVerdict VerifySplitSet(const std::string& path, const VerifyContext& context)
{
    try {
        return SetCheck(path, context).run();
    } catch (const RunError& e) {
        return reportRunError(context, e);
    }
}

} // namespace parcelo
