#include "app/password_strength.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace parcelo {

namespace {

constexpr std::size_t kStrongLength = 12;

// Words and passwords that guessing programs try first.
constexpr std::array<std::string_view, 60> kCommonWords = {
    "password", "passwort", "passphrase", "qwerty",        "qwertyuiop", "azerty",    "asdfghjkl",
    "letmein",  "iloveyou", "admin",      "administrator", "welcome",    "monkey",    "dragon",
    "football", "baseball", "soccer",     "hockey",        "sunshine",   "princess",  "master",
    "shadow",   "superman", "batman",     "trustno",       "abc",        "abcdef",    "secret",
    "starwars", "whatever", "freedom",    "computer",      "internet",   "login",     "hello",
    "charlie",  "michael",  "jennifer",   "jordan",        "summer",     "winter",    "spring",
    "autumn",   "flower",   "cheese",     "chocolate",     "pokemon",    "minecraft", "changeme",
    "default",  "guest",    "root",       "test",          "user",       "qazwsx",    "zxcvbnm",
    "mustang",  "killer",   "pepper",     "ginger"};

// The password in lower case without the digits and marks around its letters: what a
// guessing program varies first.
std::string coreWord(std::string_view password)
{
    const auto isLetter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    const auto first = std::find_if(password.begin(), password.end(), isLetter);
    const auto last = std::find_if(password.rbegin(), password.rend(), isLetter).base();
    std::string word;
    for (auto at = first; at < last; ++at)
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(*at)));
    return word;
}

bool isCommon(std::string_view password)
{
    const std::string word = coreWord(password);
    if (word.empty()) // digits and marks alone: a number or a keyboard row
        return true;
    const bool oneLetter = word.find_first_not_of(word.front()) == std::string::npos;
    return oneLetter
           || std::find(kCommonWords.begin(), kCommonWords.end(), word) != kCommonWords.end();
}

} // namespace

PasswordHint passwordHint(std::string_view password)
{
    if (password.empty())
        return {};
    if (isCommon(password))
        return {true, "Weak: a common word"};
    if (password.size() < kStrongLength)
        return {true, "Weak: under 12 characters"};
    return {false, "Strong enough"};
}

} // namespace parcelo
