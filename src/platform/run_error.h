#pragma once

#include <exception>
#include <string>

namespace parcelo {

// The run-time error numbers that messages and statuses are built on.
namespace err {
inline constexpr int Overflow = 6;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIoError = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEndOfFile = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
// Below this, a component numbers the failures that are its own rather than the file
// system's: the archive component's (zlib_tool.h), the recovery code's (recovery.h).
inline constexpr int ComponentErrors = -2147221504;
} // namespace err

// A run-time error: a number and its description. Engines catch these and turn them
// into their status and message.
class RunError : public std::exception {
public:
    RunError(int number, std::string description);
    // The standard description of a number ("Disk full" for 61).
    explicit RunError(int number);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int number_;
    std::string description_;
};

// The failure an operation ended with: 0 = none; -1 a refusal or a cancel; 1 a file that
// could not be opened or is not valid; any other value a run-time error number. The join
// keeps its state in one, and a check records its cancel or run-time error in one.
class ErrorState {
public:
    int ErrorFlag() const { return errorFlag_; }
    void SetErrorFlag(int flag) { errorFlag_ = flag; }
    const std::string& ErrorMessage() const { return errorMessage_; }
    void SetErrorMessage(const std::string& text) { errorMessage_ = text; }

protected:
    int errorFlag_ = 0;
    std::string errorMessage_;
};

// The standard description of a run-time error number.
std::string describeRunError(int number);

// The run-time error for an OS error (errno value) met on a file or folder; the
// description ends with ": " and the path when one is given. A file too large for a limit
// is told with the limit (fileTooLargeText).
RunError runErrorFromOs(int osError, const std::string& path = {}, bool onFolder = false);

} // namespace parcelo
