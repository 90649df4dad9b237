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

// Holds the pieces just read against the set's checksum file, when it has one; a damaged,
// unlisted or missing piece, or a checksum file of another set, stops the join before the
// joined file takes its name.
bool modJoinFile::checksumsHold()
{
    if (!checksums_->active())
        return true;
    const ChecksumReport report = checksums_->report();
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
