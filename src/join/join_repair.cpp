#include "join/join_repair.h"

#include "format/set_pieces.h"
#include "integrity/checksum_witness.h"
#include "join/mod_join_file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"

#include <filesystem>
#include <system_error>

namespace parcelo {

namespace {

namespace fs = std::filesystem;

std::string folderOf(const std::string& path)
{
    const std::string folder = GetFolderFromPath(path);
    return folder.empty() ? "." : folder;
}

// Links every file of the set basePath (pieces, recovery pieces, checksum file) into
// folder; rebuilt pieces then replace the links of damaged ones there, never the files.
void linkSetFiles(const std::string& basePath, const std::string& folder)
{
    const std::string prefix = GetFileNameFromPath(basePath) + ".";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(toNativePath(folderOf(basePath)), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0
            || name.find(kTemporaryMarker) != std::string::npos || !entry.is_regular_file(ec))
            continue;
        fs::create_symlink(fs::absolute(entry.path()), toNativePath(folder + name), ec);
        if (ec)
            throw runErrorFromOs(ec.value(), folder + name);
    }
    if (ec)
        throw runErrorFromOs(ec.value(), folderOf(basePath), true);
}

// A repair that failed or was stopped: the join goes no further.
JoinRepair repairFailed(modJoinFile& engine, const std::string& piece, Host& host,
                        const std::string& why)
{
    engine.SetSourceFile(piece);
    JoinRepair failed;
    failed.ok = false;
    reportFailure(host, "The set could not be repaired: " + why);
    return failed;
}

} // namespace

JoinRepair repairBeforeJoin(modJoinFile& engine, Host& host)
{
    JoinRepair repair;
    const std::string piece = engine.SourceFile();
    if (isDiskettePath(piece))
        return repair;
    try {
        std::string base = RemoveFileExtension(piece);
        ChecksumWitness checksums(base);
        RecoveryOptions options;
        options.afterStripe = [&host] { host.processEvents(); };
        options.witness = &checksums;
        const SetCondition condition = examineSet(base, options);
        repair.notice = condition.notice;
        if (condition.hasRecovery && !condition.lostPieces.empty() && !condition.repairable)
            repair.notice += std::string(repair.notice.empty() ? "" : " ") + "The set "
                             + repairVerdict(condition) + ".";
        if (condition.lostPieces.empty() || !condition.repairable)
            return repair;
        if (!isWritable(folderOf(piece))) {
            repair.folder = std::make_unique<TemporaryFolder>(engine.JoinedFilePath());
            linkSetFiles(base, repair.folder->path());
            base = repair.folder->path() + GetFileNameFromPath(base);
            engine.SetSourceFile(repair.folder->path() + GetFileNameFromPath(piece));
        }
        for (const std::string& path : repairSet(base, condition, options, Rebuild::Pieces))
            repair.rebuilt += (repair.rebuilt.empty() ? "" : ", ") + GetFileNameFromPath(path);
    } catch (const RunError& error) {
        return repairFailed(engine, piece, host, error.description());
    } catch (const JobStopped&) {
        return repairFailed(engine, piece, host, kCancelledByUser);
    }
    return repair;
}

std::vector<std::string> repairNotices(const JoinRepair& repair)
{
    std::vector<std::string> notices;
    if (!repair.notice.empty())
        notices.push_back(repair.notice);
    if (repair.rebuilt.empty())
        return notices;
    notices.push_back("Rebuilt from the recovery pieces: " + repair.rebuilt + ".");
    if (repair.folder)
        notices.back() += " The pieces' folder cannot be written, so they were used for this "
                          "join and not kept.";
    return notices;
}

std::string repairReport(const JoinRepair& repair)
{
    std::string text;
    for (const std::string& notice : repairNotices(repair))
        text += CR + notice;
    return text;
}

} // namespace parcelo
