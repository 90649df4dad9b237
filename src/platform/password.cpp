#include "platform/password.h"

#include <openssl/crypto.h>

#include <cstring>
#include <utility>

namespace parcelo {

void wipeSecret(void* bytes, std::size_t size) noexcept
{
    if (bytes != nullptr && size > 0)
        OPENSSL_cleanse(bytes, size);
}

Password::Password(std::string_view text)
{
    assign(text);
}

Password::~Password()
{
    clear();
}

Password::Password(const Password& other) : Password(other.view()) {}

Password& Password::operator=(const Password& other)
{
    if (this != &other)
        assign(other.view());
    return *this;
}

Password::Password(Password&& other) noexcept
    : text_(std::move(other.text_)), size_(std::exchange(other.size_, 0))
{
}

Password& Password::operator=(Password&& other) noexcept
{
    if (this != &other) {
        clear();
        text_ = std::move(other.text_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void Password::assign(std::string_view text)
{
    auto fresh = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(fresh.get(), text.data(), text.size());
    fresh[text.size()] = '\0';
    clear();
    text_ = std::move(fresh);
    size_ = text.size();
}

void Password::clear() noexcept
{
    if (text_)
        wipeSecret(text_.get(), size_ + 1);
    text_.reset();
    size_ = 0;
}

} // namespace parcelo
