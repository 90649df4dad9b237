#pragma once

#include "verify/verify.h"

#include <optional>
#include <string>

namespace parcelo {

class RunError;

// What the two checks share.
namespace verify_detail {

inline constexpr const char* kNoValidExtension = "The file does not have a valid extension.";
inline constexpr const char* kDoesNotExist = "The file does not exist in the specified path.";

// Checks and repairs the picked path (piecePath): blank, ending in one of refusedEndings
// (no file name) or missing is refused with its message, the focus going to its box.
std::optional<CommandOutcome> refusePickedPath(VerifyRequest& request, Host& host,
                                               const std::string& refusedEndings);

// Adds a row to the context's list in its display unit.
void listFile(const VerifyContext& context, const std::string& path, double size);
void clearList(const VerifyContext& context);

// Records an unexpected error in the join state and shows "Error:" + number + " " +
// description.
VerifyVerdict reportRunError(const VerifyContext& context, const RunError& error);
// Records a stop, or a cancel at a diskette prompt (no message).
VerifyVerdict reportCancel(const VerifyContext& context);

} // namespace verify_detail

} // namespace parcelo
