#include "verify/verify.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "verify/verify_common.h"

namespace parcelo {

using namespace verify_detail;

namespace {

using Check = VerifyVerdict (*)(const std::string&, const VerifyContext&);

bool isBlankText(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

CommandOutcome refuse(Host& host, const std::string& message, Icon icon)
{
    host.message(Question::Notice, message, Buttons::Ok, icon);
    return {false, RequestField::PiecePath, {}};
}

// The steps both buttons share.
CommandOutcome runVerifyCommand(VerifyRequest& request, VerifyServices& services,
                                const std::string& refusedEndings, Check check)
{
    Host& host = services.host;
    if (auto refused = refusePickedPath(request, host, refusedEndings))
        return *refused;
    const std::string& path = request.piecePath;
    const VerifyContext context{host,
                                services.pane.fileList,
                                services.unit,
                                services.joinState,
                                services.checksums,
                                services.outlook};
    host.setBusy(true);
    clearList(context);
    const VerifyVerdict verdict = check(path, context);
    host.setBusy(false);
    // a check that stopped before its verdict is not remembered
    if (verdict != VerifyVerdict::NoVerdict)
        services.recentFiles.AddRecentFile(path, "Verified");
    return {verdict == VerifyVerdict::Verified, {}, {}};
}

} // namespace

namespace verify_detail {

std::optional<CommandOutcome> refusePickedPath(VerifyRequest& request, Host& host,
                                               const std::string& refusedEndings)
{
    if (isBlankText(request.piecePath))
        return refuse(host, "Please select a file to verify.", Icon::None);
    if (refusedEndings.find(request.piecePath.back()) != std::string::npos)
        return refuse(host, "Please enter a valid file name to verify.", Icon::None);
    request.piecePath = repairPathColon(request.piecePath);
    if (!fileExists(request.piecePath))
        return refuse(host,
                      "The file " + request.piecePath
                          + " cannot be located. Please make sure that the file exists in the "
                            "specified path.",
                      Icon::Critical);
    return std::nullopt;
}

} // namespace verify_detail

CommandOutcome verifyFileCommand(VerifyRequest& request, VerifyServices& services)
{
    return runVerifyCommand(request, services, "\\/", &VerifySplitFile);
}

CommandOutcome verifySetCommand(VerifyRequest& request, VerifyServices& services)
{
    return runVerifyCommand(request, services, "\\", &VerifySplitSet);
}

void clearVerifyCommand(VerifyRequest& request, const PaneBindings& bindings)
{
    request = VerifyRequest{};
    clearPaneDisplay(bindings);
}

} // namespace parcelo
