// The order of platform calls of one run, against a recording stand-in.
#include "recording_platform.h"
#include "ui_stand_in.h"

#include "win32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

class CallOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = platform_script{};
        recorded_calls.clear();
        shown_boxes.clear();
    }

    int run() { return WinMain(nullptr, nullptr, nullptr, SW_SHOWDEFAULT); }
};

constexpr unsigned file = FILE_ATTRIBUTE_NORMAL;

TEST_F(CallOrder, OneRunProbesCreatesRestoresAndMovesHeadersBeforeLibraries)
{
    script.enterable = {"/kit/LIB"}; // INCLUDE is missing, LIB exists
    script.headers = {{"vector.h", file}, {"matrix.h", file}};
    script.libraries = {{"zovik.lib", file}};

    EXPECT_EQ(run(), 0);
    EXPECT_THAT(recorded_calls,
                ElementsAre("GetCurrentDirectoryA(499)",
                            "SetCurrentDirectoryA(/kit/INCLUDE) = 0",
                            "CreateDirectoryA(/kit/INCLUDE, null)",
                            "SetCurrentDirectoryA(/kit) = 1",
                            "FindFirstFileA(*.h)",
                            "CopyFileA(vector.h, /kit/INCLUDE/vector.h, 0) = 1",
                            "DeleteFileA(vector.h)",
                            "FindNextFileA = 1",
                            "CopyFileA(matrix.h, /kit/INCLUDE/matrix.h, 0) = 1",
                            "DeleteFileA(matrix.h)",
                            "FindNextFileA = 0",
                            "FindClose",
                            "SetCurrentDirectoryA(/kit/LIB) = 1",
                            "SetCurrentDirectoryA(/kit) = 1",
                            "FindFirstFileA(*.lib)",
                            "CopyFileA(zovik.lib, /kit/LIB/zovik.lib, 0) = 1",
                            "DeleteFileA(zovik.lib)",
                            "FindNextFileA = 0",
                            "FindClose"));
    ASSERT_EQ(shown_boxes.size(), 1u);
    EXPECT_EQ(shown_boxes[0].text, "ZOVIK successfully installed!");
}

TEST_F(CallOrder, NothingMatchingCreatesTheSubdirectoryAndNeverClosesASearch)
{
    EXPECT_EQ(run(), 0);
    EXPECT_THAT(recorded_calls,
                ElementsAre("GetCurrentDirectoryA(499)", "SetCurrentDirectoryA(/kit/INCLUDE) = 0",
                            "CreateDirectoryA(/kit/INCLUDE, null)", "SetCurrentDirectoryA(/kit) = 1",
                            "FindFirstFileA(*.h)", "SetCurrentDirectoryA(/kit/LIB) = 0",
                            "CreateDirectoryA(/kit/LIB, null)", "SetCurrentDirectoryA(/kit) = 1",
                            "FindFirstFileA(*.lib)"));
}

// At the root the directory text already ends in the separator: the
// destination gets a doubled one, with no normalisation.
TEST_F(CallOrder, RootDirectoryDoublesTheSeparator)
{
    script.working_directory = "/";
    script.enterable = {"//INCLUDE", "//LIB"};
    script.headers = {{"a.h", file}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(recorded_calls[1], "SetCurrentDirectoryA(//INCLUDE) = 1");
    EXPECT_EQ(recorded_calls[4], "CopyFileA(a.h, //INCLUDE/a.h, 0) = 1");
}

// A source whose copy failed is the only copy of that file: it is never
// deleted.
TEST_F(CallOrder, FailedCopyIsNotFollowedByADelete)
{
    script.enterable = {"/kit/INCLUDE", "/kit/LIB"};
    script.headers = {{"a.h", file}, {"b.h", file}};
    script.failing_copies = {"a.h"};

    EXPECT_EQ(run(), 1);
    std::vector<std::string> moves(recorded_calls.begin() + 3, recorded_calls.begin() + 9);
    EXPECT_THAT(moves, ElementsAre("FindFirstFileA(*.h)", "CopyFileA(a.h, /kit/INCLUDE/a.h, 0) = 0",
                                   "FindNextFileA = 1", "CopyFileA(b.h, /kit/INCLUDE/b.h, 0) = 1",
                                   "DeleteFileA(b.h)", "FindNextFileA = 0"));
    ASSERT_EQ(shown_boxes.size(), 1u);
    EXPECT_EQ(shown_boxes[0].text, "ZOVIK installation incomplete: 1 file could not be moved.");
}

// Entries the platform marks as directories or devices are neither copied
// nor deleted.
TEST_F(CallOrder, DirectoriesAndDevicesAreNotTouched)
{
    script.enterable = {"/kit/INCLUDE", "/kit/LIB"};
    script.headers = {{"dir.h", FILE_ATTRIBUTE_DIRECTORY}, {"fifo.h", FILE_ATTRIBUTE_DEVICE},
                      {"ro.h", FILE_ATTRIBUTE_READONLY}};

    EXPECT_EQ(run(), 0);
    std::vector<std::string> moves(recorded_calls.begin() + 3, recorded_calls.begin() + 8);
    EXPECT_THAT(moves, ElementsAre("FindFirstFileA(*.h)", "FindNextFileA = 1", "FindNextFileA = 1",
                                   "CopyFileA(ro.h, /kit/INCLUDE/ro.h, 0) = 1", "DeleteFileA(ro.h)"));
}

// Windows also delivers names whose short 8.3 form matches: "*.lib" finds
// "zovik.libx" by its short name ZOVIK~1.LIB. Those are not moved.
TEST_F(CallOrder, NamesMatchedOnlyByTheirShortFormAreNotMoved)
{
    script.enterable = {"/kit/INCLUDE", "/kit/LIB"};
    script.libraries = {{"zovik.libx", file}, {"ZOVIK.LIB", file}, {"lib", file}};

    EXPECT_EQ(run(), 0);
    std::vector<std::string> copies;
    for (const std::string &call : recorded_calls)
        if (call.rfind("CopyFileA", 0) == 0 || call.rfind("DeleteFileA", 0) == 0)
            copies.push_back(call);
    EXPECT_THAT(copies, ElementsAre("CopyFileA(ZOVIK.LIB, /kit/LIB/ZOVIK.LIB, 0) = 1", "DeleteFileA(ZOVIK.LIB)"));
}

// Without a working directory there is no install root: the run stops
// before it creates or moves anything.
TEST_F(CallOrder, UnreadableOrOverlongWorkingDirectoryStopsTheRun)
{
    struct Case {
        bool readable;
        std::string directory;
    };
    for (const Case &c : {Case{false, "/kit"}, Case{true, "/" + std::string(498, 'x')}}) {
        SetUp();
        script.working_directory_readable = c.readable;
        script.working_directory = c.directory;
        EXPECT_EQ(run(), 1);
        EXPECT_THAT(recorded_calls, ElementsAre("GetCurrentDirectoryA(499)"));
        ASSERT_EQ(shown_boxes.size(), 1u);
        EXPECT_EQ(shown_boxes[0].text, "ZOVIK installation failed: the current directory could not be read.");
        EXPECT_EQ(shown_boxes[0].style, MB_OK | MB_ICONWARNING);
    }
}

} // namespace
