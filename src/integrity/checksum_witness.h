#pragma once

#include "integrity/checksum_file.h"
#include "integrity/sha256.h"
#include "recovery/recovery.h"

#include <map>
#include <optional>
#include <string>

namespace parcelo {

// The checksum file beside a set as the judge of its recovery pieces: it is the set's
// record when it lists exactly the set's pieces (and maybe its recovery pieces), each
// once, and nothing else.
class ChecksumWitness : public FileWitness {
public:
    // setBase: a piece's path without its number. No file, or one that cannot be read,
    // says nothing.
    explicit ChecksumWitness(const std::string& setBase);

    bool describes(int pieceCount) const override;
    bool lists(const std::string& name) const override;
    void begin(const std::string& name) override;
    void update(const unsigned char* bytes, std::size_t size) override;
    Testimony end() override;
    std::string name() const override { return fileName_; }

private:
    std::string base_;
    std::string fileName_;
    std::optional<ChecksumListing> listing_;
    std::map<std::string, std::string> hashes_; // by file name
    bool ofSet_ = false; // every line names a piece or recovery piece of the set, once
    std::string current_;
    Sha256 sha_;
};

} // namespace parcelo
