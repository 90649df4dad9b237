#include "compress/zlib_tool.h"

#include "compress/zip_reader.h"
#include "compress/zip_writer.h"
#include "platform/paths.h"

namespace parcelo {

void ZlibTool::DoCompress()
{
    writePrefixedSingleEntryArchive(
        sourceFileName_, targetFileName_, targetPrefix_, GetFileNameFromPath(sourceFileName_),
        compressionLevel_, [this](std::int16_t percent) { raiseProgressNotify(percent); },
        bytesNotify_, targetDurability_, privateTarget_ ? Sharing::Private : Sharing::Shared,
        password_);
}

void ZlibTool::DoDecompress()
{
    extractOnlyEntry(
        sourceFileName_, targetFileName_,
        [this](std::int16_t percent) { raiseProgressNotify(percent); }, bytesNotify_,
        replaceTarget_, password_);
}

void ZlibTool::raiseProgressNotify(std::int16_t percent) const
{
    if (progressNotify_)
        progressNotify_(percent);
}

} // namespace parcelo
