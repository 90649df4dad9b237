#include "split/single_piece.h"

#include "compress/compression_adapter.h"
#include "format/file_list.h"
#include "format/numbers.h"
#include "format/split_set.h"
#include "integrity/set_companions.h"
#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"
#include "split/mod_split_file.h"
#include "split/split_messages.h"
#include "split/split_request.h"

#include <vector>

namespace parcelo {

namespace {

bool confirmCancel(Host& host)
{
    return host.message(Question::ConfirmCancel, split_text::confirmCancel(), Buttons::YesNo,
                        Icon::Information)
           == Answer::Yes;
}

// Asks for a diskette until one with enough free space is in; false when the user cancels.
bool waitForDisk(Host& host, double requestedBytes)
{
    for (;;) {
        if (jobStop().requested())
            return false;
        if (host.message(Question::InsertDisk,
                         "Please insert disk in drive A: and click OK to continue.",
                         Buttons::OkCancel, Icon::Information)
            == Answer::Ok) {
            if (static_cast<double>(GetDriveFreeSpace("a")) >= requestedBytes)
                return true;
            if (host.message(Question::DiskFull,
                             split_text::notEnoughSpace(numberText(requestedBytes)),
                             Buttons::OkCancel, Icon::Information)
                == Answer::Ok)
                continue;
        }
        if (confirmCancel(host))
            return false;
    }
}

constexpr const char* kCanceled = "Process canceled by the user.";

void writePiece(const std::string& compressedFile, const std::string& piece, Host& host)
{
    File source(compressedFile, File::Mode::Read);
    removeStaleTemporaries(piece);
    SafeOutput output(piece);
    File& target = output.file();
    const auto header = encodePieceHeader({PieceSignatureCompressed, 1, 1});
    target.write(header.data(), header.size());
    std::vector<char> buffer;
    copyBytes(source, target, source.size(), kCopyChunk, buffer, [&] {
        jobStop().throwIfRequested();
        host.processEvents();
    });
    output.commit();
}

// What became of the piece: written, or why not ("" when the person declined a disk and
// nothing more needs saying).
struct StoredPiece {
    bool written = false;
    std::string failure;
};

StoredPiece writeStoredPiece(const SinglePieceJob& job, const std::string& piece, Host& host,
                             std::uint64_t& length)
{
    const bool diskette = isDiskettePath(job.destination);
    if (diskette && job.requestedBytes > static_cast<double>(kDisketteCapacity))
        return {false,
                "The split file size you specified is greater than the diskette storage size!"};
    if (diskette && !waitForDisk(host, job.requestedBytes))
        return {};
    for (;;) {
        try {
            length = fileLength(job.compressedFile);
            host.setBusy(true);
            writePiece(job.compressedFile, piece, host);
            host.setBusy(false);
            return {true, {}};
        } catch (const JobStopped&) {
            host.setBusy(false);
            return {false, kCanceled};
        } catch (const RunError& error) {
            host.setBusy(false);
            if (error.number() == err::BadFileNameOrNumber || !diskette)
                return {false, "Error:" + std::string(LF) + std::to_string(error.number()) + ": "
                                   + error.description()};
            if (!waitForDisk(host, job.requestedBytes))
                return {false, kCanceled};
        }
    }
}

} // namespace

void showStoredPiece(const std::string& source, const std::string& piece, std::uint64_t length,
                     SplitServices& services)
{
    const PaneBindings& pane = services.pane;
    if (LabelBinding* label = asLabel(pane.statusLabel))
        label->setCaption("Completed compressing and splitting.");
    ProgressBarBinding* bar = asProgressBar(pane.progressBar);
    if (bar) {
        bar->setMaximum(10);
        bar->setVisible(true);
        bar->setValue(10);
    }
    if (FileListBinding* list = asFileList(pane.fileList))
        list->clear();
    AddFileToList(pane.fileList, piece, static_cast<double>(length), services.engine.displayUnit());
    services.host.showOutcome("The file " + source + " has been compressed successfully." + CR
                                  + "The compressed file was not split because the size of the "
                                  + "compressed file is less than the desired size of the split "
                                    "file.",
                              GetFolderFromPath(piece));
    if (bar)
        bar->setVisible(false);
}

std::string storedPiecePath(const SinglePieceJob& job)
{
    return job.destination + GetFileNameFromPath(job.compressedFile) + SplitFileExtension(1);
}

bool storeAsSinglePiece(const SinglePieceJob& job, SplitServices& services)
{
    Host& host = services.host;
    const std::string piece = storedPiecePath(job);
    if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
        bar->setValue(0);
    std::uint64_t length = 0;
    const StoredPiece stored = writeStoredPiece(job, piece, host, length);
    removeFileQuietly(job.compressedFile); // this request's own: gone before the outcome shows
    services.compressor.ReleaseTemporaryFolder();
    if (!stored.written) {
        if (!stored.failure.empty())
            reportFailure(host, stored.failure);
        return false;
    }
    removeSetCompanions(RemoveFileExtension(piece)); // an older set's: this one has none
    showStoredPiece(job.source, piece, length, services);
    return true;
}

} // namespace parcelo
