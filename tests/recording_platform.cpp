#include "recording_platform.h"

#include "win32.h"

#include <cstring>

platform_script script;
std::vector<std::string> recorded_calls;

namespace {

DWORD last_error;

struct search {
    const std::vector<recorded_entry> *entries;
    size_t next;
} the_search;

void deliver(const recorded_entry &entry, LPWIN32_FIND_DATAA data)
{
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = entry.attributes;
    strncpy(data->cFileName, entry.name.c_str(), sizeof data->cFileName - 1);
}

} // namespace

DWORD WINAPI GetLastError(void) { return last_error; }
void WINAPI SetLastError(DWORD error) { last_error = error; }

DWORD WINAPI GetCurrentDirectoryA(DWORD limit, LPSTR buffer)
{
    recorded_calls.push_back("GetCurrentDirectoryA(" + std::to_string(limit) + ")");
    if (!script.working_directory_readable) {
        last_error = ERROR_ACCESS_DENIED;
        return 0;
    }
    if (script.working_directory.size() + 1 > limit)
        return static_cast<DWORD>(script.working_directory.size() + 1);
    strcpy(buffer, script.working_directory.c_str());
    return static_cast<DWORD>(script.working_directory.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    bool entered = path == script.working_directory || script.enterable.count(path) > 0;
    recorded_calls.push_back(std::string("SetCurrentDirectoryA(") + path + ") = " + (entered ? "1" : "0"));
    return entered ? TRUE : FALSE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    recorded_calls.push_back(std::string("CreateDirectoryA(") + path + (security ? ", security)" : ", null)"));
    return TRUE;
}

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    recorded_calls.push_back(std::string("FindFirstFileA(") + pattern + ")");
    the_search.entries = strcmp(pattern, "*.h") == 0 ? &script.headers : &script.libraries;
    the_search.next = 0;
    if (the_search.entries->empty()) {
        last_error = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    deliver((*the_search.entries)[the_search.next++], data);
    return &the_search;
}

BOOL WINAPI FindNextFileA(HANDLE, LPWIN32_FIND_DATAA data)
{
    bool more = the_search.next < the_search.entries->size();
    recorded_calls.push_back(std::string("FindNextFileA = ") + (more ? "1" : "0"));
    if (!more) {
        last_error = ERROR_NO_MORE_FILES;
        return FALSE;
    }
    deliver((*the_search.entries)[the_search.next++], data);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE)
{
    recorded_calls.push_back("FindClose");
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR source, LPCSTR destination, BOOL fail_if_exists)
{
    bool fails = script.failing_copies.count(source) > 0;
    recorded_calls.push_back(std::string("CopyFileA(") + source + ", " + destination + ", " +
                             std::to_string(fail_if_exists) + ") = " + (fails ? "0" : "1"));
    return fails ? FALSE : TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR name)
{
    recorded_calls.push_back(std::string("DeleteFileA(") + name + ")");
    return TRUE;
}
