// The notice's caption, derived from command lines. Written with the
// backslash; the platform's separator stands in for it when they run.
#include "notice.h"

#include "win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct caption_case {
    const char *command_line;
    const char *caption;
};

std::string with_platform_separator(std::string text)
{
    for (char &c : text)
        if (c == '\\')
            c = PLATFORM_SEPARATOR[0];
    return text;
}

class Caption : public ::testing::TestWithParam<caption_case> {};

TEST_P(Caption, IsDerivedFromTheCommandLine)
{
    char caption[notice_caption_capacity];
    memset(caption, 'X', sizeof caption);
    derive_caption(with_platform_separator(GetParam().command_line).c_str(), caption);
    EXPECT_EQ(std::string(caption), with_platform_separator(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, Caption,
    ::testing::Values(
        // The quoted full path, with and without the trailing space.
        caption_case{"\"C:\\Kits\\ZOVIK\\zovik-install.exe\" ", "zovik-install.exe"},
        caption_case{"\"C:\\Kits\\ZOVIK\\zovik-install.exe\"", "zovik-install.exe"},
        caption_case{"C:\\Kits\\ZOVIK\\zovik-install.exe", "zovik-install.exe"},
        // Started by its bare name: no separator, the whole line.
        caption_case{"zovik-install", "zovik-install"},
        // Leading digits go, as strtol reads them, with white space and sign.
        caption_case{"7zovik-install", "zovik-install"},
        caption_case{" \t-42zovik", "zovik"},
        caption_case{"123", "Error"},
        caption_case{"  zovik", "  zovik"}, // no digits: white space stays
        caption_case{"+x", "+x"},           // a sign without digits is no number
        // Nothing after the last separator.
        caption_case{"C:\\Kits\\", "Error"},
        caption_case{"\"C:\\Kits\\\"", "Error"},
        caption_case{"", "Error"},
        // Arguments stay unless they hold a separator.
        caption_case{"\"C:\\Kits\\zovik-install.exe\" -quiet", "zovik-install.exe\" -quiet"},
        caption_case{"\"C:\\Kits\\zovik-install.exe\" D:\\data\\kit", "kit"},
        // One space, then one quote, nothing more.
        caption_case{"\"C:\\Kits\\zovik-install.exe\"  ", "zovik-install.exe\" "},
        caption_case{"\"C:\\Kits\\zovik-install.exe\"\" ", "zovik-install.exe\""},
        caption_case{"C:\\Kits\\a \"", "a "}, // the quote goes, the space before it stays
        // At most 32 characters, trimmed after the cut.
        caption_case{"C:\\abcdefghijklmnopqrstuvwxyz0123456789.exe", "abcdefghijklmnopqrstuvwxyz012345"},
        caption_case{"C:\\abcdefghijklmnopqrstuvwxyz01234 6789", "abcdefghijklmnopqrstuvwxyz01234"},
        caption_case{"C:\\abcdefghijklmnopqrstuvwxyz01234\"56", "abcdefghijklmnopqrstuvwxyz01234"},
        caption_case{"C:\\abcdefghijklmnopqrstuvwxyz01234567", "abcdefghijklmnopqrstuvwxyz012345"}));

} // namespace
