#include "verify/verify.h"

#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/checksum_watch.h"
#include "integrity/set_checksums.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "verify/verify_common.h"

namespace parcelo {

using namespace verify_detail;

namespace {

struct PieceFinding {
    bool valid = true;
    std::string reason;
    long long number = 0;
    long long count = 0;
    bool lineSet = false;
};

// The byte-piece reading of the picked file: its header's number and count.
void readAsBytePiece(const std::string& path, PieceFinding& finding)
{
    File piece(path, File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(piece);
    finding.number = header.number;
    finding.count = header.count;
    finding.reason = pieceFault(header, piece.size());
    finding.valid = finding.reason.empty();
}

// A piece of Parcelo's own plain set, which its checksum file names: its number from the
// name and the set's count from the checksum file.
void readAsPlainPiece(const std::string& path, PieceFinding& finding)
{
    const int count = isDiskettePath(path) ? 0 : plainSetCount(path);
    if (count == 0)
        return;
    finding.valid = true;
    finding.number = pieceNumberFromName(path);
    finding.count = count;
}

// The line-piece reading: the number from the name and the count of consecutive pieces
// from it upwards.
void readAsLinePiece(const std::string& path, PieceFinding& finding)
{
    const int number = pieceNumberFromName(path);
    finding.valid = true;
    finding.lineSet = true;
    finding.number = number;
    finding.count = lastConsecutivePiece(RemoveFileExtension(path), number);
}

} // namespace

VerifyVerdict VerifySplitFile(const std::string& path, const VerifyContext& context)
{
    try {
        PieceFinding finding;
        if (!pickedNameEndsInDigit(path)) {
            finding.valid = false;
            finding.reason = kNoValidExtension;
        }
        if (finding.valid && !fileExists(path)) {
            context.host.message(Question::Notice, kDoesNotExist, Buttons::Ok, Icon::Critical);
            return VerifyVerdict::NoVerdict;
        }
        if (finding.valid)
            readAsBytePiece(path, finding);
        if (!finding.valid && firstLineIsMarker(path))
            readAsLinePiece(path, finding);
        else if (!finding.valid && finding.reason != kNoValidExtension)
            readAsPlainPiece(path, finding);
        if (!finding.valid) {
            context.host.message(Question::Notice, invalidPieceText(path, finding.reason),
                                 Buttons::Ok, Icon::Critical);
            return VerifyVerdict::NotVerified;
        }
        const ChecksumReport checksums = checkOnePiece(
            path,
            {RemoveFileExtension(path), static_cast<int>(finding.count), !finding.lineSet, {}});
        if (!checksums.clean()) {
            context.host.message(Question::Notice, checksums.problems().front(), Buttons::Ok,
                                 Icon::Critical);
            return VerifyVerdict::NotVerified;
        }
        const std::string notice = checksums.notUsed ? LF + checksums.notice() : std::string();
        clearList(context);
        listFile(context, path, static_cast<double>(fileLength(path)));
        context.host.message(Question::Notice,
                             "File " + path + " is a valid split file. " + LF + "It is split file #"
                                 + std::to_string(finding.number) + " in a set of "
                                 + std::to_string(finding.count) + " file(s)." + notice,
                             Buttons::Ok, Icon::None);
        return VerifyVerdict::Verified;
    } catch (const RunError& e) {
        return reportRunError(context, e);
    }
}

} // namespace parcelo
