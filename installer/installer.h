// The installer's run and its shared path state.
#pragma once

#include "win32.h"

// Capacities of the path buffers. The working directory is read with a
// limit of 499, so it holds at most 498 characters and the NUL.
constexpr int working_dir_capacity = 500;
constexpr DWORD working_dir_read_limit = 499;
constexpr int dest_path_capacity = 512;

// The working directory as read at the start of the run; the working
// directory is set back to it after every probe of a subdirectory.
extern char working_dir[working_dir_capacity];
// A copy of working_dir: the prefix of every destination path.
extern char install_root[working_dir_capacity];
// The destination under composition: install_root, subdirectory text,
// separator, file name.
extern char dest_path[dest_path_capacity];
// Where in dest_path each file name is written, just after the separator.
extern char *dest_tail;

// move_matching_files' result when the working directory could not be
// re-entered or read, so that an unknown number of files was not moved.
constexpr int move_directory_unreadable = -1;

// Moves every regular file of the working directory that matches pattern
// ('*' followed by the text a name ends in) into install_root followed by subdirectory (created when it cannot be
// entered), replacing a file of the same name there. A source is deleted
// only once its copy succeeded. Returns how many matching files were not
// moved, or move_directory_unreadable. Needs working_dir and install_root.
int move_matching_files(const char *pattern, const char *subdirectory);
