#include "recovery/erasure_code.h"
#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "recovery/recovery_detail.h"

#include <algorithm>
#include <filesystem>

namespace parcelo {

using namespace recovery_detail;

namespace {

[[noreturn]] void cannotRepair(const std::string& basePath)
{
    throw RecoveryError(RecoveryFailure::NotRepairable, "The set cannot be repaired: " + basePath);
}

// A file read for a rebuild is not as the examination found it.
RecoveryError setChanged(const std::string& path)
{
    return {RecoveryFailure::SetChanged, "A file of the set changed during the repair: " + path};
}

// A rebuilt file that does not match its record: its CRC ("its checksum") or the checksum
// file.
RecoveryError rebuiltMismatch(const std::string& record, const std::string& path)
{
    return {RecoveryFailure::RebuiltMismatch,
            "A rebuilt piece does not match " + record + ": " + path};
}

// The rebuild of the lost files of one group of the code.
class GroupRepair {
public:
    GroupRepair(const std::string& basePath, const SetCondition& condition, int group)
        : base_(basePath), condition_(condition), layout_(condition.layout),
          groups_(recoveryGroups(layout_.pieceCount, layout_.recoveryCount)), group_(group),
          kg_(groups_.piecesIn(group))
    {
        // The code reads and writes through these: their places must not move.
        files_.reserve(static_cast<std::size_t>(kg_));
        outputs_.reserve(kMaxCodeFiles);
    }

    void run(const RecoveryOptions& options, Rebuild what, std::vector<std::string>& paths);

private:
    void addPiece(int n);
    void addRecovery(int j, Rebuild what);
    void addInput(bool opened, int row, std::uint64_t length, std::uint32_t crc,
                  const std::string& path);
    void addOutput(const std::string& path, const std::vector<unsigned char>& header, int row,
                   std::uint64_t length, std::uint32_t crc);
    void check(const RecoveryOptions& options);

    const std::string& base_;
    const SetCondition& condition_;
    const RecoveryHeader& layout_;
    RecoveryGroups groups_;
    int group_;
    int kg_;
    std::vector<File> files_;
    std::vector<SafeOutput> outputs_;
    std::vector<int> from_, wanted_;
    std::vector<CodedStream> in_, out_;
    std::vector<std::uint32_t> inCrcs_, outCrcs_;
};

void GroupRepair::addInput(bool opened, int row, std::uint64_t length, std::uint32_t crc,
                           const std::string& path)
{
    if (!opened) // it passed the examination, so it has changed since
        throw setChanged(path);
    from_.push_back(row);
    in_.push_back({&files_.back(), length, 0});
    inCrcs_.push_back(crc);
}

void GroupRepair::addOutput(const std::string& path, const std::vector<unsigned char>& header,
                            int row, std::uint64_t length, std::uint32_t crc)
{
    wanted_.push_back(row);
    outputs_.emplace_back(path);
    outputs_.back().file().write(header.data(), header.size());
    out_.push_back({&outputs_.back().file(), length, 0});
    outCrcs_.push_back(crc);
}

void GroupRepair::addPiece(int n)
{
    const int row = groups_.indexInGroup(n);
    const std::string path = base_ + SplitFileExtension(n);
    const std::uint32_t crc = layout_.crcs[static_cast<std::size_t>(n - 1)];
    if (contains(condition_.lostPieces, n)) {
        const auto header = encodePieceHeader({layout_.signature, layout_.pieceCount, n});
        const auto end = header.begin() + static_cast<std::ptrdiff_t>(layout_.pieceHeaderBytes());
        addOutput(path, {header.begin(), end}, row, layout_.dataSizeOfPiece(n), crc);
    } else if (static_cast<int>(from_.size()) < kg_) {
        files_.emplace_back();
        addInput(openPiece(base_, layout_, n, files_.back()), row, layout_.dataSizeOfPiece(n), crc,
                 path);
    }
}

void GroupRepair::addRecovery(int j, Rebuild what)
{
    const int row = kg_ + groups_.indexInGroup(j);
    const std::string path = recoveryPieceName(base_, j);
    const std::uint32_t crc =
        layout_
            .crcs[static_cast<std::size_t>(layout_.pieceCount) + static_cast<std::size_t>(j) - 1];
    if (contains(condition_.lostRecovery, j)) {
        if (what == Rebuild::Pieces || contains(condition_.foreignRecovery, j))
            return;
        RecoveryHeader own = layout_;
        own.number = j;
        addOutput(path, encodeRecoveryHeader(own), row, layout_.pieceDataSize, crc);
    } else if (static_cast<int>(from_.size()) < kg_) {
        files_.emplace_back();
        addInput(openRecovery(base_, layout_, j, files_.back()), row, layout_.pieceDataSize, crc,
                 path);
    }
}

// Every file read was as examined, every rebuilt one has its CRC and, when the set has a
// checksum file, matches it.
void GroupRepair::check(const RecoveryOptions& options)
{
    for (std::size_t i = 0; i < in_.size(); ++i)
        if (in_[i].crc != inCrcs_[i])
            throw setChanged(files_[i].path());
    FileWitness* witness = witnessFor(options, layout_.pieceCount);
    for (std::size_t i = 0; i < out_.size(); ++i) {
        const SafeOutput& output = outputs_[i];
        const std::string name = std::filesystem::path(output.finalPath()).filename().string();
        if (out_[i].crc != outCrcs_[i])
            throw rebuiltMismatch("its checksum", output.finalPath());
        if (witness == nullptr || !witness->lists(name))
            continue;
        File rebuilt(output.temporaryPath(), File::Mode::Read);
        if (testimonyOf(*witness, name, rebuilt, options) != Testimony::Matches)
            throw rebuiltMismatch(witness->name(), output.finalPath());
    }
}

void GroupRepair::run(const RecoveryOptions& options, Rebuild what, std::vector<std::string>& paths)
{
    for (int n = group_ + 1; n <= layout_.pieceCount; n += groups_.groups)
        addPiece(n);
    for (int j = group_ + 1; j <= layout_.recoveryCount; j += groups_.groups)
        addRecovery(j, what);
    if (wanted_.empty())
        return;
    if (static_cast<int>(from_.size()) < kg_)
        cannotRepair(base_);
    runCode(codeRows(kg_, groups_.recoveryIn(group_), from_, wanted_), in_, out_,
            layout_.pieceDataSize, options);
    check(options);
    for (SafeOutput& output : outputs_) {
        output.commit();
        paths.push_back(output.finalPath());
    }
}

} // namespace

std::vector<std::string> repairSet(const std::string& basePath, const SetCondition& condition,
                                   const RecoveryOptions& options, Rebuild what)
{
    if (!condition.hasRecovery || !condition.repairable)
        cannotRepair(basePath);
    const RecoveryGroups groups =
        recoveryGroups(condition.layout.pieceCount, condition.layout.recoveryCount);
    if (groups.groups == 0)
        cannotRepair(basePath);
    reserveOpenFiles(kMaxCodeFiles); // one group's files, read and written
    std::vector<std::string> paths;
    for (int g = 0; g < groups.groups; ++g)
        GroupRepair(basePath, condition, g).run(options, what, paths);
    return paths;
}

} // namespace parcelo
