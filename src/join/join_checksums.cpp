#include "join/mod_join_file.h"

#include "platform/paths.h"

namespace parcelo {

// Reads the open piece through read while the set's checksum watch hashes it.
void modJoinFile::watchPiece(const std::function<void()>& read)
{
    checksums_->begin(currentPiecePath_);
    read();
    checksums_->end(isDiskettePath(currentPiecePath_));
}

// Holds the pieces just read against the set's checksum file, when it has one; a damaged
// or missing piece, or a checksum file that matches none of the pieces, stops the join
// before the joined file takes its name. A file of that name that is not the set's is
// only noted.
bool modJoinFile::checksumsHold()
{
    const ChecksumReport report = checksums_->report();
    checksumNotice_ = report.notice();
    // Parcelo's own plain set was known by its checksum file: it must still hold.
    if (!report.present && plainSet_ && !foreignSet_)
        return rejectPiece(GetFileNameFromPath(report.file)
                           + " changed during the join and no longer lists these pieces.");
    if (!report.present)
        return true;
    if (!report.clean()) {
        std::string problems;
        for (const std::string& line : report.problems())
            problems += (problems.empty() ? "" : "\n") + line;
        return rejectPiece(problems);
    }
    checksumNote_ = ChecksumWatch::checkedText(report);
    return true;
}

} // namespace parcelo
