#include "verify/verify.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "verify/verify_common.h"

namespace parcelo {

using namespace verify_detail;

namespace {

using Check = VerifyVerdict (*)(const std::string&, const VerifyContext&);

bool isBlankText(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

VerifyCommandResult refuse(const std::string& text8, const VerifyContext& context,
                           const std::string& message, Icon icon)
{
    context.host.message(Question::Notice, message, Buttons::Ok, icon);
    return {text8, true, VerifyVerdict::NoVerdict};
}

// The steps both buttons share; `refusedEndings` are the last characters that make the
// path no file name.
VerifyCommandResult runVerifyCommand(const std::string& text8, const VerifyContext& context,
                                     const std::string& refusedEndings, Check check)
{
    if (isBlankText(text8))
        return refuse(text8, context, "Please select a file to verify.", Icon::None);
    if (refusedEndings.find(text8.back()) != std::string::npos)
        return refuse(text8, context, "Please enter a valid file name to verify.", Icon::None);
    const std::string path = repairPathColon(text8);
    if (!fileExists(path))
        return refuse(path, context,
                      "The file " + path
                          + " cannot be located. Please make sure that the file exists in the "
                            "specified path.",
                      Icon::Critical);
    context.host.setBusy(true);
    clearList(context);
    const VerifyVerdict verdict = check(path, context);
    context.host.setBusy(false);
    return {path, false, verdict};
}

} // namespace

VerifyCommandResult cmdVerify1_Click(const std::string& text8, const VerifyContext& context)
{
    return runVerifyCommand(text8, context, "\\/", &VerifySplitFile);
}

VerifyCommandResult cmdVerify2_Click(const std::string& text8, const VerifyContext& context)
{
    return runVerifyCommand(text8, context, "\\", &VerifySplitSet);
}

} // namespace parcelo
