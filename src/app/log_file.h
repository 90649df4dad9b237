#pragma once

#include <functional>
#include <string>

namespace parcelo {

class Host;

// The entry written when a log file is started.
inline constexpr const char* kCreatingLogEntry = "...Creating new log file";

// Appends one line to the log: date, time and the message, ended by CR LF. A log that
// cannot be written loses the entry and nothing else; this never fails.
void WriteLogEntry(const std::string& logFilePath, const std::string& message) noexcept;

// Where the routines of the application shell write their log entries.
using LogWriter = std::function<void(const std::string& message)>;
// A writer that appends to the log file at the path.
LogWriter logWriterFor(const std::string& logFilePath);

// Opens a file in the system's text editor; the main window provides it.
class TextEditorLauncher {
public:
    virtual ~TextEditorLauncher() = default;
    virtual void openInEditor(const std::string& path) = 0;
};

// "View Log File": opens the log, or offers to start a new one when it is missing.
void ViewLogFile(Host& host, const std::string& logFilePath, const std::string& appFolder,
                 TextEditorLauncher& editor);

// "Delete Log File": starts a new log, asking first when one exists.
void DeleteLogFile(Host& host, const std::string& logFilePath, const std::string& appFolder);

} // namespace parcelo
