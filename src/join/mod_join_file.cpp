#include "join/mod_join_file.h"

#include "format/file_list.h"
#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/set_checksums.h"
#include "platform/bindings.h"
#include "platform/host.h"
#include "platform/job_progress.h"
#include "platform/paths.h"
#include "platform/run_error.h"

namespace parcelo {

namespace {

constexpr const char* kNotASplitFile = "The file you selected is not a split file!";

} // namespace

modJoinFile::modJoinFile(Host& host) : host_(host) {}

modJoinFile::~modJoinFile() = default;

void modJoinFile::ResetJoin()
{
    currentPiece_ = 0;
    pieceCount_ = 0;
    errorFlag_ = 0;
    errorMessage_.clear();
    destinationFolder_.clear();
    joinedFileName_.clear();
    compressed_ = false;
    confirmDelete_ = true;
    roomAfterJoin_ = 0;
    replaceJoinedFile_ = false;
    lineSet_ = false;
    plainSet_ = false;
    foreignSet_ = false;
    plainOfferDeclined_ = false;
    firstNumber_ = 1;
    numberWidth_ = 3;
    outputCreated_ = false;
    checkOnly_ = false;
    closeFiles();
}

void modJoinFile::SetSourceFile(const std::string& path)
{
    sourceFile_ = path;
    std::string name = GetFileNameFromPath(path);
    if (isDiskettePath(name)) // "a:\\name.001": the drive is not part of the name
        name.erase(0, name.find_first_not_of("/\\", 2));
    joinedFileName_ = RemoveFileExtension(name);
}

std::string modJoinFile::PiecePath(int piece) const
{
    return RemoveFileExtension(sourceFile_)
           + numberedExtension(firstNumber_ + piece - 1, numberWidth_);
}

void modJoinFile::fail(int flag, const std::string& message)
{
    errorFlag_ = flag;
    errorMessage_ = message;
}

bool modJoinFile::IsSplitFile(const std::string& path)
{
    bool result = pickedNameEndsInDigit(path);
    if (!fileExists(path)) {
        host_.message(Question::Notice, fileNotLocatedText(path), Buttons::Ok, Icon::Critical);
        result = false;
    }
    pieceCount_ = 0;
    headerRefusal_.clear();
    if (!result)
        return false;
    try {
        File piece(path, File::Mode::Read);
        const PieceHeader header = readPieceHeaderOrFail(piece);
        if (const std::string fault = pieceFault(header, piece.size()); !fault.empty()) {
            if (header.hasByteSignature())
                headerRefusal_ = invalidPieceText(path, fault);
            return false;
        }
        pieceCount_ = header.count;
        return true;
    } catch (const RunError&) {
        return false;
    }
}

bool modJoinFile::locateLineSet()
{
    try {
        if (!pickedNameEndsInDigit(sourceFile_) || !fileExists(sourceFile_)
            || !firstLineIsMarker(sourceFile_))
            return false;
        const int picked = pieceNumberFromName(sourceFile_);
        if (picked < 1)
            return false;
        // A line piece carries no count: the set runs up from the picked piece to the
        // last consecutive one, and the picked piece must be one of them.
        const int count = lastConsecutivePiece(RemoveFileExtension(sourceFile_), picked);
        if (count < picked)
            return false;
        pieceCount_ = count;
        lineSet_ = true;
        return true;
    } catch (const RunError&) {
        return false;
    }
}

// A piece whose header passes may yet be the first piece of a plain set cut from a Parcelo
// piece: the checksum file beside it names a plain set its header does not fit, and the
// set its header describes does not hold together. Anything else stays a header set.
bool modJoinFile::headerContradictsPlainSet() const
{
    if (isDiskettePath(sourceFile_))
        return false;
    const int listed = plainSetCount(sourceFile_);
    if (listed == 0)
        return false;
    File picked(sourceFile_, File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(picked);
    if (header.count == listed && header.number == pieceNumberFromName(sourceFile_))
        return false;
    for (int i = 1; i <= pieceCount_; ++i) {
        try {
            File piece(PiecePath(i), File::Mode::Read);
            const PieceHeader other = readPieceHeaderZeroFilled(piece);
            if (!other.hasByteSignature() || other.count != pieceCount_ || other.number != i)
                return true;
        } catch (const RunError&) {
            return true;
        }
    }
    return false;
}

// A piece without header: Parcelo's own plain set, named by its checksum file, or else
// maybe another tool's numbered pieces. Never on diskettes, whose set is not all in view.
bool modJoinFile::locatePlainSet()
{
    if (isDiskettePath(sourceFile_) || !pickedNameEndsInDigit(sourceFile_)
        || !fileExists(sourceFile_))
        return false;
    if (const int count = plainSetCount(sourceFile_); count > 0) {
        plainSet_ = true;
        pieceCount_ = count;
        compressed_ = plainSetCompressed(PiecePath(1), joinedFileName_);
        return true;
    }
    return headerRefusal_.empty() && locateForeignSet();
}

// Another tool's numbered pieces are joined as plain pieces only when the user says so.
bool modJoinFile::locateForeignSet()
{
    const std::optional<NumberedPieces> pieces = numberedPiecesBeside(sourceFile_);
    if (!pieces || holdsParceloPiece(*pieces))
        return false;
    const std::string question = GetFileNameFromPath(sourceFile_) + " is not a Parcelo piece. Join "
                                 + GetFileNameFromPath(pieces->path(1)) + " to "
                                 + GetFileNameFromPath(pieces->path(pieces->count()))
                                 + " as plain pieces?";
    if (host_.message(Question::JoinPlain, question, Buttons::YesNo, Icon::Question)
        != Answer::Yes) {
        plainOfferDeclined_ = true;
        return false;
    }
    plainSet_ = true;
    foreignSet_ = true;
    firstNumber_ = pieces->first;
    numberWidth_ = pieces->width;
    pieceCount_ = pieces->count();
    return true;
}

ChecksumSet modJoinFile::checksumSet() const
{
    ChecksumSet set{RemoveFileExtension(PiecePath(1)), pieceCount_, !lineSet_, {}};
    for (int i = 1; foreignSet_ && i <= pieceCount_; ++i)
        set.pieceNames.push_back(GetFileNameFromPath(PiecePath(i)));
    return set;
}

int modJoinFile::firstMissingPiece() const
{
    for (int i = 1; i <= pieceCount_; ++i) {
        if (!fileExists(PiecePath(i)))
            return i;
    }
    // A line set shows its end only by the pieces that follow: one further on means a gap.
    if (lineSet_ && !linePiecesAbove(RemoveFileExtension(sourceFile_), pieceCount_).empty())
        return pieceCount_ + 1;
    return 0;
}

int modJoinFile::firstMisSizedPiece() const
{
    // Another tool's pieces are as it made them; the user vouched for them.
    if (lineSet_ || foreignSet_)
        return 0;
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i <= pieceCount_; ++i)
        sizes.push_back(fileLength(PiecePath(i)));
    const std::vector<int> wrong = misSizedPieces(sizes, plainSet_ ? 0 : kPieceHeaderSize);
    return wrong.empty() ? 0 : wrong.front();
}

void modJoinFile::listPieces()
{
    FileListBinding* list = asFileList(fileList_);
    if (list == nullptr)
        return;
    list->clear();
    for (int i = 1; i <= pieceCount_; ++i)
        AddFileToList(fileList_, PiecePath(i), static_cast<double>(fileLength(PiecePath(i))),
                      *unit_);
}

void modJoinFile::LocateSplitFiles()
{
    try {
        lineSet_ = false;
        plainSet_ = false;
        foreignSet_ = false;
        plainOfferDeclined_ = false;
        firstNumber_ = 1;
        numberWidth_ = 3;
        const bool headed = IsSplitFile(sourceFile_) && !headerContradictsPlainSet();
        if (!headed && !locateLineSet() && !locatePlainSet()) {
            fail(-1, headerRefusal_.empty() ? kNotASplitFile : headerRefusal_);
            return;
        }
        // On the diskette drive every piece sits on its own disk and is asked for when
        // the join reaches it.
        if (isDiskettePath(sourceFile_))
            return;
        if (const int missing = firstMissingPiece(); missing != 0) {
            fail(-1, "Missing Split File: " + PiecePath(missing));
            return;
        }
        if (const int wrong = firstMisSizedPiece(); wrong != 0) {
            fail(-1, notOfTheSetText(PiecePath(wrong)));
            return;
        }
        listPieces();
        errorFlag_ = 0;
    } catch (const RunError& e) {
        fail(e.number(), e.description());
    }
}

} // namespace parcelo
