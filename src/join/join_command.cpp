#include "join/join_command.h"

#include "compress/compression_adapter.h"
#include "join/join_start.h"
#include "join/mod_join_file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/recent_files.h"

namespace parcelo {

namespace {

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
    if (const JoinStart start = startJoin(pane.Text5, pane.Text6, engine, host); !start.ready)
        return {false, start.focus, {}};

    services.recentFiles.AddRecentFile(pane.Text5, "Joined");
    if (FileListBinding* list = asFileList(services.pane.fileList))
        list->clear();
    offerJoinFolder(services.exploreMenu, pane.Text6);
    engine.SetProgressBar(services.pane.progressBar);
    engine.SetStatusLabel(services.pane.statusLabel);
    engine.SetFileList(services.pane.fileList);

    if (!locateSet(engine, host))
        return {};

    host.setBusy(true);
    engine.JoinSplitFiles();
    std::string name = engine.JoinedFileName();
    std::string suffix;
    if (engine.ErrorFlag() == 0)
        suffix = decompressIfAsked(pane, services, name);
    host.setBusy(false);
    engine.FinishJoin();

    if (engine.ErrorFlag() != 0) {
        host.message(Question::Notice, joinErrorText(engine), Buttons::Ok, Icon::Critical);
        return {};
    }

    if (LabelBinding* label = asLabel(services.pane.statusLabel))
        label->setCaption("Completed joining files.");
    const std::string joined = engine.DestinationFolder() + name;
    host.message(Question::Notice, joinSucceededText(joined, suffix), Buttons::Ok,
                 Icon::Information);
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
