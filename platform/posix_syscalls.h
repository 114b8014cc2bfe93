// Every system call the POSIX layer makes goes through posix_calls, so that
// a test can replace one entry (for example to fail its Nth use with a
// chosen errno) and put the original back afterwards. Production code pays
// one indirect call. Each entry has the system call's own contract; the
// wrappers add nothing but the variadic-free signature.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

struct posix_syscall_table {
    int (*openat)(int dir, const char *path, int flags, mode_t mode);
    int (*close)(int fd);
    ssize_t (*read)(int fd, void *buffer, size_t size);
    ssize_t (*write)(int fd, const void *buffer, size_t size);
    ssize_t (*copy_file_range)(int in, off_t *in_offset, int out, off_t *out_offset, size_t size,
                               unsigned flags);
    int (*ficlone)(int destination, int source);
    off_t (*lseek)(int fd, off_t offset, int whence);
    int (*ftruncate)(int fd, off_t size);
    int (*fstat)(int fd, struct stat *info);
    int (*fstatat)(int dir, const char *path, struct stat *info, int flags);
    int (*fchmod)(int fd, mode_t mode);
    int (*futimens)(int fd, const struct timespec times[2]);
    int (*fsync)(int fd);
    int (*linkat)(int from_dir, const char *from, int to_dir, const char *to, int flags);
    int (*renameat)(int from_dir, const char *from, int to_dir, const char *to);
    int (*unlinkat)(int dir, const char *path, int flags);
    int (*mkdirat)(int dir, const char *path, mode_t mode);
    int (*chdir)(const char *path);
    char *(*getcwd)(char *buffer, size_t size);
    DIR *(*opendir)(const char *path);
    struct dirent *(*readdir)(DIR *dir);
    int (*closedir)(DIR *dir);
};

extern posix_syscall_table posix_calls;

// The table as the process starts, for tests to restore from.
extern const posix_syscall_table posix_default_calls;

// Records errno as the thread's last Win32 error.
void set_last_error_from_errno(int error);
