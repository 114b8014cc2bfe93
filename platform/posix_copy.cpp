// CopyFileA on POSIX: a durable, all-or-nothing copy.
//
// The content goes into an unnamed file (O_TMPFILE) in the destination's
// directory, or a named one where the file system has no unnamed files;
// once it is whole, flushed and carries the source's mode and times, it is
// linked or renamed to the destination name and the directory is flushed.
// Killed at any moment, the copy leaves either the old destination or the
// new one, never a part, and an unnamed temporary file leaves nothing.
#include "posix_paths.h"
#include "posix_syscalls.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int open_retrying(int dir, const char *path, int flags, mode_t mode)
{
    int fd;
    do
        fd = posix_calls.openat(dir, path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int close_checked(int fd)
{
    // Linux releases the descriptor even when close reports EINTR; a retry
    // could close a descriptor another thread just got.
    int result = posix_calls.close(fd);
    return (result != 0 && errno == EINTR) ? 0 : result;
}

char copy_buffer[128 * 1024];

// The device of the last source whose clone was refused: the installer
// copies from one directory into its subdirectories, so one refusal
// answers for the files after it.
bool clone_refused;
dev_t clone_refused_device;

// Copies size bytes at offset from source to destination by read and write,
// for kernels and file systems that cannot copy in the kernel.
bool copy_by_buffer(int source, int destination, off_t offset, off_t size)
{
    if (posix_calls.lseek(source, offset, SEEK_SET) < 0 || posix_calls.lseek(destination, offset, SEEK_SET) < 0)
        return false;
    while (size > 0) {
        size_t want = size < static_cast<off_t>(sizeof copy_buffer) ? static_cast<size_t>(size) : sizeof copy_buffer;
        ssize_t got = posix_calls.read(source, copy_buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0) {
            errno = EIO; // the source shrank while it was copied
            return false;
        }
        for (ssize_t written = 0; written < got;) {
            ssize_t put = posix_calls.write(destination, copy_buffer + written, static_cast<size_t>(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return false;
            if (put == 0) {
                errno = ENOSPC;
                return false;
            }
            written += put;
        }
        size -= got;
    }
    return true;
}

// Copies size bytes at offset, in the kernel where it can.
bool copy_range(int source, int destination, off_t offset, off_t size)
{
    off_t in = offset, out = offset;
    while (size > 0) {
        ssize_t copied = posix_calls.copy_file_range(source, &in, destination, &out, static_cast<size_t>(size), 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0 && in == offset &&
            (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM))
            return copy_by_buffer(source, destination, offset, size); // nothing copied yet: copy by hand
        if (copied < 0)
            return false;
        if (copied == 0) {
            errno = EIO; // the source shrank while it was copied
            return false;
        }
        size -= copied;
    }
    return true;
}

// Copies the content of source (size bytes, allocated in blocks of
// 512 bytes) into the empty destination: a clone where the file system
// shares blocks, else the data ranges one by one, so holes stay holes.
bool copy_content(int source, int destination, dev_t device, off_t size, blkcnt_t blocks)
{
    if (size == 0)
        return true;
    if (!clone_refused || clone_refused_device != device) {
        if (posix_calls.ficlone(destination, source) == 0)
            return true;
        if (errno == EOPNOTSUPP || errno == EINVAL || errno == ENOTTY || errno == EXDEV) {
            clone_refused = true;
            clone_refused_device = device;
        }
    }
    if (blocks * 512 >= size)
        return copy_range(source, destination, 0, size); // no holes to keep

    off_t offset = 0;
    while (offset < size) {
        off_t data = posix_calls.lseek(source, offset, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break; // only a hole remains
        off_t hole = data < 0 ? size : posix_calls.lseek(source, data, SEEK_HOLE);
        if (data < 0)
            data = offset; // no hole detection here: copy everything
        if (hole < 0)
            hole = size;
        if (!copy_range(source, destination, data, hole - data))
            return false;
        offset = hole;
    }
    return posix_calls.ftruncate(destination, size) == 0;
}

unsigned temporary_counter;

// Makes a temporary name in the destination's directory that never matches
// a pattern the installer moves.
void temporary_name(char (&name)[64])
{
    snprintf(name, sizeof name, ".zovik-install-%ld-%u.part", static_cast<long>(getpid()), ++temporary_counter);
}

// Opens a new, empty temporary file in dir: unnamed where the file system
// allows it, else under a fresh name written into name.
int open_temporary(int dir, char (&name)[64])
{
    name[0] = '\0';
    int fd = open_retrying(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_name(name);
        fd = open_retrying(dir, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    if (fd < 0)
        name[0] = '\0';
    return fd;
}

// Gives the unnamed file fd the name base in dir, failing when base exists.
int link_unnamed(int fd, int dir, const char *base)
{
    char proc_path[64];
    snprintf(proc_path, sizeof proc_path, "/proc/self/fd/%d", fd);
    int result = posix_calls.linkat(AT_FDCWD, proc_path, dir, base, AT_SYMLINK_FOLLOW);
    if (result != 0 && errno == ENOENT) // no /proc: needs CAP_DAC_READ_SEARCH
        result = posix_calls.linkat(fd, "", dir, base, AT_EMPTY_PATH);
    return result;
}

// True when base in dir is the very directory entry source names, so that
// replacing it would destroy the source.
bool same_entry(const char *source, const struct stat &source_info, int dir, const char *base)
{
    struct stat destination_info;
    if (posix_calls.fstatat(dir, base, &destination_info, 0) != 0)
        return false;
    if (destination_info.st_dev != source_info.st_dev || destination_info.st_ino != source_info.st_ino)
        return false;
    if (source_info.st_nlink <= 1)
        return true;
    // A file with several names: the same entry only in the same directory
    // under the same name.
    static char source_directory[PATH_MAX];
    const char *source_base;
    struct stat source_dir_info, destination_dir_info;
    if (!split_path(source, source_directory, &source_base) ||
        posix_calls.fstatat(AT_FDCWD, source_directory, &source_dir_info, 0) != 0 ||
        posix_calls.fstat(dir, &destination_dir_info) != 0)
        return true; // cannot tell: assume the worst
    return source_dir_info.st_dev == destination_dir_info.st_dev &&
           source_dir_info.st_ino == destination_dir_info.st_ino && strcmp(source_base, base) == 0;
}

// Gives the unnamed file fd a fresh temporary name in dir, written into
// name.
bool name_unnamed(int fd, int dir, char (&name)[64])
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_name(name);
        if (link_unnamed(fd, dir, name) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    name[0] = '\0';
    return false;
}

// Puts the finished temporary file (fd, named name or unnamed) in dir
// under base, refusing to replace the source itself. Whatever temporary
// name is left in name afterwards is the caller's to remove.
bool publish(int fd, int dir, char (&name)[64], const char *base, bool replace, const char *source,
             const struct stat &source_info)
{
    // First without replacing anything: a link fails when base exists.
    bool named = name[0] != '\0';
    if ((named ? posix_calls.linkat(dir, name, dir, base, 0) : link_unnamed(fd, dir, base)) == 0)
        return true;
    if (errno != EEXIST || !replace)
        return false;
    if (same_entry(source, source_info, dir, base)) {
        errno = EBUSY;
        return false;
    }
    // Only a rename replaces the destination, and it needs a name to rename.
    if (!named && !name_unnamed(fd, dir, name))
        return false;
    if (posix_calls.renameat(dir, name, dir, base) != 0)
        return false;
    name[0] = '\0';
    return true;
}

// The copy itself; on failure errno is that of the first failing call.
bool copy_file(const char *source, const char *destination, bool replace)
{
    int source_fd = -1, dir_fd = -1, temporary_fd = -1;
    char temporary[64] = "";
    bool ok = false;
    int error = 0;
    static char directory[PATH_MAX];
    const char *base = nullptr;
    struct stat info;
    struct timespec times[2];

    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    source_fd = open_retrying(AT_FDCWD, source, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (source_fd < 0)
        goto failed;
    if (posix_calls.fstat(source_fd, &info) != 0)
        goto failed;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
        goto failed;
    }
    if (!split_path(destination, directory, &base) || base[0] == '\0') {
        errno = ENAMETOOLONG;
        if (base != nullptr && base[0] == '\0')
            errno = EISDIR;
        goto failed;
    }
    dir_fd = open_retrying(AT_FDCWD, directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir_fd < 0)
        goto failed;
    temporary_fd = open_temporary(dir_fd, temporary);
    if (temporary_fd < 0)
        goto failed;
    if (!copy_content(source_fd, temporary_fd, info.st_dev, info.st_size, info.st_blocks))
        goto failed;
    times[0] = info.st_atim;
    times[1] = info.st_mtim;
    if (posix_calls.fchmod(temporary_fd, info.st_mode & 07777) != 0 || posix_calls.futimens(temporary_fd, times) != 0)
        goto failed;
    // fsync, not fdatasync: the mode and times are part of the copy.
    if (posix_calls.fsync(temporary_fd) != 0)
        goto failed;
    if (!publish(temporary_fd, dir_fd, temporary, base, replace, source, info))
        goto failed;
    if (posix_calls.fsync(dir_fd) != 0)
        goto failed;
    ok = true;

failed:
    if (!ok)
        error = errno;
    if (temporary[0] != '\0')
        posix_calls.unlinkat(dir_fd, temporary, 0);
    if (temporary_fd >= 0 && close_checked(temporary_fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (dir_fd >= 0)
        close_checked(dir_fd);
    if (source_fd >= 0)
        close_checked(source_fd);
    if (!ok)
        errno = error;
    return ok;
}

} // namespace

BOOL WINAPI CopyFileA(LPCSTR source, LPCSTR destination, BOOL fail_if_exists)
{
    if (copy_file(source, destination, fail_if_exists == FALSE))
        return TRUE;
    set_last_error_from_errno(errno);
    return FALSE;
}
