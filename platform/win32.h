// The Win32 operations the installer and the notice use, and the one
// platform text they need (the path separator).
//
// On Windows this is <windows.h> itself. Elsewhere it declares the same
// names with the same signatures; platform/posix_*.cpp provide them.
#pragma once

#ifdef _WIN32

#include <windows.h>

#define PLATFORM_SEPARATOR "\\"

#else

#include <cstdint>

#define PLATFORM_SEPARATOR "/"

#define WINAPI
#define WINAPIV
#define FALSE 0
#define TRUE 1
#define MAX_PATH 260

typedef int BOOL;
typedef unsigned int DWORD;
typedef unsigned int UINT;
typedef void *HANDLE;
typedef void *HWND;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef struct HINSTANCE__ *HINSTANCE;
typedef struct _SECURITY_ATTRIBUTES *LPSECURITY_ATTRIBUTES;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400u

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_TOO_MANY_OPEN_FILES 4u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_WRITE_PROTECT 19u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_SHARING_VIOLATION 32u
#define ERROR_NOT_SUPPORTED 50u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_DIR_NOT_EMPTY 145u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_FILENAME_EXCED_RANGE 206u
#define ERROR_DIRECTORY 267u
#define ERROR_CANT_RESOLVE_FILENAME 1921u
#define ERROR_IO_DEVICE 1117u

#define MB_OK 0x00000000u
#define MB_ICONWARNING 0x00000030u
#define IDOK 1

#define SW_SHOWDEFAULT 10

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// The thread's last error, as Win32 keeps it. Every operation below that
// fails sets it; none clears it on success, except where noted.
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);

// Writes the working directory and its NUL into buffer when it fits in
// limit characters, and returns its length without the NUL. When it does
// not fit, writes nothing and returns the size needed, NUL included.
// Returns 0 when the working directory cannot be read.
DWORD WINAPI GetCurrentDirectoryA(DWORD limit, LPSTR buffer);

// Makes path the working directory and returns nonzero; returns 0 and
// leaves the working directory as it was when path cannot be entered.
BOOL WINAPI SetCurrentDirectoryA(LPCSTR path);

// Creates the directory path; nonzero when it was created. Fails with
// ERROR_ALREADY_EXISTS when path exists, whatever it is.
BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);

// Starts a search of the directory named by pattern's directory part (the
// working directory when it has none) for the names that match its last
// part, wildcards * and ?, without regard to letter case. "." and ".." are
// never delivered. Fills data with the first match and returns the search;
// returns INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing
// matches, with another error when the directory cannot be read.
HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);

// Fills data with the next match and returns nonzero; returns 0 with
// ERROR_NO_MORE_FILES at the end, with another error when reading failed.
BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data);

// Ends a search that FindFirstFileA started.
BOOL WINAPI FindClose(HANDLE search);

// Copies the regular file source (a link is followed) to destination and
// returns nonzero only when the whole copy is on disk under that name. The
// destination appears whole or not at all: a failed copy leaves no
// partial or temporary file and leaves an existing destination as it was.
// With fail_if_exists nonzero, an existing destination is an error.
BOOL WINAPI CopyFileA(LPCSTR source, LPCSTR destination, BOOL fail_if_exists);

// Removes the file name (a link itself, not its target); fails on a
// directory.
BOOL WINAPI DeleteFileA(LPCSTR name);

// The process's command line: its arguments joined by single spaces, the
// program as it was started first; an argument that contains white space
// stands in double quotes. Lives as long as the process.
LPSTR WINAPI GetCommandLineA(void);

// Shows text under caption with an OK button and returns IDOK once the
// user dismissed it; see platform/posix_message_box.cpp for the forms.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

// Formats like printf into buffer, which must hold 1025 characters: at
// most 1024 are written, then a NUL. Returns the number written.
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));

// Compares two texts without regard to letter case: less than, equal to
// or greater than zero as first sorts before, with or after second.
int WINAPI lstrcmpiA(LPCSTR first, LPCSTR second);

// The program's entry, provided by the program and called by the platform.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_tail, int show);

#endif
