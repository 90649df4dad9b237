/* Preloaded into a program, logs every sync and rename it makes, one line each, to the
 * file named by SYNC_SHIM_LOG, fields apart by tabs: "fsync PATH", "fdatasync PATH",
 * "sync_file_range PATH", "rename FROM TO" and "answer" (a line read from standard input:
 * the answer to a question).
 * Descriptors are named by what they are open on; relative paths get the working folder. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void logLine(const char* op, const char* first, const char* second)
{
    const char* name = getenv("SYNC_SHIM_LOG");
    if (name == NULL)
        return;
    char line[3 * PATH_MAX];
    int length = snprintf(line, sizeof line, "%s%s%s%s%s\n", op, first ? "\t" : "",
                          first ? first : "", second ? "\t" : "", second ? second : "");
    if (length < 0)
        return;
    if ((size_t)length >= sizeof line)
        length = (int)sizeof line - 1;
    const int fd = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (write(fd, line, (size_t)length) < 0) { /* a lost line shows as a failed check */
    }
    close(fd);
}

static void logDescriptor(const char* op, int fd)
{
    char link[64];
    char path[PATH_MAX] = "?";
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    path[length > 0 ? length : 1] = '\0';
    logLine(op, path, NULL);
}

static void absolute(int dirfd, const char* path, char* out)
{
    char base[PATH_MAX] = ".";
    if (path[0] == '/') {
        snprintf(out, PATH_MAX, "%s", path);
        return;
    }
    if (dirfd == AT_FDCWD) {
        if (getcwd(base, sizeof base) == NULL)
            strcpy(base, ".");
    } else {
        char link[64];
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        const ssize_t length = readlink(link, base, sizeof base - 1);
        base[length > 0 ? length : 1] = '\0';
    }
    snprintf(out, PATH_MAX, "%s/%s", base, path);
}

static void logRename(int fromDir, const char* from, int toDir, const char* to)
{
    char a[PATH_MAX], b[PATH_MAX];
    absolute(fromDir, from, a);
    absolute(toDir, to, b);
    logLine("rename", a, b);
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int fsync(int fd)
{
    logDescriptor("fsync", fd);
    return REAL(fsync)(fd);
}

int fdatasync(int fd)
{
    logDescriptor("fdatasync", fd);
    return REAL(fdatasync)(fd);
}

int sync_file_range(int fd, off64_t offset, off64_t count, unsigned int flags)
{
    logDescriptor("sync_file_range", fd);
    return REAL(sync_file_range)(fd, offset, count, flags);
}

int rename(const char* from, const char* to)
{
    const int result = REAL(rename)(from, to);
    if (result == 0)
        logRename(AT_FDCWD, from, AT_FDCWD, to);
    return result;
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    const int result = REAL(renameat)(fromDir, from, toDir, to);
    if (result == 0)
        logRename(fromDir, from, toDir, to);
    return result;
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags)
{
    const int result = REAL(renameat2)(fromDir, from, toDir, to, flags);
    if (result == 0)
        logRename(fromDir, from, toDir, to);
    return result;
}

char* fgets(char* line, int size, FILE* stream)
{
    char* got = REAL(fgets)(line, size, stream);
    if (stream == stdin)
        logLine("answer", NULL, NULL);
    return got;
}
