#include "join/join_command.h"

#include "compress/compression_adapter.h"
#include "format/common.h"
#include "format/numbers.h"
#include "join/mod_join_file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "platform/run_error.h"

#include <optional>

namespace parcelo {

namespace {

JoinOutcome refuse(Host& host, const std::string& text, const std::string& focus = {})
{
    host.message(text, Buttons::Ok, Icon::Critical);
    return {false, focus, {}};
}

bool endsWithPathMark(const std::string& path)
{
    return !path.empty() && (path.back() == '\\' || path.back() == ':' || path.back() == '/');
}

std::string notLocated(const std::string& what, const std::string& path)
{
    return what + path + " cannot be located. Please make sure that the "
           + (what == "The file " ? "file" : "folder") + " exists in the specified path.";
}

std::optional<JoinOutcome> checkPane(JoinPaneValues& pane, Host& host)
{
    if (pane.Text5.empty())
        return refuse(host, "Please locate any of the splitted file!");
    pane.Text5 = repairPathColon(pane.Text5);
    if (pane.Text6.empty())
        return refuse(host, "Please specify destination folder for the joined file!");
    pane.Text6 = repairPathColon(withTrailingSeparator(pane.Text6));
    if (endsWithPathMark(pane.Text5))
        return refuse(host, "Please enter a valid file name to continue with this operation.",
                      "Text5");
    if (isDiskettePath(pane.Text5) && isDiskettePath(pane.Text6))
        return refuse(host,
                      "You cannot select a: drive as source AND destination to join files. Please "
                      "select a different folder as destination.",
                      "Text6");
    if (!fileExists(pane.Text5))
        return refuse(host, notLocated("The file ", pane.Text5), "Text5");
    return std::nullopt;
}

// A destination on the diskette drive: asks for a disk until the drive can be read.
bool waitForDestinationDisk(modJoinFile& engine, Host& host)
{
    for (;;) {
        try {
            touchDisketteDrive();
            return true;
        } catch (const RunError& error) {
            if (error.number() != err::BadFileNameOrNumber)
                return true; // the join itself reports what else is wrong
        }
        if (host.message("Please insert disk in drive A: and click OK to continue.",
                         Buttons::OkCancel, Icon::Information)
            != Answer::Ok) {
            engine.SetErrorFlag(-1);
            engine.SetErrorMessage("Processing of the files was cancelled.");
            return false;
        }
    }
}

// Decompresses a compressed joined file unless asked not to; returns the suffix for the
// outcome message and updates the joined file's name.
std::string decompressIfAsked(const JoinPaneValues& pane, JoinServices& services, std::string& name)
{
    modJoinFile& engine = services.engine;
    const std::string folder = engine.DestinationFolder();
    if (engine.Compressed() != "Yes" || pane.Check2)
        return {};
    if (services.compressor.DecompressFile(folder + name) == 0)
        return {};
    removeFileQuietly(folder + name);
    const auto cut = name.rfind(".zip");
    if (cut != std::string::npos)
        name = name.substr(0, cut);
    return " and decompressed";
}

} // namespace

JoinOutcome cmdJoin_Click(JoinPaneValues& pane, JoinServices& services)
{
    Host& host = services.host;
    modJoinFile& engine = services.engine;
    if (auto refused = checkPane(pane, host))
        return *refused;

    engine.ResetJoin();
    engine.SetSourceFile(pane.Text5);
    engine.SetDestinationFolder(pane.Text6);
    if (isDiskettePath(pane.Text6)) {
        if (!waitForDestinationDisk(engine, host))
            return {};
    } else if (!folderExists(pane.Text6)) {
        return refuse(host, notLocated("The folder ", pane.Text6), "Text6");
    }

    services.recentFiles.AddRecentFile(pane.Text5, "Joined");
    if (FileListBinding* list = asFileList(services.pane.fileList))
        list->clear();
    offerJoinFolder(services.exploreMenu, pane.Text6);
    engine.SetProgressBar(services.pane.progressBar);
    engine.SetStatusLabel(services.pane.statusLabel);
    engine.SetFileList(services.pane.fileList);

    engine.LocateSplitFiles();
    if (engine.ErrorFlag() != 0)
        return refuse(host, engine.ErrorMessage());

    host.setBusy(true);
    engine.JoinSplitFiles();
    std::string name = engine.JoinedFileName();
    std::string suffix;
    if (engine.ErrorFlag() == 0)
        suffix = decompressIfAsked(pane, services, name);
    host.setBusy(false);
    engine.FinishJoin();

    if (engine.ErrorFlag() != 0)
        return refuse(host, "Error:" + std::to_string(engine.ErrorFlag()) + " : "
                                + engine.ErrorMessage());

    if (LabelBinding* label = asLabel(services.pane.statusLabel))
        label->setCaption("Completed joining files.");
    const std::string joined = engine.DestinationFolder() + name;
    host.message("The file: " + joined + CR + " has been created" + suffix
                     + " from all split files successfully.",
                 Buttons::Ok, Icon::Information);
    if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
        bar->setVisible(false);
    if (pane.chkDelOrgJoin) {
        engine.SetConfirmDelete(true);
        engine.DeleteBrokenFiles();
    }
    return {true, {}, joined};
}

void cmdJnCancel_Click(JoinPaneValues& pane, const PaneBindings& bindings)
{
    pane.Text5.clear();
    pane.Text6.clear();
    clearPaneDisplay(bindings);
}

} // namespace parcelo
