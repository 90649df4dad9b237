#include "integrity/set_companions.h"

#include "integrity/checksum_file.h"
#include "platform/paths.h"

namespace parcelo {

void writeSetCompanions(const std::string& folder, const JoinScriptSet& set,
                        const std::vector<PieceHasher::Digest>& digests,
                        const CompanionOptions& options)
{
    if (options.checksums)
        writeChecksumFile(checksumFilePath(folder + set.name), digests);
    if (options.joinScript)
        writeJoinScripts(folder, set);
}

void removeSetCompanions(const std::string& setBase)
{
    for (const char* suffix : {".join.sh", ".join.cmd"})
        removeFileQuietly(setBase + suffix);
    removeFileQuietly(checksumFilePath(setBase));
}

} // namespace parcelo
