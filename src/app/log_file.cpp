#include "app/log_file.h"

#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace parcelo {

namespace {

// Date and time in the system's short formats, the time taken first.
std::string timeStamp()
{
    const QTime time = QTime::currentTime();
    const QDate date = QDate::currentDate();
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')); // without the time zone
    return locale.toString(date, QLocale::ShortFormat).toStdString() + " "
           + locale.toString(time, timeFormat.trimmed()).toStdString();
}

} // namespace

void WriteLogEntry(const std::string& logFilePath, const std::string& message) noexcept
{
    try {
        const std::string line = timeStamp() + " " + message + "\r\n";
        File log;
        if (fileExists(logFilePath)) {
            log = File(logFilePath, File::Mode::ReadWrite);
            log.seek(log.size());
        } else {
            log = File(logFilePath, File::Mode::Write);
        }
        log.write(line);
        log.close();
    } catch (...) {
        // the entry is lost; the caller goes on
    }
}

LogWriter logWriterFor(const std::string& logFilePath)
{
    return [logFilePath](const std::string& message) { WriteLogEntry(logFilePath, message); };
}

void ViewLogFile(Host& host, const std::string& logFilePath, const std::string& appFolder,
                 TextEditorLauncher& editor)
{
    try {
        if (!fileExists(logFilePath)) {
            const std::string question =
                "The log file " + logFilePath + " can not be found in the application folder("
                + appFolder + ")." + " Would you like to create a new log file?";
            if (host.message(Question::CreateFile, question, Buttons::YesNo, Icon::Question)
                != Answer::Yes)
                return;
            WriteLogEntry(logFilePath, kCreatingLogEntry);
        }
        editor.openInEditor(logFilePath);
    } catch (...) {
        // an editor that cannot be started is ignored
    }
}

void DeleteLogFile(Host& host, const std::string& logFilePath, const std::string& appFolder)
{
    try {
        if (!fileExists(logFilePath)) {
            if (!folderExists(appFolder))
                EnsureFolderExists(appFolder);
            WriteLogEntry(logFilePath, kCreatingLogEntry);
            return;
        }
        if (host.message(Question::Replace,
                         "Are you sure you want to delete the existing log file and create a "
                         "new one?",
                         Buttons::YesNo, Icon::Question)
            != Answer::Yes)
            return;
        removeFileQuietly(logFilePath);
        WriteLogEntry(logFilePath, kCreatingLogEntry);
    } catch (...) {
        // a delete that fails is ignored
    }
}

} // namespace parcelo
