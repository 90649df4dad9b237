#include "recovery/recovery_detail.h"

#include "format/split_set.h"
#include "platform/run_error.h"

#include <algorithm>
#include <filesystem>

namespace parcelo::recovery_detail {

namespace fs = std::filesystem;

std::string countText(int count, const std::string& noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::vector<std::pair<int, std::string>> recoveryFiles(const std::string& basePath)
{
    std::vector<std::pair<int, std::string>> found;
    const fs::path base(basePath);
    const fs::path folder = base.has_parent_path() ? base.parent_path() : fs::path(".");
    const std::string prefix = base.filename().string() + ".rec";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const int number = recoveryPieceNumber(name);
        if (number > 0 && name.compare(0, prefix.size(), prefix) == 0 && name.size() > prefix.size()
            && name.find('.', prefix.size()) == std::string::npos)
            found.emplace_back(number, recoveryPieceName(basePath, number));
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool openPiece(const std::string& basePath, const RecoveryHeader& layout, int n, File& file)
{
    try {
        file = File(basePath + SplitFileExtension(n), File::Mode::Read);
        return layout.fitsPiece(readPieceHeaderZeroFilled(file), n, file.size());
    } catch (const RunError&) {
        return false;
    }
}

bool openRecovery(const std::string& basePath, const RecoveryHeader& layout, int j, File& file)
{
    RecoveryHeader header;
    const std::string path = recoveryPieceName(basePath, j);
    try {
        if (readRecoveryHeader(path, header) != HeaderCheck::Sound || !header.sameSet(layout)
            || header.number != j)
            return false;
        file = File(path, File::Mode::Read);
        file.seek(recoveryHeaderSize(layout.pieceCount, layout.recoveryCount));
        return true;
    } catch (const RunError&) {
        return false;
    }
}

FileWitness* witnessFor(const RecoveryOptions& options, int pieceCount)
{
    return options.witness != nullptr && options.witness->describes(pieceCount) ? options.witness
                                                                                : nullptr;
}

Testimony testimonyOf(FileWitness& witness, const std::string& name, File& file,
                      const RecoveryOptions& options)
{
    file.seek(0);
    std::vector<unsigned char> buffer(std::max<std::size_t>(options.stripeBytes, 4096));
    witness.begin(name);
    while (const std::size_t got = file.read(buffer.data(), buffer.size())) {
        witness.update(buffer.data(), got);
        endStripe(options, got);
    }
    return witness.end();
}

} // namespace parcelo::recovery_detail
