#pragma once

#include <string>
#include <string_view>

namespace parcelo {

// What the strength hint beside a password box says. It refuses nothing: the key of a ZIP
// archive comes from a fast derivation, so a short or common password is guessed quickly,
// and the hint says so plainly.
struct PasswordHint {
    bool weak = false;
    std::string text; // a few words ("Weak: a common word"); "" for an empty password
};

// The advice that goes with a weak password.
inline constexpr const char* kPassphraseAdvice =
    "A passphrase of four or more unrelated words is easy to remember and hard to guess.";

// The hint for a password: weak under 12 characters, or when it is a common word or
// password (digits and marks around it, and letter case, do not hide one).
PasswordHint passwordHint(std::string_view password);

} // namespace parcelo
