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
    return {false, "Text8", {}};
}

// The steps both buttons share.
CommandOutcome runVerifyCommand(VerifyPaneValues& pane, VerifyServices& services,
                                const std::string& refusedEndings, Check check)
{
    Host& host = services.host;
    if (auto refused = refusePickedPath(pane, host, refusedEndings))
        return *refused;
    const std::string& path = pane.Text8;
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

std::optional<CommandOutcome> refusePickedPath(VerifyPaneValues& pane, Host& host,
                                               const std::string& refusedEndings)
{
    if (isBlankText(pane.Text8))
        return refuse(host, "Please select a file to verify.", Icon::None);
    if (refusedEndings.find(pane.Text8.back()) != std::string::npos)
        return refuse(host, "Please enter a valid file name to verify.", Icon::None);
    pane.Text8 = repairPathColon(pane.Text8);
    if (!fileExists(pane.Text8))
        return refuse(host,
                      "The file " + pane.Text8
                          + " cannot be located. Please make sure that the file exists in the "
                            "specified path.",
                      Icon::Critical);
    return std::nullopt;
}

} // namespace verify_detail

CommandOutcome cmdVerify1_Click(VerifyPaneValues& pane, VerifyServices& services)
{
    return runVerifyCommand(pane, services, "\\/", &VerifySplitFile);
}

CommandOutcome cmdVerify2_Click(VerifyPaneValues& pane, VerifyServices& services)
{
    return runVerifyCommand(pane, services, "\\", &VerifySplitSet);
}

void cmdVerify3_Click(VerifyPaneValues& pane, const PaneBindings& bindings)
{
    pane = VerifyPaneValues{};
    clearPaneDisplay(bindings);
}

} // namespace parcelo
