// Starting the built program as a user would, for tests that watch it from
// outside: in a directory, without a terminal, optionally as an
// unprivileged user.
#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

struct started_program {
    pid_t pid;
    int error_output; // read end of its standard error
};

// Starts the installer in directory with standard input and output on
// /dev/null; argv0 is what it is started as. With as_nobody it runs as the
// user nobody, group nogroup, without supplementary groups.
started_program start_program(const std::filesystem::path &directory, const std::string &argv0,
                              bool as_nobody = false);

// Waits for the program to end; its exit status, 128 + the signal that
// killed it, or -1 when it does not end within a minute (it is then killed).
int wait_for_program(pid_t pid);

// Starts the program, reads all it writes to standard error, waits for it.
struct program_result {
    int status;
    std::string error_output;
};
program_result run_program(const std::filesystem::path &directory, bool as_nobody = false);

// The unprivileged user and group programs run as with as_nobody.
uid_t nobody_uid();
gid_t nogroup_gid();

// The path of the built program.
extern const char *const installer_program;
