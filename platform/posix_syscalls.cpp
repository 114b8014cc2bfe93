// The real system calls behind posix_calls.
#include "posix_syscalls.h"

#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int sys_openat(int dir, const char *path, int flags, mode_t mode) { return openat(dir, path, flags, mode); }

ssize_t sys_copy_file_range(int in, off_t *in_offset, int out, off_t *out_offset, size_t size, unsigned flags)
{
    return copy_file_range(in, in_offset, out, out_offset, size, flags);
}

int sys_ficlone(int destination, int source) { return ioctl(destination, FICLONE, source); }

} // namespace

const posix_syscall_table posix_default_calls = {
    sys_openat, close,    read,    write,    sys_copy_file_range, sys_ficlone, lseek,
    ftruncate,  fstat,    fstatat, fchmod,   futimens,            fsync,       linkat,
    renameat,   unlinkat, mkdirat, chdir,    getcwd,              opendir,     readdir,
    closedir,
};

posix_syscall_table posix_calls = posix_default_calls;
