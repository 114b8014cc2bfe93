// Fault injection into the POSIX layer: replaces entries of posix_calls so
// that the Nth use of a kind of system call fails with a chosen errno, or
// so that reads, writes and copies move at most a few bytes at a time.
#pragma once

#include <string>

enum class syscall_kind {
    openat, close, read, write, copy_file_range, ficlone, lseek, ftruncate, fstat, fstatat, fchmod,
    futimens, fsync, linkat, renameat, unlinkat, mkdirat, chdir, getcwd, opendir, readdir,
    closedir, count
};

const char *syscall_name(syscall_kind kind);

// Routes every system call through the counters; counts start at zero.
void install_fault_hooks();
// Puts the real table back and forgets every fault.
void remove_fault_hooks();

// The nth use (from 1) of kind fails with error; earlier and later ones run.
void fail_nth_call(syscall_kind kind, int nth, int error);
// How often kind was used since the hooks were installed.
int calls_of(syscall_kind kind);
// Reads, writes and in-kernel copies move at most limit bytes a call.
void limit_transfers(size_t limit);
// Every use of kind fails with EINTR once before it runs.
void interrupt_every_call(syscall_kind kind);

// Installs the hooks for the scope of a test.
struct fault_scope {
    fault_scope() { install_fault_hooks(); }
    ~fault_scope() { remove_fault_hooks(); }
};
