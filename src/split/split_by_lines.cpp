#include "split/mod_split_file.h"

#include "format/line_reader.h"
#include "format/split_set.h"
#include "platform/bindings.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "split/split_messages.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace parcelo {

namespace {

// A piece count of 10 stands in on the progress bar when no estimate is known.
constexpr int kUnknownProgressMaximum = 10;

struct FirstLine {
    std::uint64_t length = 0;
    std::uint64_t trimmedLength = 0; // without leading and trailing blanks
};

// Reads the first line in bounded parts, so that a file without line endings is not held
// in memory. Throws 62 for an empty file.
FirstLine measureFirstLine(LineReader& reader)
{
    FirstLine line;
    std::uint64_t leading = 0;
    std::uint64_t trailing = 0;
    bool seenText = false;
    std::string part;
    for (bool ended = false; !ended;) {
        part.clear();
        ended = reader.readLinePart(part, kCopyChunk);
        for (const char c : part) {
            ++line.length;
            if (c != ' ') {
                seenText = true;
                trailing = 0;
            } else if (seenText) {
                ++trailing;
            } else {
                ++leading;
            }
        }
    }
    line.trimmedLength = seenText ? line.length - leading - trailing : 0;
    return line;
}

// The pieces a line split will need, judged from the first line: the file length over the
// line's length with a line ending, over the lines per piece; one decimal, then the whole
// number nearest (halves to even). Only a guess for the display: a short first line can
// make it far too large, so it is held within what an int shows and never stops a split
// (the split itself stops at the largest piece count).
int estimatePieceCount(double fileLength, std::uint64_t trimmedLength, double linesPerPiece)
{
    const double estimate = fileLength / (static_cast<double>(trimmedLength) + 2) / linesPerPiece;
    const double whole = std::nearbyint(std::round(estimate * 10) / 10);
    if (!(whole >= 0))
        return 0;
    return static_cast<int>(std::min(whole, static_cast<double>(std::numeric_limits<int>::max())));
}

} // namespace

std::int16_t modSplitFile::SplitFileByLines()
{
    try {
        source_ = openSource();
        FirstLine first;
        int estimate = 0;
        if (!streaming_) { // a stream is read once, and its length is unknown
            {
                LineReader probe(source_);
                first = measureFirstLine(probe);
            }
            estimate = estimatePieceCount(static_cast<double>(fileLength_), first.trimmedLength,
                                          splitSize_);
            if (disketteMode()) {
                const std::string question = "To split the original file you need "
                                             + std::to_string(estimate) + " 1.44MB diskettes." + CR
                                             + "Do you want to continue?";
                askDisketteCount(question);
            }
            // room for the file's lines; the estimate of the pieces is too rough to count them
            if (refuseWithoutRoom(roomForSet(1, fileLength_, 0)) != 0)
                return status_;
            source_.seek(0);
        }
        if (ProgressBarBinding* bar = progress())
            bar->setMaximum(estimate > 0 ? estimate : kUnknownProgressMaximum);

        LineReader reader(source_);
        if (streaming_ && reader.atEnd()) {
            message_ = split_text::kEmptyStream;
            return status_ = -1;
        }
        displaySize_ = (static_cast<double>(first.length) + 2) * splitSize_;
        if (OpenNextSplitFile(0) == 0) {
            writeMarker();
            if (ProgressBarBinding* bar = progress())
                bar->setVisible(true);
            pieceCount_ = 1;
            splitRemainingLines(reader);
        }
        if (ProgressBarBinding* bar = progress())
            bar->setValue(bar->maximum());
        flushLines();
        jobStop().throwIfRequested(); // an end of input that a stop caused is no end
        piece_.close();
        source_.close();
        if (status_ == 0)
            removeStaleLinePieces();
        return status_;
    } catch (const RunError& error) {
        return fail(error);
    }
}

// Copies every line after the first piece's marker, opening a new piece whenever the
// current one holds the lines per piece. The test comes before a line is read, so a source
// of exactly k pieces' lines gives k pieces and no empty one.
void modSplitFile::splitRemainingLines(LineReader& reader)
{
    double linesInPiece = 0;
    std::uint64_t eventsAt = 0;
    while (!reader.atEnd()) {
        if (reader.consumed() >= eventsAt) {
            showBytes(reader.consumed());
            host_.processEvents();
            eventsAt = reader.consumed() + kCopyChunk;
        }
        if (splitSize_ == linesInPiece) {
            linesInPiece = 0;
            ProgressBarBinding* bar = progress();
            if (bar && currentPiece_ <= bar->maximum()) {
                bar->setValue(currentPiece_);
                host_.processEvents();
            }
            flushLines();
            displaySize_ = static_cast<double>(piece_.position());
            if (currentPiece_ >= kMaxPieces)
                throw RunError(err::Overflow, split_text::tooManyPieces(0));
            if (OpenNextSplitFile(0) != 0)
                return;
            ++pieceCount_;
            writeMarker();
        }
        copyLine(reader);
        linesInPiece += 1;
    }
}

// Line pieces carry no count: the pieces of an earlier, longer split under the same name
// would be joined onto this set. Only files that begin with the marker line go; on
// diskettes every piece is on its own disk and nothing is left beside it.
void modSplitFile::removeStaleLinePieces()
{
    if (disketteMode())
        return;
    for (const int number : linePiecesAbove(destFolder_ + fileName_, pieceCount_))
        removeFileQuietly(pieceName(destFolder_, fileName_, number));
}

void modSplitFile::writeMarker()
{
    pendingLines_ += kLineMarker;
    pendingLines_ += kCrLf;
}

// Moves one source line into the piece's buffer with its own ending, so that the joined
// pieces give back the source byte for byte; a long line goes through in parts.
void modSplitFile::copyLine(LineReader& reader)
{
    for (bool ended = false; !ended;) {
        if (pendingLines_.size() >= kCopyChunk)
            flushLines();
        ended = reader.readLinePart(pendingLines_, kCopyChunk - pendingLines_.size());
    }
    pendingLines_ += reader.ending();
}

void modSplitFile::flushLines()
{
    if (pendingLines_.empty())
        return;
    writeRetrying([&] { piece_.write(pendingLines_); }, false);
    pendingLines_.clear();
}

} // namespace parcelo
