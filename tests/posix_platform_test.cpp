// The POSIX platform layer against the contracts of platform/win32.h.
#include "fault_injection.h"
#include "kit.h"
#include "posix_entry.h"
#include "posix_syscalls.h"

#include "win32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace {

// Runs body with the working directory at directory.
template <typename Body> void inside(const fs::path &directory, Body body)
{
    fs::path before = fs::current_path();
    fs::current_path(directory);
    body();
    fs::current_path(before);
}

TEST(GetCurrentDirectory, KeepsTheWin32Contract)
{
    Kit kit;
    inside(kit.root(), [&] {
        std::string cwd = kit.root().string();
        char buffer[600];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), cwd.size()); // length written
        EXPECT_EQ(std::string(buffer), cwd);

        memset(buffer, '#', sizeof buffer);
        DWORD limit = static_cast<DWORD>(cwd.size()); // one short: the NUL does not fit
        EXPECT_EQ(GetCurrentDirectoryA(limit, buffer), cwd.size() + 1); // size needed, NUL included
        EXPECT_EQ(buffer[0], '#');                                       // nothing written
        EXPECT_EQ(GetCurrentDirectoryA(limit + 1, buffer), cwd.size());

        fault_scope faults;
        fail_nth_call(syscall_kind::getcwd, 1, EACCES);
        EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    });
}

TEST(SetAndCreateDirectory, EnterOnlyDirectoriesAndCreateOnlyNewOnes)
{
    Kit kit;
    kit.write("file", "x");
    inside(kit.root(), [&] {
        EXPECT_FALSE(SetCurrentDirectoryA("missing"));
        EXPECT_FALSE(SetCurrentDirectoryA("file"));
        EXPECT_EQ(fs::current_path(), kit.root());
        EXPECT_TRUE(CreateDirectoryA("made", nullptr));
        EXPECT_FALSE(CreateDirectoryA("made", nullptr));
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
        EXPECT_FALSE(CreateDirectoryA("file", nullptr));
        EXPECT_TRUE(SetCurrentDirectoryA("made"));
        EXPECT_EQ(fs::current_path(), kit / "made");
    });
}

TEST(DeleteFile, RemovesFilesAndLinksButNotDirectories)
{
    Kit kit;
    kit.write("file.h", "x");
    kit.write("target", "kept");
    fs::create_symlink("target", kit / "link.h");
    fs::create_directory(kit / "dir.h");
    inside(kit.root(), [&] {
        EXPECT_TRUE(DeleteFileA("file.h"));
        EXPECT_TRUE(DeleteFileA("link.h"));
        EXPECT_FALSE(DeleteFileA("dir.h"));
        EXPECT_FALSE(DeleteFileA("missing.h"));
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    });
    EXPECT_THAT(kit.tree(), ElementsAre("dir.h/", "target"));
}

// Every entry a search delivers, with its attributes.
std::map<std::string, DWORD> search(const char *pattern)
{
    std::map<std::string, DWORD> found;
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE)
        return found;
    do
        found[data.cFileName] = data.dwFileAttributes;
    while (FindNextFileA(handle, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(handle));
    return found;
}

