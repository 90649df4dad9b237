#include "split/single_piece.h"

#include "format/numbers.h"
#include "format/split_set.h"
#include "integrity/set_companions.h"
#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/file_list.h"
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
        jobStop().throwIfRequested();
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
    AddFileToList(pane.fileList, piece, static_cast<double>(length), services.engine.UnitRef());
    services.host.message(Question::Notice,
                          "The file " + source + " has been compressed successfully." + CR
                              + "The compressed file was not split because the size of the "
                              + "compressed file is less than the desired size of the split file.",
                          Buttons::Ok, Icon::Information);
    if (bar)
        bar->setVisible(false);
}

namespace {

constexpr const char* kCanceled = "Process canceled by the user.";

// Writes the piece, asking for another diskette after a failure on one; false, after the
// message, when that failed or the user cancelled.
bool writeRetrying(const SinglePieceJob& job, const std::string& piece, std::uint64_t& length,
                   Host& host)
{
    for (;;) {
        try {
            length = fileLength(job.compressedFile);
            writePiece(job.compressedFile, piece, host);
            return true;
        } catch (const RunError& error) {
            host.setBusy(false);
            if (error.number() == err::BadFileNameOrNumber || !isDiskettePath(job.destination)) {
                host.message(Question::Notice,
                             "Error:" + std::string(LF) + std::to_string(error.number()) + ": "
                                 + error.description(),
                             Buttons::Ok, Icon::Critical);
                return false;
            }
            if (!waitForDisk(host, job.requestedBytes)) {
                host.message(Question::Notice, kCanceled, Buttons::Ok, Icon::Critical);
                return false;
            }
            host.setBusy(true);
        }
    }
}

bool storePiece(const SinglePieceJob& job, SplitServices& services)
{
    Host& host = services.host;
    const bool diskette = isDiskettePath(job.destination);
    if (diskette && job.requestedBytes > static_cast<double>(kDisketteCapacity)) {
        host.message(Question::Notice,
                     "The split file size you specified is greater than the diskette storage size!",
                     Buttons::Ok, Icon::Critical);
        return false;
    }
    if (diskette && !waitForDisk(host, job.requestedBytes))
        return false;
    const std::string piece =
        job.destination + GetFileNameFromPath(job.compressedFile) + SplitFileExtension(1);
    std::uint64_t length = 0;
    host.setBusy(true);
    if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
        bar->setValue(0);
    if (!writeRetrying(job, piece, length, host))
        return false;
    host.setBusy(false);
    removeSetCompanions(RemoveFileExtension(piece)); // an older set's: this one has none
    showStoredPiece(job.source, piece, length, services);
    return true;
}

} // namespace

bool storeAsSinglePiece(const SinglePieceJob& job, SplitServices& services)
{
    try {
        return storePiece(job, services);
    } catch (const JobStopped&) {
        services.host.setBusy(false);
        services.host.message(Question::Notice, kCanceled, Buttons::Ok, Icon::Critical);
        return false;
    }
}

} // namespace parcelo
