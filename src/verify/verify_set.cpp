#include "verify/verify.h"

#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/checksum_watch.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"
#include "verify/set_repair.h"
#include "verify/verify_common.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
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
    std::string pieceName(int i) const { return base_ + SplitFileExtension(i); }
    void readPicked();
    void checkPieces(const std::function<void(int)>& checkPiece);
    void onDisk(int i, const std::function<void(int)>& checkPiece);
    void checkBytePiece(int i);
    void checkLinePiece(int i);
    void checkByteSizes();
    void checkLineGap(std::size_t pickedReasons);
    void addReason(const std::string& reason);
    void watchChecksums(bool lineSet);
    PieceState stateOf(const std::string& path) const;
    void setState(const std::string& path, PieceState state);
    void addChecksumReasons();
    void addRecoveryFindings();
    void markLost(const std::string& path, PieceState whenMissing);
    VerifyVerdict showVerdict();

    const std::string& path_;
    const VerifyContext& context_;
    std::string base_;
    bool diskette_;
    bool result_ = true;
    std::string reasons_;
    int count_ = 0;
    std::vector<std::uint64_t> sizes_;          // of the byte pieces checked, piece 1 first
    std::unique_ptr<ChecksumWatch> checksums_;  // hashes each piece while the next is opened
    bool missing_ = false;                      // a piece was missing: sizes say nothing then
    std::vector<ChecksumReport::Piece> states_; // each piece's and recovery piece's state
    std::set<std::string> vouched_;             // the pieces the set's checksum file found OK
    std::string notice_;    // a file named like the checksum file that is not the set's
    bool bytePass_ = false; // the set was read as a byte set
    std::string notes_;     // what the recovery pieces' examination notes, whatever the verdict
};

void SetCheck::addReason(const std::string& reason)
{
    reasons_ += reason;
    result_ = false;
}

void SetCheck::watchChecksums(bool lineSet)
{
    checksums_ = std::make_unique<ChecksumWatch>(ChecksumSet{base_, count_, !lineSet});
}

// What has been found of the file at path so far: OK when nothing.
PieceState SetCheck::stateOf(const std::string& path) const
{
    const auto known = std::find_if(states_.begin(), states_.end(),
                                    [&](const ChecksumReport::Piece& p) { return p.path == path; });
    return known == states_.end() ? PieceState::Ok : known->state;
}

