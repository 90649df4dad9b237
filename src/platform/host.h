#pragma once

#include <string>

namespace parcelo {

class Password;
struct ProgressReport;

// The title of almost every message box the programs show.
inline constexpr const char* kProductName = "Parcelo";

// A carriage return inside a message text: the break between its lines.
// Hosts turn it into whatever their display uses (see toDisplayText).
inline constexpr const char* CR = "\r";
inline constexpr const char* LF = "\n";

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// What a message asks, so that a host can answer by meaning rather than by its text.
enum class Question {
    Notice,         // information, a warning or an error: OK only
    InsertDisk,     // put a (numbered) diskette in drive A: - OK goes on
    DiskFull,       // no room left on the disk: OK retries (with another disk)
    ConfirmCancel,  // are you sure you want to cancel - Yes stops the work
    DisketteCount,  // the work needs this many diskettes - Yes goes on
    DeleteSource,   // delete the file just split
    DeletePieces,   // delete the pieces just joined
    Replace,        // replace an existing file with a new one
    CreateFile,     // create a missing file
    JoinPlain,      // join another tool's numbered pieces as plain pieces - Yes joins them
    SkipUnreadable, // a folder's file cannot be read: Yes leaves it out, No fails the split
    Exit,           // leave the application
    StopJob,        // a job is running: stop it and exit - Yes stops
    Stopped,        // the job ended because the person stopped it: OK only. A window
                    // shows no box for it: its status line says "Cancelled." at once
    Password        // type the password of an encrypted set (askPassword) - OK goes on
};

// True for the kinds that offer OK alone.
bool offersOkOnly(Question kind);

// Everything the core needs from whoever runs it: message boxes, pending events and the
// busy pointer. The windows pass a Qt-backed host, the CLI a console host and the tests
// a scripted host. Engines never reach a toolkit any other way.
class Host {
public:
    virtual ~Host() = default;

    // Shows a message of the given kind, under the program's title unless another is
    // given, and returns the button pressed.
    Answer message(Question kind, const std::string& text, Buttons buttons, Icon icon,
                   const std::string& title = kProductName)
    {
        return showMessage(kind, text, buttons, icon, title);
    }

    // Shows the outcome of a job that wrote its files into folder: an information notice,
    // whose box may offer to open the folder.
    virtual void showOutcome(const std::string& text, const std::string& folder)
    {
        (void)folder;
        message(Question::Notice, text, Buttons::Ok, Icon::Information);
    }

    // Lets the user interface handle repaints and input before returning.
    virtual void processEvents() {}

    // True when processEvents does something (a window to keep responsive). Long copies
    // then yield every 2,000,000 bytes; without one they may move larger steps at once.
    virtual bool processesEvents() const { return false; }

    // Where the running job stands (see JobProgress), a few times a second. Displays
    // without a status label (a terminal) draw it themselves.
    virtual void showProgress(const ProgressReport& report) { (void)report; }

    // The busy pointer for the whole screen (true) or the default one (false).
    virtual void setBusy(bool busy) { (void)busy; }

    // Asks for a password (Question::Password), with text saying what it opens: OK with
    // the password typed into `password`, or Cancel (nobody to ask, or the person
    // declined). The password is never echoed.
    Answer askPassword(const std::string& text, Password& password,
                       const std::string& title = kProductName)
    {
        return showPasswordQuestion(text, password, title);
    }

protected:
    virtual Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                               const std::string& title) = 0;
    // Without anyone to ask: Cancel.
    virtual Answer showPasswordQuestion(const std::string& text, Password& password,
                                        const std::string& title)
    {
        (void)text;
        (void)password;
        (void)title;
        return Answer::Cancel;
    }
};

// A host for code run without anyone to ask: every question gets unattendedAnswer.
class SilentHost : public Host {
protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;
};

// Reports why a job failed, as a critical notice; when the person asked the job to stop,
// the report is of kind Stopped, since nothing went wrong.
void reportFailure(Host& host, const std::string& text);

// "The file PATH cannot be located. Please make sure that the file exists in the specified
// path." and its folder twin: the one text every command refuses a missing input with.
std::string fileNotLocatedText(const std::string& path);
std::string folderNotLocatedText(const std::string& path);

// The answer that declines: Cancel or No where the buttons offer it, else OK.
Answer cautiousAnswer(Buttons buttons);

// The answer when nobody can be asked: the one that stops or leaves things as they are.
// That is the cautious button, except that a cancel is confirmed (Yes), since going on
// would only ask again.
Answer unattendedAnswer(Question kind, Buttons buttons);

// The message text with its carriage returns (alone or before a line feed) made into
// single line feeds, for displays that break lines on "\n".
std::string toDisplayText(const std::string& text);

} // namespace parcelo
