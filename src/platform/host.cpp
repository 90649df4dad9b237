#include "platform/host.h"

#include "platform/bindings.h"
#include "platform/stop_token.h"

namespace parcelo {

Answer SilentHost::showMessage(Question kind, const std::string&, Buttons buttons, Icon,
                               const std::string&)
{
    return unattendedAnswer(kind, buttons);
}

bool offersOkOnly(Question kind)
{
    return kind == Question::Notice || kind == Question::Stopped;
}

void reportFailure(Host& host, const std::string& text)
{
    host.message(jobStop().requested() ? Question::Stopped : Question::Notice, text, Buttons::Ok,
                 Icon::Critical);
}

std::string fileNotLocatedText(const std::string& path)
{
    return "The file " + path
           + " cannot be located. Please make sure that the file exists in the specified path.";
}

std::string folderNotLocatedText(const std::string& path)
{
    return "The folder " + path
           + " cannot be located. Please make sure that the folder exists in the specified path.";
}

Answer cautiousAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer unattendedAnswer(Question kind, Buttons buttons)
{
    if (kind == Question::ConfirmCancel && buttons != Buttons::Ok)
        return Answer::Yes;
    return cautiousAnswer(buttons);
}

const char* fileRowKindName(FileRowKind kind)
{
    switch (kind) {
    case FileRowKind::Piece:
        break;
    case FileRowKind::ChecksumFile:
        return "checksum file";
    case FileRowKind::JoinScript:
        return "join script";
    case FileRowKind::RecoveryPiece:
        return "recovery piece";
    }
    return "piece";
}

void clearPaneDisplay(const PaneBindings& pane)
{
    if (ProgressBarBinding* bar = asProgressBar(pane.progressBar))
        bar->setVisible(false);
    if (LabelBinding* label = asLabel(pane.statusLabel))
        label->setCaption("");
    if (FileListBinding* list = asFileList(pane.fileList))
        list->clear();
}

std::string toDisplayText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace parcelo