// The first finding against a piece stands; OK only until something else is found.
void SetCheck::setState(const std::string& path, PieceState state)
{
    const auto known = std::find_if(states_.begin(), states_.end(),
                                    [&](const ChecksumReport::Piece& p) { return p.path == path; });
    if (known == states_.end())
        states_.push_back({path, state});
    else if (known->state == PieceState::Ok)
        known->state = state;
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

// Runs the check of every piece 1 to count, letting the window work between pieces.
void SetCheck::checkPieces(const std::function<void(int)>& checkPiece)
{
    for (int i = 1; i <= count_; ++i) {
        context_.host.processEvents();
        jobStop().throwIfRequested();
        onDisk(i, checkPiece);
    }
}

// Checks piece i, on the diskette drive once its disk is in the drive; an empty drive
// (run-time error 52) asks for the disk and repeats the check. A cancelled prompt stops
// the check.
void SetCheck::onDisk(int i, const std::function<void(int)>& checkPiece)
{
    for (;;) {
        try {
            // With a checksum file every missing piece is listed, not just the first.
            if (!diskette_ && checksums_->active() && !fileExists(pieceName(i))) {
                addReason("Missing Split File: " + pieceName(i) + LF);
                setState(pieceName(i), PieceState::Missing);
                missing_ = true;
                return;
            }
            if (!diskette_ || fileExists(pieceName(i))) {
                checkPiece(i);
                setState(pieceName(i), PieceState::Ok);
                checksums_->begin(pieceName(i));
                checksums_->end(diskette_);
                return;
            }
        } catch (const RunError& e) {
            if (!diskette_ || e.number() != err::BadFileNameOrNumber)
                throw;
        }
        if (!askForDisk(context_.host, i, count_))
            throw JobStopped();
    }
}

void SetCheck::checkBytePiece(int i)
{
    const std::string name = pieceName(i);
    File piece(name, File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(piece);
    sizes_.push_back(piece.size());
    std::string fault;
    if (!header.hasByteSignature())
        fault = "The file " + name + " was not split by Parcelo application.";
    else if (header.count != count_ || header.number != i)
        fault = notOfTheSetText(name);
    if (!fault.empty()) {
        addReason(fault + LF);
        setState(name, PieceState::Damaged);
    }
    listFile(context_, name, static_cast<double>(piece.size()));
}

// Sizes tell a piece cut short or grown, which its header cannot.
void SetCheck::checkByteSizes()
{
    if (missing_)
        return;
    for (const int i : misSizedPieces(sizes_)) {
        const std::string reason = notOfTheSetText(pieceName(i)) + LF;
        setState(pieceName(i), PieceState::Damaged);
        if (reasons_.find(reason) == std::string::npos) // its header may have named it
            addReason(reason);
    }
}

// A line piece further on than the last consecutive one means one in between is missing.
// That is the set's fault, not the picked piece's: the byte pass's reason about it (the
// first pickedReasons characters, "not split by Parcelo", untrue of a line piece) goes.
void SetCheck::checkLineGap(std::size_t pickedReasons)
{
    if (diskette_ || linePiecesAbove(base_, count_).empty())
        return;
    reasons_.erase(0, pickedReasons);
    addReason("Missing Split File: " + pieceName(count_ + 1) + LF);
}

void SetCheck::checkLinePiece(int i)
{
    const std::string name = pieceName(i);
    File piece(name, File::Mode::Read);
    const std::uint64_t size = piece.size();
    if (size == 0)
        throw RunError(err::InputPastEndOfFile); // no first line to read
    if (!markerLineEnd(piece)) {
        addReason("The file " + name + " was not split by Parcelo application." + LF);
        setState(name, PieceState::Damaged);
    }
    listFile(context_, name, static_cast<double>(size));
}

// Each damaged or missing piece once, or the checksum file as an earlier split's; the
// recovery pieces it lists are read too.
void SetCheck::addChecksumReasons()
{
    if (!checksums_)
        return;
    if (!diskette_)
        checksums_->hashListedRecoveryPieces();
    const ChecksumReport report = checksums_->report();
    if (context_.checksums != nullptr)
        *context_.checksums = report;
    notice_ = report.notice();
    for (const ChecksumReport::Piece& piece : report.pieces) {
        setState(piece.path, piece.state);
        if (piece.state == PieceState::Ok)
            vouched_.insert(piece.path);
    }
    for (const std::string& problem : report.problems()) {
        const std::string reason = problem + LF;
        if (reasons_.find(reason) == std::string::npos)
            addReason(reason);
    }
}

// What the set's recovery pieces tell, checked as a join checks them: a piece whose data
// does not match its CRC is damaged, unless the checksum file vouches for it; so is a
// recovery piece that does not match; a missing recovery piece is optional. When something
// is lost, whether they can rebuild it; those that were not used are noted.
void SetCheck::addRecoveryFindings()
{
    SetCondition condition;
    if (bytePass_ && !diskette_ && count_ > 0)
        condition = SetRepair(base_, [this] { context_.host.processEvents(); }).condition();
    notes_ = condition.notice;
    if (condition.hasRecovery) {
        for (const int n : condition.lostPieces)
            markLost(pieceName(n), PieceState::Missing);
        const auto& lostRecovery = condition.lostRecovery;
        for (int j = 1; j <= condition.layout.recoveryCount; ++j) {
            const std::string path = recoveryPieceName(base_, j);
            if (std::find(lostRecovery.begin(), lostRecovery.end(), j) != lostRecovery.end())
                markLost(path, PieceState::MissingOptional);
            else
                setState(path, PieceState::Ok);
        }
        if (!condition.lostPieces.empty())
            addReason("The set " + repairVerdict(condition) + "." + LF);
    }
    if (context_.outlook != nullptr) {
        *context_.outlook = repairOutlook(result_, condition);
        context_.outlook->notice = condition.notice;
    }
}

// A file the recovery pieces find lost: when it is there it is damaged, with a reason
// unless the header or the checksum file named it already.
void SetCheck::markLost(const std::string& path, PieceState whenMissing)
{
    if (!fileExists(path)) {
        setState(path, whenMissing);
        return;
    }
    if (vouched_.count(path) != 0 || stateOf(path) != PieceState::Ok)
        return;
    setState(path, PieceState::Damaged);
    addReason(damagedPieceText(path) + LF);
}

VerifyVerdict SetCheck::showVerdict()
{
    addChecksumReasons();
    addRecoveryFindings();
    if (context_.checksums != nullptr)
        context_.checksums->pieces = states_;
    std::string notice;
    for (const std::string* line : {&notice_, &notes_})
        if (!line->empty())
            notice += LF + *line;
    if (result_) {
        context_.host.message(
            Question::Notice,
            "The set of split files associated with this file has been verified successfully."
                + notice,
            Buttons::Ok, Icon::None);
        return VerifyVerdict::Verified;
    }
    context_.host.message(Question::Notice,
                          "The set of split files associated with this file could not be verified."
                              + std::string(LF) + reasons_ + notice.substr(notice.empty() ? 0 : 1),
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
        watchChecksums(false);
        checkPieces([this](int i) { checkBytePiece(i); });
        checkByteSizes();
    }
    if (!bytePass_ && firstLineIsMarker(path_)) {
        const std::size_t pickedReasons = reasons_.size();
        result_ = true;
        count_ = lastConsecutivePiece(base_, pieceNumberFromName(path_));
        watchChecksums(true);
        checkPieces([this](int i) { checkLinePiece(i); });
        checkLineGap(pickedReasons);
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
    } catch (const JobStopped&) {
        return reportCancel(context);
    }
}

} // namespace parcelo
