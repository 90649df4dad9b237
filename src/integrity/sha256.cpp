#include "integrity/sha256.h"

#include "platform/file.h"

#include <openssl/evp.h>

#include <stdexcept>
#include <vector>

namespace parcelo {

struct Sha256::Context {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(md); }
    void reset()
    {
        if (md == nullptr || EVP_DigestInit_ex(md, EVP_sha256(), nullptr) != 1)
            throw std::runtime_error("SHA-256 is not available");
    }
};

Sha256::Sha256() : context_(std::make_unique<Context>())
{
    context_->reset();
}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(const void* data, std::size_t size)
{
    if (size > 0)
        EVP_DigestUpdate(context_->md, data, size);
}

std::string Sha256::finishHex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->md, digest, &length);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0xF];
    }
    context_->reset();
    return hex;
}

std::string sha256OfFile(const std::string& path)
{
    File file(path, File::Mode::Read);
    std::vector<char> buffer(1 << 20);
    Sha256 hash;
    while (const std::size_t got = file.read(buffer.data(), buffer.size()))
        hash.update(buffer.data(), got);
    return hash.finishHex();
}

} // namespace parcelo
