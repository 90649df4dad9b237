#include "platform/run_error.h"

#include "platform/file_system.h"

#include <cerrno>

namespace parcelo {

RunError::RunError(int number, std::string description)
    : number_(number), description_(std::move(description))
{
}

RunError::RunError(int number) : RunError(number, describeRunError(number)) {}

std::string describeRunError(int number)
{
    switch (number) {
    case err::Overflow:
        return "Overflow";
    case err::TypeMismatch:
        return "Type mismatch";
    case err::BadFileNameOrNumber:
        return "Bad file name or number";
    case err::FileNotFound:
        return "File not found";
    case err::DeviceIoError:
        return "Device I/O error";
    case err::FileAlreadyExists:
        return "File already exists";
    case err::DiskFull:
        return "Disk full";
    case err::InputPastEndOfFile:
        return "Input past end of file";
    case err::PermissionDenied:
        return "Permission denied";
    case err::PathFileAccessError:
        return "Path/File access error";
    case err::PathNotFound:
        return "Path not found";
    default:
        return "Application-defined or object-defined error";
    }
}

static int runErrorNumber(int osError, bool onFolder)
{
    switch (osError) {
    case ENOENT:
        return onFolder ? err::PathNotFound : err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EEXIST:
        return err::FileAlreadyExists;
    case EIO:
        return err::DeviceIoError;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return err::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::PermissionDenied;
    case ENAMETOOLONG:
    case EINVAL:
        return err::BadFileNameOrNumber;
    default:
        return err::PathFileAccessError;
    }
}

RunError runErrorFromOs(int osError, const std::string& path, bool onFolder)
{
    if (osError == EFBIG) // a limit, not a full disk
        return RunError(err::PathFileAccessError, fileTooLargeText(path));
    const int number = runErrorNumber(osError, onFolder);
    std::string description = describeRunError(number);
    if (!path.empty())
        description += ": " + path;
    return RunError(number, description);
}

} // namespace parcelo
