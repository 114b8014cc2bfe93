#include "fault_injection.h"

#include "posix_syscalls.h"

#include <array>
#include <cerrno>
#include <type_traits>

namespace {

constexpr size_t kinds = static_cast<size_t>(syscall_kind::count);

std::array<int, kinds> counts{};
std::array<int, kinds> fail_at{};
std::array<int, kinds> fail_error{};
std::array<bool, kinds> interrupt{};
std::array<bool, kinds> interrupted_once{};
size_t transfer_limit = 0;

// True when this use of kind is to fail; errno is then set.
bool should_fail(syscall_kind kind)
{
    size_t k = static_cast<size_t>(kind);
    if (interrupt[k]) {
        interrupted_once[k] = !interrupted_once[k];
        if (interrupted_once[k]) {
            errno = EINTR;
            return true;
        }
    }
    ++counts[k];
    if (counts[k] == fail_at[k]) {
        errno = fail_error[k];
        return true;
    }
    return false;
}

size_t limited(size_t size) { return transfer_limit != 0 && size > transfer_limit ? transfer_limit : size; }

template <syscall_kind K, auto Member> struct hook;

template <syscall_kind K, typename R, typename... A, R (*posix_syscall_table::*Member)(A...)>
struct hook<K, Member> {
    static R call(A... arguments)
    {
        if (should_fail(K)) {
            if constexpr (std::is_pointer_v<R>)
                return nullptr;
            else
                return static_cast<R>(-1);
        }
        return (posix_default_calls.*Member)(arguments...);
    }
};

ssize_t limited_read(int fd, void *buffer, size_t size)
{
    if (should_fail(syscall_kind::read))
        return -1;
    return posix_default_calls.read(fd, buffer, limited(size));
}

ssize_t limited_write(int fd, const void *buffer, size_t size)
{
    if (should_fail(syscall_kind::write))
        return -1;
    return posix_default_calls.write(fd, buffer, limited(size));
}

ssize_t limited_copy(int in, off_t *in_offset, int out, off_t *out_offset, size_t size, unsigned flags)
{
    if (should_fail(syscall_kind::copy_file_range))
        return -1;
    return posix_default_calls.copy_file_range(in, in_offset, out, out_offset, limited(size), flags);
}

// close and closedir release the descriptor even when they report an
// error, as Linux does: their failure comes after the real call.
template <syscall_kind K, auto Member> struct releasing_hook;

template <syscall_kind K, typename H, int (*posix_syscall_table::*Member)(H)> struct releasing_hook<K, Member> {
    static int call(H handle)
    {
        bool fail = should_fail(K);
        int error = errno;
        int result = (posix_default_calls.*Member)(handle);
        if (fail) {
            errno = error;
            return -1;
        }
        return result;
    }
};

} // namespace

const char *syscall_name(syscall_kind kind)
{
    static const char *const names[] = {
        "openat", "close", "read", "write", "copy_file_range", "ficlone", "lseek", "ftruncate",
        "fstat", "fstatat", "fchmod", "futimens", "fsync", "linkat", "renameat",
        "unlinkat", "mkdirat", "chdir", "getcwd", "opendir", "readdir", "closedir"};
    static_assert(sizeof names / sizeof names[0] == kinds);
    return names[static_cast<size_t>(kind)];
}

void install_fault_hooks()
{
    counts.fill(0);
    fail_at.fill(0);
    interrupt.fill(false);
    interrupted_once.fill(false);
    transfer_limit = 0;
    using T = posix_syscall_table;
    using K = syscall_kind;
    posix_calls = {
        hook<K::openat, &T::openat>::call,       releasing_hook<K::close, &T::close>::call,
        limited_read,                            limited_write,
        limited_copy,                            hook<K::ficlone, &T::ficlone>::call,
        hook<K::lseek, &T::lseek>::call,         hook<K::ftruncate, &T::ftruncate>::call,
        hook<K::fstat, &T::fstat>::call,         hook<K::fstatat, &T::fstatat>::call,
        hook<K::fchmod, &T::fchmod>::call,       hook<K::futimens, &T::futimens>::call,
        hook<K::fsync, &T::fsync>::call,
        hook<K::linkat, &T::linkat>::call,       hook<K::renameat, &T::renameat>::call,
        hook<K::unlinkat, &T::unlinkat>::call,   hook<K::mkdirat, &T::mkdirat>::call,
        hook<K::chdir, &T::chdir>::call,         hook<K::getcwd, &T::getcwd>::call,
        hook<K::opendir, &T::opendir>::call,     hook<K::readdir, &T::readdir>::call,
        releasing_hook<K::closedir, &T::closedir>::call,
    };
}

void remove_fault_hooks()
{
    posix_calls = posix_default_calls;
    fail_at.fill(0);
    interrupt.fill(false);
    transfer_limit = 0;
}

void fail_nth_call(syscall_kind kind, int nth, int error)
{
    fail_at[static_cast<size_t>(kind)] = nth;
    fail_error[static_cast<size_t>(kind)] = error;
}

int calls_of(syscall_kind kind) { return counts[static_cast<size_t>(kind)]; }

void limit_transfers(size_t limit) { transfer_limit = limit; }

void interrupt_every_call(syscall_kind kind) { interrupt[static_cast<size_t>(kind)] = true; }
