#include "app/config_file.h"

#include "app/text_case.h"
#include "format/split_choices.h"
#include "platform/explore_menu.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "xml/xml_document.h"
#include "xml/xml_error.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace parcelo {

namespace {

std::string pleaseCheckConfig(const std::string& appFolder)
{
    return "Please make sure that the configuration file exists in the root path(" + appFolder
           + ") of the application.";
}

// The user's copy of an installed program's file is missing when its folder cannot be used:
// the message then names that folder and why, instead of the program's folder.
ConfigStatus reportMissingConfig(const AppPaths& paths, Host& host, const LogWriter& log)
{
    const std::string notFound = paths.configFilePath + " file can not be found.";
    std::string hint = configFolderProblem(paths);
    if (hint.empty())
        hint = pleaseCheckConfig(paths.appFolder);
    host.message(Question::Notice, notFound + LF + hint, Buttons::Ok, Icon::None,
                 "Fatal Error: cannot continue");
    log("Fatal Error: " + notFound + " " + hint);
    return {kConfigMissing, "File config.xml was not found in the application folder."};
}

// The most a configuration file may hold, and the deepest its elements may nest: far more
// than any has, and little enough that a file that is no configuration is refused at once.
constexpr std::uint64_t kMostConfigBytes = 1 << 20;
constexpr std::size_t kDeepestConfigNesting = 64;

// The configuration file's text, parsed; a file too large is refused before it is read.
// XmlError names the file, the reason and, for a malformed document, where it is.
void loadConfigDocument(const std::string& path, XMLDocument& document, Host& host)
{
    File in(path, File::Mode::Read);
    if (in.size() > kMostConfigBytes)
        throw XmlError(xmlerr::kParse, "Parse",
                       path + ": the file is larger than 1 MB, too large for a configuration file");
    std::string text(static_cast<std::size_t>(in.size()), '\0');
    text.resize(in.read(text.data(), text.size()));
    in.close();
    document.SetDeepestNesting(kDeepestConfigNesting);
    try {
        document.LoadData(text, &host);
    } catch (const XmlError& error) {
        std::string where;
        if (error.line() > 0)
            where = " at line " + std::to_string(error.line()) + ", column "
                    + std::to_string(error.column());
        throw XmlError(error.number(), error.source(), path + ": " + error.description() + where);
    }
}

ConfigStatus reportSaveFailure(int number, const std::string& description, const AppPaths& paths,
                               Host& host, const LogWriter& log)
{
    const std::string text = std::string("There was an error in saving configurations") + LF
                             + pleaseCheckConfig(paths.appFolder);
    host.message(Question::Notice, text, Buttons::Ok, Icon::None, "Error");
    log(text);
    return {number, description};
}

// The file could not be written: the message names it and the reason.
ConfigStatus reportWriteFailure(const RunError& error, const AppPaths& paths, Host& host,
                                const LogWriter& log)
{
    const std::string text = std::string("There was an error in saving configurations") + LF
                             + paths.configFilePath
                             + " cannot be written: " + describeRunError(error.number());
    host.message(Question::Notice, text, Buttons::Ok, Icon::None, "Error");
    log(text);
    return {error.number(), error.description()};
}

// Attribute `attribute` of child `child` of the root; a missing one throws XmlError.
CXmlAttribute& optionAt(const XMLDocument& document, int child, int attribute)
{
    auto found = document.Node(child)->ElementAttribute(attribute);
    if (!found)
        throw objectNotSet("ElementAttribute");
    return *found;
}

CompressionLevel levelFromText(const std::string& text)
{
    if (text == "5")
        return CompressionLevel::Medium;
    if (text == "1")
        return CompressionLevel::Fastest;
    return CompressionLevel::Highest;
}

const char* levelText(CompressionLevel level)
{
    switch (level) {
    case CompressionLevel::Medium:
        return "5";
    case CompressionLevel::Fastest:
        return "1";
    case CompressionLevel::Highest:
        break;
    }
    return "9";
}

const char* flagText(bool on)
{
    return on ? "true" : "false";
}

// A stored output folder with its final separator; the working folder when empty.
std::string outputFolder(const std::string& stored, const std::string& workingFolder)
{
    if (stored.empty())
        return workingFolder + kSeparator;
    return withTrailingSeparator(stored);
}

// The folder box as it is saved: one final "\" or "/" removed, except from a root folder
// that is nothing else.
std::string tidyFolder(const std::string& folder)
{
    if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        return folder.substr(0, folder.size() - 1);
    return folder;
}

bool onDisketteDrive(const std::string& folder)
{
    return !folder.empty() && (folder[0] == 'a' || folder[0] == 'A');
}

void showFolder(ExploreEntry& entry, const std::string& folder)
{
    entry.caption = folder;
    entry.tag = folder;
    entry.visible = true;
}

// An element after the four first ones (<Sending/>, <Recovery/>, <Writing/>, <Pieces/>,
// <Encryption/>); none in a file an older version wrote.
std::shared_ptr<CXmlElement> laterElement(const XMLDocument& document, const char* name)
{
    for (std::int32_t position = 5;; ++position) {
        try {
            auto element = document.Node(position);
            if (element->Name() == name)
                return element;
        } catch (const XmlError&) {
            return nullptr; // past the last element
        }
    }
}

// An attribute of a later element; none when either is missing.
std::shared_ptr<CXmlAttribute> laterAttribute(const XMLDocument& document, const char* name,
                                              const char* key)
{
    try {
        const auto element = laterElement(document, name);
        return element ? element->ElementAttribute(std::string(key)) : nullptr;
    } catch (const XmlError&) {
        return nullptr;
    }
}

// Sets an attribute of a later element, appending the element when the file has none.
void setLaterAttribute(XMLDocument& document, const char* name, const char* key,
                       const std::string& value)
{
    auto element = laterElement(document, name);
    if (!element) {
        element = std::make_shared<CXmlElement>();
        element->SetName(name);
        document.AppendNode(element);
    }
    try {
        element->RemoveAttribute(std::string(key));
    } catch (const XmlError&) {
        // not there yet
    }
    auto attribute = std::make_shared<CXmlAttribute>();
    attribute->SetName(key);
    attribute->SetValue(value);
    element->AppendAtribute(attribute);
}

// <Sending checksums="..." joinScript="..."/>: on unless written "false".
bool sendingFlag(const XMLDocument& document, const char* key)
{
    const auto attribute = laterAttribute(document, "Sending", key);
    return !attribute || attribute->Value() != "false";
}

void writeSendingFlags(const ParceloOptions& options, XMLDocument& document)
{
    if (!laterElement(document, "Sending") && options.writeChecksums && options.writeJoinScript)
        return; // an older file stays as it was while both are on
    setLaterAttribute(document, "Sending", "checksums", flagText(options.writeChecksums));
    setLaterAttribute(document, "Sending", "joinScript", flagText(options.writeJoinScript));
}

// A recovery choice as kept: "N" or "N%"; "0", none, for any other text.
std::string keptRecoveryText(const std::string& text)
{
    return parseRecoveryChoice(text) ? text : "0";
}

// <Recovery pieces="N"/>; "0" when missing or unreadable.
std::string recoveryText(const XMLDocument& document)
{
    const auto attribute = laterAttribute(document, "Recovery", "pieces");
    return attribute ? keptRecoveryText(attribute->Value()) : "0";
}

void writeRecoveryText(const std::string& choice, XMLDocument& document)
{
    const std::string text = keptRecoveryText(choice);
    if (!laterElement(document, "Recovery") && text == "0")
        return; // an older file stays as it was while no recovery pieces are asked for
    setLaterAttribute(document, "Recovery", "pieces", text);
}

// <Writing flush="..."/>: on unless written "false"; written only once it is off.
bool flushFlag(const XMLDocument& document)
{
    const auto attribute = laterAttribute(document, "Writing", "flush");
    return !attribute || attribute->Value() != "false";
}

void writeFlushFlag(bool flush, XMLDocument& document)
{
    if (!laterElement(document, "Writing") && flush)
        return; // an older file stays as it was while it is on
    setLaterAttribute(document, "Writing", "flush", flagText(flush));
}

// A flag of a later element that is off unless written "true" (<Pieces plain="..."/>,
// <Encryption split="..."/>); written only once it is on, so an older file stays as it was.
bool offByDefaultFlag(const XMLDocument& document, const char* element, const char* attribute)
{
    const auto value = laterAttribute(document, element, attribute);
    return value && value->Value() == "true";
}

void writeOffByDefaultFlag(bool on, XMLDocument& document, const char* element,
                           const char* attribute)
{
    if (!laterElement(document, element) && !on)
        return;
    setLaterAttribute(document, element, attribute, flagText(on));
}

void readOptions(const XMLDocument& document, const AppPaths& paths, ParceloOptions& options)
{
    options.makerWebPage = optionAt(document, 1, 1).Value();
    options.productWebPage = optionAt(document, 1, 2).Value();
    options.spareValue = optionAt(document, 1, 3).Value();
    options.supportWebPage = optionAt(document, 1, 4).Value();
    options.autoCompress = optionAt(document, 2, 1).Value() == "true";
    options.compressionLevel = levelFromText(optionAt(document, 2, 2).Value());
    options.lastBrowseFolder = optionAt(document, 3, 2).Value();
    options.splitFolder = outputFolder(optionAt(document, 3, 3).Value(), paths.splitFolder);
    options.lastJoinFolder = optionAt(document, 3, 5).Value();
    options.joinFolder = outputFolder(optionAt(document, 3, 6).Value(), paths.joinFolder);
    options.deleteAfterSplit = optionAt(document, 4, 1).Value() == "true";
    options.deleteAfterJoin = optionAt(document, 4, 2).Value() == "true";
    options.writeChecksums = sendingFlag(document, "checksums");
    options.writeJoinScript = sendingFlag(document, "joinScript");
    options.recoveryPieces = recoveryText(document);
    options.flushToDisk = flushFlag(document);
    options.plainPieces = offByDefaultFlag(document, "Pieces", "plain");
    options.encryptSplits = offByDefaultFlag(document, "Encryption", "split");
}

void writeOptions(const ParceloOptions& options, XMLDocument& document)
{
    optionAt(document, 2, 1).SetValue(flagText(options.autoCompress));
    optionAt(document, 2, 2).SetValue(levelText(options.compressionLevel));
    optionAt(document, 3, 1).SetValue(options.lastSplitSource);
    optionAt(document, 3, 2).SetValue(GetFolderFromPath(options.lastSplitSource));
    optionAt(document, 3, 3).SetValue(options.splitFolder);
    optionAt(document, 3, 4).SetValue(options.lastJoinPiece);
    optionAt(document, 3, 5).SetValue(GetFolderFromPath(options.lastJoinPiece));
    optionAt(document, 3, 6).SetValue(options.joinFolder);
    optionAt(document, 4, 1).SetValue(flagText(options.deleteAfterSplit));
    optionAt(document, 4, 2).SetValue(flagText(options.deleteAfterJoin));
    writeSendingFlags(options, document);
    writeRecoveryText(options.recoveryPieces, document);
    writeFlushFlag(options.flushToDisk, document);
    writeOffByDefaultFlag(options.plainPieces, document, "Pieces", "plain");
    writeOffByDefaultFlag(options.encryptSplits, document, "Encryption", "split");
}

// The serialized document as file lines: blank lines (and lines of spaces) dropped, the
// others kept as they are, each ended by CR LF (a line that ended in CR LF keeps one).
std::string configFileText(const std::string& serialized)
{
    std::string text;
    std::size_t start = 0;
    while (start <= serialized.size()) {
        std::size_t end = serialized.find('\n', start);
        if (end == std::string::npos)
            end = serialized.size();
        std::string line = serialized.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // its own CR: ended by CR LF below, not doubled on every save
        if (line.find_first_not_of(' ') != std::string::npos)
            text += line + "\r\n";
        start = end + 1;
    }
    return text;
}

// Writes the text under a temporary name beside path and renames it over path in one
// step, so the file is either the old one or the new one; its data and then its folder
// are synced whatever the option for jobs says. A failure removes the temporary file.
void replaceFile(const std::string& path, const std::string& text)
{
    SafeOutput out(path, Durability::Always);
    out.file().write(text);
    out.commit();
}

// The element names and attribute names of a document, in order: what a value that
// breaks out of its quotes would change.
std::string shapeOf(const XMLDocument& document)
{
    std::string shape;
    std::vector<const CXmlElement*> pending{document.Root().get()};
    while (!pending.empty()) {
        const CXmlElement* element = pending.back();
        pending.pop_back();
        shape += '<';
        shape += element->Name();
        if (element->Tag())
            for (const auto& attribute : element->Tag()->NewEnum()) {
                shape += ' ';
                shape += attribute->Name();
            }
        shape += '>';
        shape += std::to_string(element->NewEnum().size());
        const auto& children = element->NewEnum();
        std::transform(children.rbegin(), children.rend(), std::back_inserter(pending),
                       [](const auto& child) { return child.get(); });
    }
    return shape;
}

// Throws XmlError unless the text loads back as the same configuration, so that a save
// never leaves a file the next start cannot read (or reads otherwise).
void checkLoadsBack(const std::string& text, const XMLDocument& written)
{
    XMLDocument document;
    document.LoadData(text);
    if (shapeOf(document) != shapeOf(written))
        throw XmlError(xmlerr::kParse, "Parse", "A value cannot be written within quotes");
}

void tidyFolderBoxes(ParceloOptions& options, ExploreMenu& explore)
{
    options.splitFolder = tidyFolder(options.splitFolder);
    if (!options.splitFolder.empty() && !onDisketteDrive(options.splitFolder))
        showFolder(explore.entry(1), options.splitFolder);
    options.joinFolder = tidyFolder(options.joinFolder);
    if (!options.joinFolder.empty() && !onDisketteDrive(options.joinFolder)) {
        if (lowerCase(options.joinFolder) != lowerCase(options.splitFolder))
            showFolder(explore.entry(2), options.joinFolder);
        else
            explore.entry(2).visible = false;
    }
}

} // namespace

