// The installer run on real directories: what a user sees afterwards.
#include "fault_injection.h"
#include "kit.h"
#include "ui_stand_in.h"

#include "win32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char success[] = "ZOVIK successfully installed!";
const char unreadable[] = "ZOVIK installation failed: the current directory could not be read.";

class InstallerRun : public ::testing::Test {
protected:
    void SetUp() override { shown_boxes.clear(); }

    int run() { return run_installer_in(kit.root()); }

    // The one box the run showed.
    shown_box notice() const
    {
        EXPECT_EQ(shown_boxes.size(), 1u);
        return shown_boxes.empty() ? shown_box{} : shown_boxes.back();
    }

    Kit kit;
};

TEST_F(InstallerRun, EmptyDirectoryGetsBothSubdirectoriesAndTheSuccessNotice)
{
    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "LIB/"));
    EXPECT_EQ(notice().text, success);
    EXPECT_EQ(notice().style, MB_OK);
    EXPECT_EQ(notice().caption, "zovik-install");
}

TEST_F(InstallerRun, MovesMatchingFilesWithoutRegardToCaseAndLeavesTheRest)
{
    for (const char *name : {"zovik.h", "A.H", "x.Lib", "zovik.lib", "x.hpp", "y.libx", "notes.txt", "h", "lib"})
        kit.write(name, std::string("content of ") + name);
    fs::create_directory(kit / "x.h"); // a directory that matches stays
    kit.write("x.h/inner.h", "inside");

    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "INCLUDE/A.H", "INCLUDE/zovik.h", "LIB/", "LIB/x.Lib",
                                        "LIB/zovik.lib", "h", "lib", "notes.txt", "x.h/", "x.h/inner.h", "x.hpp",
                                        "y.libx"));
    EXPECT_EQ(kit.read("INCLUDE/A.H"), "content of A.H");
    EXPECT_EQ(kit.read("LIB/x.Lib"), "content of x.Lib");
    EXPECT_EQ(notice().text, success);
}

TEST_F(InstallerRun, ExistingSubdirectoriesAreUsedAndSameNamedFilesReplaced)
{
    kit.write("INCLUDE/zovik.h", "old header");
    kit.write("INCLUDE/other.h", "already installed");
    kit.write("LIB/nested.lib", "already installed");
    kit.write("zovik.h", "new header");

    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "INCLUDE/other.h", "INCLUDE/zovik.h", "LIB/", "LIB/nested.lib"));
    EXPECT_EQ(kit.read("INCLUDE/zovik.h"), "new header");
    EXPECT_EQ(kit.read("INCLUDE/other.h"), "already installed");
}

TEST_F(InstallerRun, LargeLibraryArrivesByteExactWithItsModeAndModificationTime)
{
    std::string library = binary_content(5 * 1024 * 1024 + 3, 7);
    kit.write("big.lib", library);
    ASSERT_EQ(chmod((kit / "big.lib").c_str(), 0640), 0);
    struct timeval times[2] = {{1000000000, 250000}, {1234567890, 500000}};
    ASSERT_EQ(utimes((kit / "big.lib").c_str(), times), 0);

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(kit.read("LIB/big.lib"), library);
    struct stat info;
    ASSERT_EQ(stat((kit / "LIB/big.lib").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(info.st_mtim.tv_nsec, 500000000);
    EXPECT_FALSE(fs::exists(kit / "big.lib"));
}

TEST_F(InstallerRun, SecondRunMovesNothingAndShowsTheSameNotice)
{
    kit.write("zovik.h", "header");
    kit.write("zovik.lib", "library");
    ASSERT_EQ(run(), 0);
    auto after_first = kit.tree();

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(kit.tree(), after_first);
    ASSERT_EQ(shown_boxes.size(), 2u);
    EXPECT_EQ(shown_boxes[1].text, success);
}

// With INCLUDE a regular file every copy into it fails: deleting the
// sources anyway would lose the headers. A source is deleted only after its
// copy succeeded, and the notice says what was left.
TEST_F(InstallerRun, SourceStaysWhenItsCopyFails)
{
    kit.write("INCLUDE", "not a directory");
    kit.write("a.h", "header a");
    kit.write("b.h", "header b");
    kit.write("zovik.lib", "library");

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(kit.read("a.h"), "header a");
    EXPECT_EQ(kit.read("b.h"), "header b");
    EXPECT_EQ(kit.read("INCLUDE"), "not a directory");
    EXPECT_EQ(kit.read("LIB/zovik.lib"), "library");
    EXPECT_EQ(notice().text, "ZOVIK installation incomplete: 2 files could not be moved.");
    EXPECT_EQ(notice().style, MB_OK | MB_ICONWARNING);
    EXPECT_EQ(notice().caption, "zovik-install");
}

TEST_F(InstallerRun, DiskFullDuringACopyKeepsTheSourceAndSaysOneFile)
{
    kit.write("zovik.h", "header");
    kit.write("zovik.lib", binary_content(100000, 3));
    fault_scope faults;
    fail_nth_call(syscall_kind::copy_file_range, 2, ENOSPC); // the library's copy
    fail_nth_call(syscall_kind::write, 1, ENOSPC);           // and its fallback, were there one

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(kit.read("INCLUDE/zovik.h"), "header");
    EXPECT_EQ(kit.read("zovik.lib"), binary_content(100000, 3));
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "INCLUDE/zovik.h", "LIB/", "zovik.lib"));
    EXPECT_EQ(notice().text, "ZOVIK installation incomplete: 1 file could not be moved.");
}

