#include "join/join_start.h"

#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/set_checksums.h"
#include "join/mod_join_file.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"

namespace parcelo {

namespace {

JoinStart refuse(Host& host, const std::string& text, RequestField focus = RequestField::None)
{
    host.message(Question::Notice, text, Buttons::Ok, Icon::Critical);
    return {false, focus};
}

bool endsWithPathMark(const std::string& path)
{
    return !path.empty() && (path.back() == '\\' || path.back() == ':' || path.back() == '/');
}

JoinStart checkBoxes(std::string& source, std::string& destination, Host& host)
{
    if (source.empty())
        return refuse(host, "Please locate any of the splitted file!");
    source = repairPathColon(source);
    if (destination.empty())
        return refuse(host, "Please specify destination folder for the joined file!");
    destination = repairPathColon(withTrailingSeparator(destination));
    if (endsWithPathMark(source))
        return refuse(host, "Please enter a valid file name to continue with this operation.",
                      RequestField::PiecePath);
    if (isDiskettePath(source) && isDiskettePath(destination))
        return refuse(host,
                      "You cannot select a: drive as source AND destination to join files. Please "
                      "select a different folder as destination.",
                      RequestField::DestinationFolder);
    if (!fileExists(source))
        return refuse(host, fileNotLocatedText(source), RequestField::PiecePath);
    return {true, {}};
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
        if (host.message(Question::InsertDisk,
                         "Please insert disk in drive A: and click OK to continue.",
                         Buttons::OkCancel, Icon::Information)
            != Answer::Ok) {
            engine.SetErrorFlag(-1);
            engine.SetErrorMessage("Processing of the files was cancelled.");
            return false;
        }
    }
}

// Whether a file at path may be replaced: nothing is there, or the user says Yes.
bool mayReplace(const std::string& path, Host& host)
{
    if (!fileExists(path) && !folderExists(path))
        return true;
    std::string folder = GetFolderFromPath(path);
    if (folder.size() > 1)
        folder.pop_back(); // the folder as it is written, without its last separator
    return host.message(Question::Replace,
                        GetFileNameFromPath(path) + " already exists in " + folder
                            + ". Replace it?",
                        Buttons::YesNo, Icon::Question)
           == Answer::Yes;
}

} // namespace

JoinStart startJoin(std::string& source, std::string& destination, modJoinFile& engine, Host& host)
{
    if (JoinStart checked = checkBoxes(source, destination, host); !checked.ready)
        return checked;
    engine.ResetJoin();
    engine.SetSourceFile(source);
    engine.SetDestinationFolder(destination);
    if (isDiskettePath(destination)) {
        if (!waitForDestinationDisk(engine, host))
            return {};
    } else if (!folderExists(destination)) {
        return refuse(host, folderNotLocatedText(destination), RequestField::DestinationFolder);
    }
    return {true, {}};
}

JoinReplacing askBeforeReplacing(modJoinFile& engine, Host& host,
                                 const std::string& decompressedPath, bool askJoined)
{
    JoinReplacing replacing;
    // The file the user gets first; the compressed one it is made from after it.
    if (!decompressedPath.empty()) {
        replacing.decompressed = fileExists(decompressedPath) || folderExists(decompressedPath);
        replacing.go = mayReplace(decompressedPath, host);
    }
    if (askJoined)
        replacing.go = replacing.go && askBeforeReplacingJoined(engine, host);
    replacing.decompressed = replacing.go && replacing.decompressed;
    return replacing;
}

bool askBeforeReplacingJoined(modJoinFile& engine, Host& host)
{
    const std::string joined = engine.JoinedFilePath();
    const bool there = fileExists(joined);
    const bool go = mayReplace(joined, host);
    engine.SetReplaceJoinedFile(go && there);
    return go;
}

bool pickedPieceCompressed(const std::string& piece)
{
    try {
        File file(piece, File::Mode::Read);
        const PieceHeader header = readPieceHeaderZeroFilled(file);
        if (header.hasByteSignature() || isDiskettePath(piece) || plainSetCount(piece) == 0)
            return header.isCompressed();
        // Parcelo's own plain set: its first piece begins as a compressed file does.
        const std::string base = RemoveFileExtension(piece);
        return plainSetCompressed(base + SplitFileExtension(1), GetFileNameFromPath(base));
    } catch (const RunError&) {
        return false; // the join tells what is wrong with it
    }
}

bool locateSet(modJoinFile& engine, Host& host)
{
    engine.LocateSplitFiles();
    if (engine.ErrorFlag() == 0)
        return true;
    host.message(Question::Notice, engine.ErrorMessage(), Buttons::Ok, Icon::Critical);
    return false;
}

std::string joinErrorText(const modJoinFile& engine)
{
    return "Error:" + std::to_string(engine.ErrorFlag()) + " : " + engine.ErrorMessage();
}

std::string joinSucceededText(const std::string& joinedPath, const std::string& suffix)
{
    return "The file: " + joinedPath + CR + " has been created" + suffix
           + " from all split files successfully.";
}

std::string checksumNoticeLine(const modJoinFile& engine)
{
    return engine.ChecksumNotice().empty() ? std::string()
                                           : std::string(CR) + engine.ChecksumNotice();
}

} // namespace parcelo