ConfigStatus LoadConfiguration(const AppPaths& paths, ParceloOptions& options, ExploreMenu& explore,
                               Host& host, const LogWriter& log)
{
    if (!fileExists(paths.configFilePath))
        return reportMissingConfig(paths, host, log);
    ParceloOptions loaded = options;
    try {
        XMLDocument document;
        loadConfigDocument(paths.configFilePath, document, host);
        readOptions(document, paths, loaded);
    } catch (const XmlError& error) {
        return {error.number(), error.description()};
    } catch (const RunError& error) {
        return {error.number(), error.description()};
    }
    options = loaded;
    const std::string split = tidyFolder(options.splitFolder);
    const std::string join = tidyFolder(options.joinFolder);
    showFolder(explore.entry(1), split);
    if (join != split)
        showFolder(explore.entry(2), join);
    return {};
}

ConfigStatus SaveConfiguration(const AppPaths& paths, ParceloOptions& options, ExploreMenu& explore,
                               Host& host, const LogWriter& log)
{
    if (!fileExists(paths.configFilePath))
        return reportMissingConfig(paths, host, log);
    tidyFolderBoxes(options, explore);
    try {
        XMLDocument document;
        loadConfigDocument(paths.configFilePath, document, host);
        writeOptions(options, document);
        const std::string text = configFileText(document.Serialize());
        checkLoadsBack(text, document);
        try {
            replaceFile(paths.configFilePath, text);
        } catch (const RunError& error) {
            return reportWriteFailure(error, paths, host, log);
        }
    } catch (const XmlError& error) {
        return reportSaveFailure(error.number(), error.description(), paths, host, log);
    } catch (const RunError& error) {
        return reportSaveFailure(error.number(), error.description(), paths, host, log);
    }
    return {};
}

} // namespace parcelo
