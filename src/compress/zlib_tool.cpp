#include "compress/zlib_tool.h"

#include "compress/piece_archive.h"
#include "compress/zip_reader.h"
#include "compress/zip_writer.h"
#include "platform/paths.h"

namespace parcelo {

void ZlibTool::DoCompress()
{
    if (folderExists(sourceFileName_)) {
        writeFolderArchive(
            sourceFileName_, targetFileName_, compressionLevel_,
            [this](std::int16_t percent) { raiseProgressNotify(percent); }, bytesNotify_,
            targetDurability_, privateTarget_ ? Sharing::Private : Sharing::Shared, password_,
            unreadable_, packing_);
        return;
    }
    writePrefixedSingleEntryArchive(
        sourceFileName_, targetFileName_, targetPrefix_, GetFileNameFromPath(sourceFileName_),
        compressionLevel_, [this](std::int16_t percent) { raiseProgressNotify(percent); },
        bytesNotify_, targetDurability_, privateTarget_ ? Sharing::Private : Sharing::Shared,
        password_);
}

void ZlibTool::DoDecompress()
{
    const auto report = [this](std::int16_t percent) { raiseProgressNotify(percent); };
    if (sourcePieces_ != nullptr) {
        if (targetStream_ != nullptr)
            streamFromPieces(*sourcePieces_, *targetStream_, report, bytesNotify_);
        else
            extractFromPieces(*sourcePieces_, targetFileName_, report, bytesNotify_,
                              replaceTarget_);
        return;
    }
    const bool folder = isFolderArchive(sourceFileName_);
    if (targetStream_ != nullptr && folder)
        throw ZlibToolError(GetFileNameFromPath(sourceFileName_)
                            + " holds a folder: it is joined into a folder, not into a stream.");
    if (targetStream_ != nullptr)
        streamOnlyEntry(sourceFileName_, *targetStream_, report, bytesNotify_, password_);
    else if (folder)
        extractFolderArchive(sourceFileName_, targetFileName_, report, bytesNotify_, replaceTarget_,
                             password_);
    else
        extractOnlyEntry(sourceFileName_, targetFileName_, report, bytesNotify_, replaceTarget_,
                         password_);
}

void ZlibTool::raiseProgressNotify(std::int16_t percent) const
{
    if (progressNotify_)
        progressNotify_(percent);
}

} // namespace parcelo
