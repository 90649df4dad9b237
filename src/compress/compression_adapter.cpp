#include "compress/compression_adapter.h"

#include "compress/zlib_tool.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"

#include <cmath>
#include <string_view>

namespace parcelo {

namespace {

constexpr const char* kZipExtension = ".zip";
// The name the private folders of temporary compressed files are made from.
constexpr const char* kPrivateFolderStem = "Parcelo";

void showStatus(Binding* label, const std::string& caption)
{
    if (auto* bound = asLabel(label))
        bound->setCaption(caption);
}

void showProgressStart(Binding* progressBar)
{
    if (auto* bar = asProgressBar(progressBar)) {
        bar->setVisible(true);
        bar->setValue(0);
    }
}

} // namespace

std::string CompressedFileName(const std::string& sourcePath, const std::string& destFolder,
                               bool temporary, const std::string& tempFolder)
{
    const std::string name = GetFileNameFromPath(sourcePath) + kZipExtension;
    if (temporary)
        return tempFolder + kSeparator + name;
    return destFolder + name;
}

std::string DecompressedFileName(const std::string& joinedPath)
{
    const std::string name = GetFileNameFromPath(joinedPath);
    const std::string_view extension = kZipExtension;
    if (name.size() <= extension.size() || !name.ends_with(extension))
        return {};
    return joinedPath.substr(0, joinedPath.size() - extension.size());
}

CompressionAdapter::CompressionAdapter(Host& host, ZlibTool& tool, PaneBindings splitPane,
                                       PaneBindings joinPane, std::string tempFolder,
                                       CompressionLevelOption levelOption)
    : host_(host), tool_(tool), splitPane_(splitPane), joinPane_(joinPane),
      tempFolder_(std::move(tempFolder)), levelOption_(levelOption)
{
    tool_.SetProgressNotify([this](std::int16_t percent) { ProgressNotify(percent); });
    tool_.SetBytesNotify([this](std::uint64_t done, std::uint64_t total) {
        if (!meter_)
            return;
        meter_->setTotal(total);
        meter_->advanceTo(done);
    });
    tool_.SetUnreadableFile([this](const std::string& path, const RunError& why) {
        return skipUnreadable_
               || host_.message(Question::SkipUnreadable,
                                "The file " + path + " cannot be read: " + why.description() + CR
                                    + "Leave it out of the folder set and go on?",
                                Buttons::YesNo, Icon::Question)
                      == Answer::Yes;
    });
}

CompressionAdapter::~CompressionAdapter()
{
    tool_.SetProgressNotify(nullptr);
    tool_.SetBytesNotify(nullptr);
    tool_.SetUnreadableFile(nullptr);
}

const FolderPacking& CompressionAdapter::Packing() const
{
    return tool_.Packing();
}

std::string CompressionAdapter::CompressedFileFor(const std::string& sourcePath) const
{
    std::string folder = tempFolder_;
    if (privateFolder_) {
        folder = privateFolder_->path();
        folder.pop_back(); // its final separator
    }
    return CompressedFileName(sourcePath, destFolder_, tempCompressedFile_, folder);
}

// A temporary compressed file is a copy of the user's data where others may look: it goes
// into a folder of its own that only this user may enter, made under a name nobody can
// take beforehand (one taken is passed over), and is readable by its owner alone.
bool CompressionAdapter::compress(const std::string& sourcePath)
{
    ReleaseTemporaryFolder();
    if (!tempCompressedFile_)
        return compressTo(sourcePath, CompressedFileFor(sourcePath), {}, Durability::Scratch,
                          false);
    try {
        EnsureFolderExists(tempFolder_); // made only for the split that needs it
        const std::string stem = tempFolder_ + kSeparator + kPrivateFolderStem;
        removeStaleTemporaries(stem); // what a killed run left
        privateFolder_ = std::make_unique<TemporaryFolder>(stem);
    } catch (const RunError& error) {
        compressFailure_ = error;
        return false;
    }
    return compressTo(sourcePath, CompressedFileFor(sourcePath), {}, Durability::Scratch, true);
}

void CompressionAdapter::ReleaseTemporaryFolder()
{
    privateFolder_.reset();
}

bool CompressionAdapter::compressInto(const std::string& sourcePath, const std::string& target,
                                      const std::string& prefix, Durability durability)
{
    return compressTo(sourcePath, target, prefix, durability, false);
}

bool CompressionAdapter::compressTo(const std::string& sourcePath, const std::string& target,
                                    const std::string& prefix, Durability durability, bool owner)
{
    compressFailure_.reset();
    try {
        tool_.SetPrivateTarget(owner);
        operation_ = kCompressOperation;
        tool_.SetCompressionLevel(stored_ ? 0 : CompressionLevelFor(levelOption_));
        showStatus(splitPane_.statusLabel, "Compressing " + sourcePath + "...");
        startBusy();
        showProgressStart(splitPane_.progressBar);
        startMeter(splitPane_.statusLabel, "Compressing", sourcePath);
        tool_.SetSourceFileName(sourcePath);
        tool_.SetTargetFileName(target);
        tool_.SetTargetPrefix(prefix);
        tool_.SetTargetDurability(durability);
        tool_.SetEntryPassword(password_);
        tool_.DoCompress();
        tool_.SetEntryPassword(nullptr);
        finish(splitPane_.progressBar);
        return true;
    } catch (const JobStopped&) {
        tool_.SetEntryPassword(nullptr);
        abandon();
        throw;
    } catch (const RunError& e) {
        compressFailure_ = e;
    } catch (const std::exception& e) {
        compressFailure_ = ZlibToolError(e.what());
    } catch (...) {
        compressFailure_ = ZlibToolError("The file " + sourcePath + " cannot be compressed.");
    }
    tool_.SetEntryPassword(nullptr);
    abandon();
    return false;
}

bool CompressionAdapter::decompress(const std::string& joinedPath, bool replace, File* stream)
{
    decompressFailure_.reset();
    const std::string target = DecompressedFileName(joinedPath);
    if (target.empty() && stream == nullptr)
        return false;
    try {
        showStatus(joinPane_.statusLabel, "Decompressing " + joinedPath + "...");
        startBusy();
        showProgressStart(joinPane_.progressBar);
        startMeter(joinPane_.statusLabel, "Decompressing", joinedPath);
        operation_ = kDecompressOperation;
        // The caption shows, and a stop is heard, even when the file was made ahead.
        host_.processEvents();
        tool_.SetSourceFileName(joinedPath);
        tool_.SetTargetFileName(target);
        tool_.SetReplaceTarget(replace);
        tool_.SetEntryPassword(password_);
        tool_.SetTargetStream(stream);
        tool_.SetSourcePieces(sourcePieces_);
        tool_.DoDecompress();
        tool_.SetSourcePieces(nullptr);
        tool_.SetTargetStream(nullptr);
        tool_.SetEntryPassword(nullptr);
        finish(joinPane_.progressBar);
        return true;
    } catch (const JobStopped&) {
        tool_.SetSourcePieces(nullptr);
        tool_.SetTargetStream(nullptr);
        tool_.SetEntryPassword(nullptr);
        abandon();
        throw;
    } catch (const RunError& e) {
        decompressFailure_ = e;
    } catch (const std::exception& e) {
        decompressFailure_ = ZlibToolError(e.what());
    } catch (...) {
        decompressFailure_ = ZlibToolError("The file " + joinedPath + " cannot be decompressed.");
    }
    tool_.SetSourcePieces(nullptr);
    tool_.SetTargetStream(nullptr);
    tool_.SetEntryPassword(nullptr);
    abandon();
    return false;
}

void CompressionAdapter::ProgressNotify(std::int16_t percent)
{
    Binding* progressBar = nullptr;
    if (operation_ == kCompressOperation)
        progressBar = splitPane_.progressBar;
    else if (operation_ == kDecompressOperation)
        progressBar = joinPane_.progressBar;
    else
        return;
    if (auto* bar = asProgressBar(progressBar))
        bar->setValue(static_cast<int>(std::lround(bar->maximum() * (percent / 100.0))));
}

// Counts the bytes of the source (compressing) or of the entry (decompressing); the
// component gives their total with the first block.
void CompressionAdapter::startMeter(Binding* label, const char* verb, const std::string& path)
{
    meter_.emplace(host_, label, verb, GetFileNameFromPath(path), 0,
                   JobProgress::Events::Processed);
}

void CompressionAdapter::startBusy()
{
    host_.setBusy(true);
    busy_ = true;
}

void CompressionAdapter::finish(Binding* progressBar)
{
    operation_.clear();
    meter_.reset();
    host_.setBusy(false);
    busy_ = false;
    if (auto* bar = asProgressBar(progressBar))
        bar->setValue(bar->maximum());
}

// A failed operation leaves the screen as it found it: no busy pointer, no operation
// for stray notifications to act on. The progress bar is the caller's to hide.
void CompressionAdapter::abandon()
{
    operation_.clear();
    meter_.reset();
    if (busy_)
        host_.setBusy(false);
    busy_ = false;
}

} // namespace parcelo
