#include "verify/verify_common.h"

#include "format/file_list.h"
#include "format/set_pieces.h"
#include "platform/bindings.h"
#include "platform/host.h"
#include "platform/run_error.h"

namespace parcelo::verify_detail {

void listFile(const VerifyContext& context, const std::string& path, double size)
{
    DisplayUnit ownUnit;
    AddFileToList(context.fileList, path, size, context.unit != nullptr ? *context.unit : ownUnit);
}

void clearList(const VerifyContext& context)
{
    if (FileListBinding* list = asFileList(context.fileList))
        list->clear();
}

VerifyVerdict reportRunError(const VerifyContext& context, const RunError& error)
{
    if (context.joinState != nullptr) {
        context.joinState->SetErrorFlag(error.number());
        context.joinState->SetErrorMessage(error.description());
    }
    reportFailure(context.host,
                  "Error:" + std::to_string(error.number()) + " " + error.description());
    return VerifyVerdict::NoVerdict;
}

VerifyVerdict reportCancel(const VerifyContext& context)
{
    if (context.joinState != nullptr) {
        context.joinState->SetErrorFlag(-1);
        context.joinState->SetErrorMessage(kCancelledByUser);
    }
    return VerifyVerdict::NoVerdict;
}

} // namespace parcelo::verify_detail
