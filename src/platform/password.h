#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace parcelo {

// A password a person typed or gave in a file. It lives in one buffer of its own, wiped
// (OPENSSL_cleanse) whenever the password changes or goes, so that no copy of it stays in
// freed memory; it is never shown, logged or written anywhere but into the archive's key.
class Password {
public:
    Password() = default;
    explicit Password(std::string_view text);
    ~Password();
    Password(const Password& other);
    Password& operator=(const Password& other);
    Password(Password&& other) noexcept;
    Password& operator=(Password&& other) noexcept;

    void assign(std::string_view text);
    // Wipes the password and leaves it empty.
    void clear() noexcept;

    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Ends with a NUL, as libzip takes it.
    const char* c_str() const { return text_ ? text_.get() : ""; }
    std::string_view view() const { return {c_str(), size_}; }
    bool operator==(const Password& other) const { return view() == other.view(); }

private:
    std::unique_ptr<char[]> text_;
    std::size_t size_ = 0;
};

// Wipes bytes that held a password (or a part of one).
void wipeSecret(void* bytes, std::size_t size) noexcept;

} // namespace parcelo
