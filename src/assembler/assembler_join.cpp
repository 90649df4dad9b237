#include "assembler/assembler_join.h"

#include "integrity/join_script.h"
#include "join/join_command.h"
#include "join/join_start.h"
#include "join/mod_join_file.h"
#include "platform/host.h"

namespace parcelo::assembler {

std::string compressedSetNotice(const std::string& joinedPath, const std::string& makerWebPage)
{
    return "The file " + joinedPath + ", created after joining files, "
           + "was compressed using Parcelo before splitting. Parcelo Assembler will not be able "
           + "to decompress this file. You can do this free of charge with the complete version "
             "of Parcelo. "
           + "Download complete Parcelo from " + makerWebPage + ".";
}

CommandOutcome joinSet(AssemblerPaneValues& pane, AssemblerJoinServices& services)
{
    modJoinFile& engine = services.engine;
    Host& host = services.host;
    if (const JoinStart start = startJoin(pane.Text5, pane.Text6, engine, host); !start.ready)
        return {false, start.focus, {}};

    if (!askBeforeReplacing(engine, host).go || !locateSet(engine, host))
        return {};

    host.setBusy(true);
    engine.JoinSplitFiles();
    host.setBusy(false);
    if (engine.ErrorFlag() != 0) {
        engine.FinishJoin(); // removes the partial joined file
        reportFailure(host, joinErrorText(engine));
        return {};
    }

    const std::string joined = engine.JoinedFilePath();
    host.showOutcome(joinSucceededText(joined) + checksumNoticeLine(engine), pane.Text6);
    // an encrypted set's archive needs a tool that reads AES-encrypted ZIP files, and its
    // password
    if (engine.isCompressed())
        host.message(Question::Notice,
                     compressedSetNotice(joined, services.makerWebPage)
                         + (setIsEncrypted(engine.PiecePath(1))
                                ? std::string(CR) + kEncryptedArchiveNote
                                : std::string()),
                     Buttons::Ok, Icon::Information);
    engine.FinishJoin();
    engine.SetConfirmDelete(true);
    engine.DeleteBrokenFiles(kDeletePiecesQuestion);
    return {true, {}, joined};
}

} // namespace parcelo::assembler
