#include "integrity/checksum_witness.h"

#include "format/split_set.h"
#include "integrity/checksum_file.h"
#include "platform/paths.h"
#include <algorithm>
#include <exception>

namespace parcelo {

namespace {

// The piece number of NAME.NNN (digits only, no leading part but NAME), or 0.
int pieceNumberIn(const std::string& name, const std::string& setName)
{
    const std::string prefix = setName + ".";
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 5
        || name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int number = std::stoi(digits);
    return number >= 1 && number <= kMaxPieces && SplitFileExtension(number) == "." + digits
               ? number
               : 0;
}

bool namesRecoveryPiece(const std::string& name, const std::string& setName)
{
    const int number = recoveryPieceNumber(name);
    return number > 0 && recoveryPieceName(setName, number) == name;
}

} // namespace

ChecksumWitness::ChecksumWitness(const std::string& setBase)
    : fileName_(GetFileNameFromPath(checksumFilePath(setBase)))
{
    const std::string setName = GetFileNameFromPath(setBase);
    try {
        const auto entries = readChecksumFile(checksumFilePath(setBase));
        if (!entries || entries->empty())
            return;
        ofSet_ = true;
        for (const auto& [name, hex] : *entries) {
            const int number = pieceNumberIn(name, setName);
            ofSet_ = ofSet_ && (number > 0 || namesRecoveryPiece(name, setName))
                     && hashes_.emplace(name, hex).second;
            highestPiece_ = std::max(highestPiece_, number);
            listedPieces_ += number > 0;
        }
    } catch (const std::exception&) {
        ofSet_ = false; // a file that cannot be read (or held) judges nothing
    }
}

bool ChecksumWitness::describes(int pieceCount) const
{
    return ofSet_ && highestPiece_ == pieceCount && listedPieces_ == pieceCount;
}

bool ChecksumWitness::lists(const std::string& name) const
{
    return ofSet_ && hashes_.count(name) != 0;
}

void ChecksumWitness::begin(const std::string& name)
{
    current_ = name;
    sha_ = Sha256();
}

void ChecksumWitness::update(const unsigned char* bytes, std::size_t size)
{
    sha_.update(bytes, size);
}

Testimony ChecksumWitness::end()
{
    const auto listed = hashes_.find(current_);
    if (!ofSet_ || listed == hashes_.end())
        return Testimony::Unknown;
    return sha_.finishHex() == listed->second ? Testimony::Matches : Testimony::Differs;
}

} // namespace parcelo
