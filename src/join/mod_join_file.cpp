#include "join/mod_join_file.h"

#include "format/set_pieces.h"
#include "format/split_set.h"
#include "platform/bindings.h"
#include "platform/file_list.h"
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
    outputCreated_ = false;
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
    return RemoveFileExtension(sourceFile_) + SplitFileExtension(piece);
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
        host_.message(Question::Notice,
                      "The file " + path
                          + " cannot be located. Please make sure that the file exists in the "
                            "specified path.",
                      Buttons::Ok, Icon::Critical);
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
    if (lineSet_)
        return 0;
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i <= pieceCount_; ++i)
        sizes.push_back(fileLength(PiecePath(i)));
    const std::vector<int> wrong = misSizedPieces(sizes);
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
        if (!IsSplitFile(sourceFile_) && !locateLineSet()) {
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