// Copying a FIFO would block waiting for a writer, and a socket or a
// directory is no file to install: entries that are not regular files are
// skipped, and a skipped entry is no failure.
TEST_F(InstallerRun, EntriesThatAreNotRegularFilesAreSkipped)
{
    ASSERT_EQ(mkfifo((kit / "pipe.h").c_str(), 0644), 0);
    fs::create_directory(kit / "folder.lib");
    fs::create_directory_symlink(kit / "folder.lib", kit / "link-to-folder.h");
    kit.write("real.h", "header");

    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "INCLUDE/real.h", "LIB/", "folder.lib/", "link-to-folder.h",
                                        "pipe.h"));
    EXPECT_EQ(notice().text, success);
}

// The working directory is read into a buffer of 499: one that does not fit
// leaves no install root, and going on would put the files under the file
// system's root. Nothing is moved or created, and the run says so.
TEST_F(InstallerRun, WorkingDirectoryLongerThanTheBufferMovesNothing)
{
    struct Case {
        size_t length;
        int status;
    };
    for (Case c : {Case{498, 0}, Case{499, 1}, Case{700, 1}}) {
        SCOPED_TRACE(c.length);
        shown_boxes.clear();
        fs::path directory = kit.directory_of_length(c.length);
        ASSERT_EQ(directory.string().size(), c.length);
        std::ofstream(directory / "a.h") << "header"; // 498 + "/INCLUDE/a.h" = 510

        EXPECT_EQ(run_installer_in(directory), c.status);
        EXPECT_EQ(fs::exists(directory / "INCLUDE" / "a.h"), c.status == 0);
        EXPECT_EQ(fs::exists(directory / "a.h"), c.status != 0);
        EXPECT_EQ(fs::exists(directory / "LIB"), c.status == 0);
        EXPECT_EQ(notice().text, c.status == 0 ? success : unreadable);
        fs::remove_all(directory);
    }
}

TEST_F(InstallerRun, UnreadableWorkingDirectoryMovesNothing)
{
    fs::path gone = kit / "gone";
    fs::create_directory(gone);
    fs::path before = fs::current_path();
    fs::current_path(gone);
    fs::remove(gone); // getcwd now fails with ENOENT

    int status = WinMain(nullptr, nullptr, GetCommandLineA(), 10);
    fs::current_path(before);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(notice().text, unreadable);
    EXPECT_EQ(notice().style, MB_OK | MB_ICONWARNING);
    EXPECT_THAT(kit.tree(), IsEmpty());
}

// The destination path holds 511 characters: a file whose destination
// would be longer stays where it is and counts as not moved.
TEST_F(InstallerRun, FileWhoseDestinationPathDoesNotFitStays)
{
    fs::path directory = kit.directory_of_length(490);
    // "/INCLUDE/" makes 499 characters before the name.
    const std::string too_long = std::string(12, 't') + ".h";
    std::ofstream(directory / too_long) << "too long";   // 499 + 14 = 513 > 511
    std::ofstream(directory / "ab.h") << "short";        // 499 + 4 = 503
    std::ofstream(directory / "abcdefghij.h") << "edge"; // 499 + 12 = 511: fits exactly

    EXPECT_EQ(run_installer_in(directory), 1);
    EXPECT_TRUE(fs::exists(directory / "INCLUDE" / "ab.h"));
    EXPECT_TRUE(fs::exists(directory / "INCLUDE" / "abcdefghij.h"));
    EXPECT_TRUE(fs::exists(directory / too_long));
    EXPECT_EQ(notice().text, "ZOVIK installation incomplete: 1 file could not be moved.");
}

// A source that cannot be deleted after its copy was made counts as moved.
TEST_F(InstallerRun, SourceThatCannotBeDeletedCountsAsMoved)
{
    kit.write("zovik.h", "header");
    fault_scope faults;
    fail_nth_call(syscall_kind::unlinkat, 1, EACCES);

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(kit.read("INCLUDE/zovik.h"), "header");
    EXPECT_EQ(kit.read("zovik.h"), "header");
    EXPECT_EQ(notice().text, success);
}

// Reading the directory failing midway would end the enumeration as if it
// were complete; the run must not claim success then.
TEST_F(InstallerRun, DirectoryReadErrorIsNotReportedAsSuccess)
{
    kit.write("zovik.h", "header");
    kit.write("zovik.lib", "library");
    fault_scope faults;
    fail_nth_call(syscall_kind::opendir, 2, EACCES); // the search for libraries

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(kit.read("INCLUDE/zovik.h"), "header");
    EXPECT_EQ(kit.read("zovik.lib"), "library");
    EXPECT_EQ(notice().text, unreadable);
}

} // namespace

namespace {

// A working directory removed while the run goes on: the searches find no
// directory, which is not "nothing to move".
TEST_F(InstallerRun, WorkingDirectoryRemovedDuringTheRunIsNotSuccess)
{
    kit.write("zovik.h", "header");
    fault_scope faults;
    fail_nth_call(syscall_kind::opendir, 1, ENOENT);

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(kit.read("zovik.h"), "header");
    EXPECT_EQ(notice().text, unreadable);
}

} // namespace
