// The installer run on Windows' own file operations (Wine's kernel32 here).
// The box is the real one; with no display it returns at once, so these
// tests look at the exit status and the tree. The box itself is checked
// end to end under a display by end_to_end.sh.
#include "kit.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

class WindowsRun : public ::testing::Test {
protected:
    int run() { return run_installer_in(kit.root()); }
    Kit kit;
};

TEST_F(WindowsRun, EmptyDirectoryGetsBothSubdirectories)
{
    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "LIB/"));
}

// y.libx matters here: Windows (and Wine) match "*.lib" against its short
// name Y~1.LIB too, and the installer must leave it.
TEST_F(WindowsRun, MovesMatchingFilesWithoutRegardToCaseAndLeavesTheRest)
{
    for (const char *name : {"zovik.h", "A.H", "x.Lib", "x.hpp", "y.libx", "notes.txt"})
        kit.write(name, std::string("content of ") + name);
    kit.write("INCLUDE/zovik.h", "old");
    kit.write("INCLUDE/other.h", "already installed");
    fs::create_directory(kit / "dir.h");

    EXPECT_EQ(run(), 0);
    EXPECT_THAT(kit.tree(), ElementsAre("INCLUDE/", "INCLUDE/A.H", "INCLUDE/other.h", "INCLUDE/zovik.h", "LIB/",
                                        "LIB/x.Lib", "dir.h/", "notes.txt", "x.hpp", "y.libx"));
    EXPECT_EQ(kit.read("INCLUDE/zovik.h"), "content of zovik.h");
    EXPECT_EQ(kit.read("INCLUDE/other.h"), "already installed");

    EXPECT_EQ(run(), 0); // a second run moves nothing
    EXPECT_EQ(kit.tree().size(), 10u);
}

TEST_F(WindowsRun, LargeLibraryArrivesByteExact)
{
    std::string library = binary_content(3 * 1024 * 1024 + 1, 5);
    kit.write("big.lib", library);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(kit.read("LIB/big.lib"), library);
    EXPECT_FALSE(fs::exists(kit / "big.lib"));
}

// CopyFileA fails into a regular file named INCLUDE: the headers stay.
TEST_F(WindowsRun, SourceStaysWhenItsCopyFails)
{
    kit.write("INCLUDE", "not a directory");
    kit.write("a.h", "header a");
    kit.write("zovik.lib", "library");
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(kit.read("a.h"), "header a");
    EXPECT_EQ(kit.read("INCLUDE"), "not a directory");
    EXPECT_EQ(kit.read("LIB/zovik.lib"), "library");
}

// DeleteFileA refuses a read-only file: its copy is installed, it stays,
// and it counts as moved.
TEST_F(WindowsRun, ReadOnlySourceIsCopiedAndStays)
{
    kit.write("locked.h", "header");
    ASSERT_TRUE(SetFileAttributesA((kit / "locked.h").string().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(kit.read("INCLUDE/locked.h"), "header");
    EXPECT_TRUE(fs::exists(kit / "locked.h"));
    SetFileAttributesA((kit / "locked.h").string().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((kit / "INCLUDE/locked.h").string().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsRun, SearchInAMissingDirectoryIsNotAnEmptyMatch)
{
    // move_matching_files tells "nothing matches" from "cannot read" by
    // this error; Windows must keep the two apart.
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((kit / "missing" / "*.h").string().c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA((kit / "*.h").string().c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

} // namespace