TEST(FindFiles, MatchesWithoutCaseAndMarksWhatIsNotAFile)
{
    Kit kit;
    for (const char *name : {"a.h", "B.H", "c.hpp", "d.h.txt", ".h", "h"})
        kit.write(name, "x");
    fs::create_directory(kit / "dir.h");
    ASSERT_EQ(mkfifo((kit / "pipe.h").c_str(), 0644), 0);
    fs::create_symlink("a.h", kit / "link.h");
    fs::create_symlink("missing", kit / "dangling.h");
    fs::create_symlink("dir.h", kit / "dirlink.h");
    kit.write("ro.h", "x");
    fs::permissions(kit / "ro.h", fs::perms::owner_read);

    inside(kit.root(), [&] {
        auto found = search("*.h");
        EXPECT_EQ(found.size(), 9u);
        EXPECT_EQ(found["a.h"], FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(found["B.H"], FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(found[".h"], FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(found["dir.h"], FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(found["pipe.h"], FILE_ATTRIBUTE_DEVICE);
        EXPECT_EQ(found["link.h"], FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(found["dangling.h"], FILE_ATTRIBUTE_REPARSE_POINT);
        EXPECT_EQ(found["dirlink.h"], FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(found["ro.h"], FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(search("*").count("."), 0u);
        EXPECT_EQ(search("*").count(".."), 0u);
        EXPECT_THAT(search("dir.h/*"), ::testing::IsEmpty());
    });

    WIN32_FIND_DATAA data;
    inside(kit.root(), [&] {
        EXPECT_EQ(FindFirstFileA("*.lib", &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(FindFirstFileA("missing/*.lib", &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    });
}

TEST(FindFiles, ReadErrorIsNotTheEndOfTheSearch)
{
    Kit kit;
    kit.write("a.h", "x");
    kit.write("b.h", "x");
    inside(kit.root(), [&] {
        fault_scope faults;
        WIN32_FIND_DATAA data;
        HANDLE handle = FindFirstFileA("*.h", &data);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        fail_nth_call(syscall_kind::readdir, calls_of(syscall_kind::readdir) + 1, EIO);
        EXPECT_FALSE(FindNextFileA(handle, &data));
        EXPECT_NE(GetLastError(), ERROR_NO_MORE_FILES);
        FindClose(handle);
    });
}

// Names in the destination directory that are not the destination: a
// temporary file left behind would show here.
std::set<std::string> leftovers(const fs::path &directory, const std::string &destination)
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(directory))
        if (entry.path().filename() != destination)
            names.insert(entry.path().filename().string());
    return names;
}

TEST(CopyFile, ReplacesTheDestinationWholeAndLeavesNothingElse)
{
    Kit kit;
    kit.write("src", binary_content(300000, 1));
    kit.write("out/dst", "old");
    kit.write("out/other", "other");
    inside(kit.root(), [&] {
        EXPECT_TRUE(CopyFileA("src", (kit / "out/dst").c_str(), FALSE));
        EXPECT_EQ(kit.read("out/dst"), binary_content(300000, 1));
        EXPECT_EQ(kit.read("src"), binary_content(300000, 1));
        EXPECT_EQ(leftovers(kit / "out", "dst"), std::set<std::string>{"other"});

        kit.write("src", "new");
        EXPECT_FALSE(CopyFileA("src", (kit / "out/dst").c_str(), TRUE));
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
        EXPECT_EQ(kit.read("out/dst"), binary_content(300000, 1));
        EXPECT_TRUE(CopyFileA("src", (kit / "out/fresh").c_str(), TRUE));
        EXPECT_EQ(kit.read("out/fresh"), "new");
    });
}

// A file system without unnamed files: the copy goes through a named
// temporary file, which is never left behind.
TEST(CopyFile, WorksThroughANamedTemporaryFileWhereThereIsNoUnnamedOne)
{
    Kit kit;
    kit.write("src", binary_content(50000, 4));
    kit.write("out/existing", "old");
    fault_scope faults;
    posix_calls.openat = [](int dir, const char *path, int flags, mode_t mode) {
        if ((flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return posix_default_calls.openat(dir, path, flags, mode);
    };
    inside(kit.root(), [&] {
        EXPECT_TRUE(CopyFileA("src", (kit / "out/fresh").c_str(), FALSE));
        EXPECT_TRUE(CopyFileA("src", (kit / "out/existing").c_str(), FALSE));
        kit.write("src", "newer");
        EXPECT_FALSE(CopyFileA("src", (kit / "out/fresh").c_str(), TRUE));
    });
    EXPECT_EQ(kit.read("out/fresh"), binary_content(50000, 4));
    EXPECT_EQ(kit.read("out/existing"), binary_content(50000, 4));
    EXPECT_THAT(kit.tree(), ElementsAre("out/", "out/existing", "out/fresh", "src"));
}

TEST(CopyFile, RefusesWhatIsNotARegularFileWithoutBlocking)
{
    Kit kit;
    ASSERT_EQ(mkfifo((kit / "pipe").c_str(), 0644), 0); // opening it to read would wait for a writer
    fs::create_directory(kit / "dir");
    fs::create_symlink("missing", kit / "dangling");
    fs::create_symlink("loop", kit / "loop");
    fs::create_directory(kit / "out");
    inside(kit.root(), [&] {
        for (const char *source : {"pipe", "dir", "dangling", "loop", "missing", "/dev/null"}) {
            SCOPED_TRACE(source);
            EXPECT_FALSE(CopyFileA(source, (kit / "out/dst").c_str(), FALSE));
            EXPECT_FALSE(fs::exists(kit / "out/dst"));
        }
    });
    EXPECT_TRUE(fs::is_empty(kit / "out"));
}

// Copying a file onto its own name would replace it and leave the caller
// to delete the only copy.
TEST(CopyFile, RefusesToCopyAFileOntoItself)
{
    Kit kit;
    kit.write("a.h", "only copy");
    fs::create_directory_symlink(".", kit / "INCLUDE");
    inside(kit.root(), [&] {
        EXPECT_FALSE(CopyFileA("a.h", (kit / "INCLUDE/a.h").c_str(), FALSE));
        EXPECT_FALSE(CopyFileA("a.h", "a.h", FALSE));
    });
    EXPECT_EQ(kit.read("a.h"), "only copy");
    // Another name of the same file is a different entry: that copy is fine.
    fs::create_hard_link(kit / "a.h", kit / "b.h");
    inside(kit.root(), [&] { EXPECT_TRUE(CopyFileA("a.h", "b.h", FALSE)); });
    EXPECT_EQ(kit.read("b.h"), "only copy");
}

TEST(CopyFile, KeepsHolesOfASparseFile)
{
    Kit kit;
    {
        int fd = open((kit / "sparse").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(pwrite(fd, "middle", 6, 64 << 20), 6);
        ASSERT_EQ(ftruncate(fd, 128 << 20), 0);
        close(fd);
    }
    inside(kit.root(), [&] { EXPECT_TRUE(CopyFileA("sparse", "copy", FALSE)); });
    struct stat source, copy;
    ASSERT_EQ(stat((kit / "sparse").c_str(), &source), 0);
    ASSERT_EQ(stat((kit / "copy").c_str(), &copy), 0);
    EXPECT_EQ(copy.st_size, source.st_size);
    EXPECT_LE(copy.st_blocks, source.st_blocks + 64);
    int fd = open((kit / "copy").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char head[8] = {}, middle[8] = {}, gap[8] = {1};
    EXPECT_EQ(pread(fd, head, 4, 0), 4);
    EXPECT_EQ(pread(fd, middle, 6, 64 << 20), 6);
    EXPECT_EQ(pread(fd, gap, 8, 32 << 20), 8);
    close(fd);
    EXPECT_STREQ(head, "head");
    EXPECT_STREQ(middle, "middle");
    EXPECT_EQ(std::string(gap, 8), std::string(8, '\0'));
}

TEST(CopyFile, FallsBackToReadAndWriteWhenTheKernelCannotCopy)
{
    Kit kit;
    kit.write("src", binary_content(400000, 9));
    inside(kit.root(), [&] {
        fault_scope faults;
        fail_nth_call(syscall_kind::copy_file_range, 1, EXDEV);
        limit_transfers(1000); // and reads and writes come up short
        EXPECT_TRUE(CopyFileA("src", "dst", FALSE));
        EXPECT_GE(calls_of(syscall_kind::write), 400);
    });
    EXPECT_EQ(kit.read("dst"), binary_content(400000, 9));
}

struct command_line_case {
    std::vector<std::string> arguments;
    const char *command_line;
    const char *tail;
};

TEST(CommandLine, JoinsArgumentsQuotingThoseWithWhiteSpace)
{
    for (const command_line_case &c : std::vector<command_line_case>{
             {{"./zovik-install"}, "./zovik-install", ""},
             {{"/opt/my kits/zovik-install", "-v"}, "\"/opt/my kits/zovik-install\" -v", "-v"},
             {{"zovik-install", "a b", "", "c"}, "zovik-install \"a b\" \"\" c", "\"a b\" \"\" c"},
             {{"zovik-install", "tab\there"}, "zovik-install \"tab\there\"", "\"tab\there\""},
         }) {
        std::vector<char *> argv;
        for (const std::string &argument : c.arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        keep_arguments(static_cast<int>(argv.size()), argv.data());
        EXPECT_STREQ(GetCommandLineA(), c.command_line);
        EXPECT_STREQ(command_tail(), c.tail);
    }
}

} // namespace
