#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace parcelo {

// A SHA-256 digest computed by OpenSSL's EVP interface (which uses the CPU's SHA
// instructions where there are any).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, std::size_t size);
    // The digest as 64 lower-case hex digits; the object starts over afterwards.
    std::string finishHex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// The SHA-256 of a whole file as lower-case hex; throws RunError when it cannot be read.
std::string sha256OfFile(const std::string& path);

} // namespace parcelo
