#include "integrity/checksum_witness.h"

#include "integrity/checksum_file.h"
#include "integrity/set_checksums.h"
#include "platform/paths.h"

#include <exception>

namespace parcelo {

ChecksumWitness::ChecksumWitness(const std::string& setBase)
    : base_(setBase), fileName_(GetFileNameFromPath(checksumFilePath(setBase)))
{
    try {
        listing_ = readChecksumFile(checksumFilePath(setBase));
    } catch (const std::exception&) {
        listing_.reset(); // a file that cannot be read judges nothing
    }
    if (!listing_ || !listsOnlyFilesOf(*listing_, GetFileNameFromPath(setBase)))
        return;
    ofSet_ = true;
    for (const ChecksumEntry& entry : listing_->entries)
        hashes_.emplace(entry.name, entry.hex);
}

bool ChecksumWitness::describes(int pieceCount) const
{
    return ofSet_ && listsTheSet(*listing_, {base_, pieceCount, true, {}});
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
