// Bad inputs, one table: odd names, links, a broken or hostile INCLUDE,
// permissions, odd files and lengths at the limits. Each case has its
// expected outcome, and after every case no file's content is lost.
#include "kit.h"
#include "spawn.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Gives path and everything below it to nobody.
void give_to_nobody(const fs::path &path)
{
    ASSERT_EQ(lchown(path.c_str(), nobody_uid(), nogroup_gid()), 0);
    if (fs::is_directory(fs::symlink_status(path))) {
        for (const auto &entry : fs::recursive_directory_iterator(path))
            ASSERT_EQ(lchown(entry.path().c_str(), nobody_uid(), nogroup_gid()), 0);
    }
}

// Every regular file below root with its content (files over 64 MiB by
// their size only).
std::map<fs::path, std::string> contents_below(const fs::path &root)
{
    std::map<fs::path, std::string> found;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        std::error_code error;
        if (entry.is_symlink() || !entry.is_regular_file(error))
            continue;
        if (entry.file_size() > (64u << 20)) {
            found[entry.path()] = "size " + std::to_string(entry.file_size());
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        found[entry.path()] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return found;
}

std::string content_of(const fs::path &path)
{
    if (fs::file_size(path) > (64u << 20))
        return "size " + std::to_string(fs::file_size(path));
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct bad_input {
    const char *name;
    // Fills the kit; returns the directory to run in (empty: the kit).
    std::function<fs::path(const Kit &)> arrange;
    bool as_nobody;
    int status;
    const char *notice; // what standard error must contain
    std::function<void(const Kit &, const fs::path &)> check;
};

const char success[] = "ZOVIK successfully installed!";
const char one_left[] = "incomplete: 1 file could not be moved.";
const char unreadable[] = "failed: the current directory could not be read.";

const std::vector<bad_input> &bad_inputs()
{
    static const std::vector<bad_input> cases = {
        {"names with spaces, a leading dash, a newline and non-UTF-8 bytes",
         [](const Kit &kit) {
             for (const char *name : {"my vector.h", "-rf.h", "--help.lib", "new\nline.h", "\xff\xfe\x80.LIB"})
                 kit.write(name, name);
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             for (const char *name : {"INCLUDE/my vector.h", "INCLUDE/-rf.h", "LIB/--help.lib", "INCLUDE/new\nline.h",
                                      "LIB/\xff\xfe\x80.LIB"})
                 EXPECT_TRUE(fs::exists(kit / name)) << name;
         }},
        {"a name of 255 bytes",
         [](const Kit &kit) {
             kit.write(std::string(253, 'n') + ".h", "long");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_EQ(kit.read("INCLUDE/" + std::string(253, 'n') + ".h"), "long");
         }},
        {"a link to a file: its content is installed, the link goes",
         [](const Kit &kit) {
             kit.write("target.txt", "through the link");
             fs::create_symlink("target.txt", kit / "link.h");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_FALSE(fs::is_symlink(kit / "INCLUDE/link.h"));
             EXPECT_EQ(kit.read("INCLUDE/link.h"), "through the link");
             EXPECT_FALSE(fs::exists(fs::symlink_status(kit / "link.h")));
             EXPECT_EQ(kit.read("target.txt"), "through the link");
         }},
        {"a dangling link stays and counts",
         [](const Kit &kit) {
             fs::create_symlink("missing", kit / "dangling.h");
             return fs::path();
         },
         false, 1, one_left,
         [](const Kit &kit, const fs::path &) { EXPECT_TRUE(fs::is_symlink(kit / "dangling.h")); }},
        {"a link loop stays and counts",
         [](const Kit &kit) {
             fs::create_symlink("loop.lib", kit / "loop.lib");
             return fs::path();
         },
         false, 1, one_left,
         [](const Kit &kit, const fs::path &) { EXPECT_TRUE(fs::is_symlink(kit / "loop.lib")); }},
        {"a link to a directory is skipped",
         [](const Kit &kit) {
             fs::create_directory(kit / "folder");
             fs::create_directory_symlink("folder", kit / "dirlink.h");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_TRUE(fs::is_symlink(kit / "dirlink.h"));
             EXPECT_FALSE(fs::exists(fs::symlink_status(kit / "INCLUDE/dirlink.h")));
         }},
        {"INCLUDE a link to a directory is used",
         [](const Kit &kit) {
             fs::create_directory(kit / "elsewhere");
             fs::create_directory_symlink("elsewhere", kit / "INCLUDE");
             kit.write("a.h", "header");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) { EXPECT_EQ(kit.read("elsewhere/a.h"), "header"); }},
        {"INCLUDE a link to the kit itself: nothing is copied onto itself",
         [](const Kit &kit) {
             fs::create_directory_symlink(".", kit / "INCLUDE");
             kit.write("a.h", "header");
             return fs::path();
         },
         false, 1, one_left, [](const Kit &kit, const fs::path &) { EXPECT_EQ(kit.read("a.h"), "header"); }},
        {"INCLUDE a dangling link",
         [](const Kit &kit) {
             fs::create_directory_symlink("missing", kit / "INCLUDE");
             kit.write("a.h", "header");
             return fs::path();
         },
         false, 1, one_left, [](const Kit &kit, const fs::path &) { EXPECT_EQ(kit.read("a.h"), "header"); }},
        {"INCLUDE a regular file",
         [](const Kit &kit) {
             kit.write("INCLUDE", "a file");
             kit.write("a.h", "header");
             kit.write("a.lib", "library");
             return fs::path();
         },
         false, 1, one_left,
         [](const Kit &kit, const fs::path &) {
             EXPECT_EQ(kit.read("INCLUDE"), "a file");
             EXPECT_EQ(kit.read("LIB/a.lib"), "library");
         }},
        {"INCLUDE not writable",
         [](const Kit &kit) {
             fs::create_directory(kit / "INCLUDE");
             kit.write("a.h", "header");
             kit.write("a.lib", "library");
             give_to_nobody(kit.root());
             fs::permissions(kit / "INCLUDE", fs::perms(0555));
             return fs::path();
         },
         true, 1, one_left,
         [](const Kit &kit, const fs::path &) {
             EXPECT_EQ(kit.read("a.h"), "header");
             EXPECT_TRUE(fs::is_empty(kit / "INCLUDE"));
             EXPECT_EQ(kit.read("LIB/a.lib"), "library");
         }},
        {"a destination name that is a directory",
         [](const Kit &kit) {
             fs::create_directories(kit / "INCLUDE/a.h");
             kit.write("a.h", "header");
             return fs::path();
         },
         false, 1, one_left,
         [](const Kit &kit, const fs::path &) {
             EXPECT_TRUE(fs::is_directory(kit / "INCLUDE/a.h"));
             EXPECT_EQ(kit.read("a.h"), "header");
         }},
        {"an unreadable source",
         [](const Kit &kit) {
             kit.write("secret.h", "header");
             give_to_nobody(kit.root());
             fs::permissions(kit / "secret.h", fs::perms::none);
             return fs::path();
         },
         true, 1, one_left,
         [](const Kit &kit, const fs::path &) {
             EXPECT_TRUE(fs::exists(kit / "secret.h"));
             EXPECT_FALSE(fs::exists(kit / "INCLUDE/secret.h"));
         }},
        {"a source in a directory that forbids deletion: installed, and it stays",
         [](const Kit &kit) {
             kit.write("a.h", "header");
             fs::create_directory(kit / "INCLUDE");
             fs::create_directory(kit / "LIB");
             give_to_nobody(kit / "INCLUDE");
             give_to_nobody(kit / "LIB");
             return fs::path(); // the kit itself stays root's
         },
         true, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_EQ(kit.read("INCLUDE/a.h"), "header");
             EXPECT_EQ(kit.read("a.h"), "header");
         }},
        {"a zero-byte file",
         [](const Kit &kit) {
             kit.write("empty.h", "");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_TRUE(fs::is_regular_file(kit / "INCLUDE/empty.h"));
             EXPECT_EQ(fs::file_size(kit / "INCLUDE/empty.h"), 0u);
         }},
        {"a sparse library of 1 GiB keeps its holes",
         [](const Kit &kit) {
             int fd = open((kit / "sparse.lib").c_str(), O_WRONLY | O_CREAT, 0644);
             EXPECT_EQ(pwrite(fd, "start", 5, 0), 5);
             EXPECT_EQ(pwrite(fd, "end", 3, (1ll << 30) - 3), 3);
             close(fd);
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             struct stat info;
             ASSERT_EQ(stat((kit / "LIB/sparse.lib").c_str(), &info), 0);
             EXPECT_EQ(info.st_size, 1ll << 30);
             EXPECT_LT(info.st_blocks * 512, 1 << 20);
             int fd = open((kit / "LIB/sparse.lib").c_str(), O_RDONLY);
             char start[6] = {}, end[4] = {};
             EXPECT_EQ(pread(fd, start, 5, 0), 5);
             EXPECT_EQ(pread(fd, end, 3, (1ll << 30) - 3), 3);
             close(fd);
             EXPECT_STREQ(start, "start");
             EXPECT_STREQ(end, "end");
         }},
        {"a hard-linked source: its other name keeps the content",
         [](const Kit &kit) {
             kit.write("a.h", "shared");
             fs::create_hard_link(kit / "a.h", kit / "other-name.txt");
             return fs::path();
         },
         false, 0, success,
         [](const Kit &kit, const fs::path &) {
             EXPECT_EQ(kit.read("INCLUDE/a.h"), "shared");
             EXPECT_EQ(kit.read("other-name.txt"), "shared");
         }},
        {"a working directory of 498 characters",
         [](const Kit &kit) {
             fs::path directory = kit.directory_of_length(498);
             std::ofstream(directory / "a.h") << "header"; // "/INCLUDE/a.h" makes 510
             return directory;
         },
         false, 0, success,
         [](const Kit &, const fs::path &directory) { EXPECT_TRUE(fs::exists(directory / "INCLUDE/a.h")); }},
        {"a working directory of 499 characters: nothing moved or made",
         [](const Kit &kit) {
             fs::path directory = kit.directory_of_length(499);
             std::ofstream(directory / "a.h") << "header";
             return directory;
         },
         false, 1, unreadable,
         [](const Kit &, const fs::path &directory) {
             EXPECT_TRUE(fs::exists(directory / "a.h"));
             EXPECT_FALSE(fs::exists(directory / "INCLUDE"));
             EXPECT_FALSE(fs::exists(directory / "LIB"));
         }},
        {"destination paths of 511 and 512 characters",
         [](const Kit &kit) {
             fs::path directory = kit.directory_of_length(400); // "/INCLUDE/" makes 409
             std::ofstream(directory / (std::string(100, 'f') + ".h")) << "fits";      // 511
             std::ofstream(directory / (std::string(101, 't') + ".h")) << "too long";  // 512
             return directory;
         },
         false, 1, one_left,
         [](const Kit &, const fs::path &directory) {
             EXPECT_TRUE(fs::exists(directory / "INCLUDE" / (std::string(100, 'f') + ".h")));
             EXPECT_TRUE(fs::exists(directory / (std::string(101, 't') + ".h")));
         }},
    };
    return cases;
}

class BadInput : public ::testing::TestWithParam<bad_input> {};

TEST_P(BadInput, HasItsOutcomeAndLosesNothing)
{
    const bad_input &c = GetParam();
    Kit kit;
    fs::path directory = c.arrange(kit);
    if (directory.empty())
        directory = kit.root();
    auto before = contents_below(kit.root());

    program_result result = run_program(directory, c.as_nobody);
    EXPECT_EQ(result.status, c.status) << result.error_output;
    EXPECT_NE(result.error_output.find(c.notice), std::string::npos) << result.error_output;
    c.check(kit, directory);

    for (const auto &[file, content] : before) {
        fs::path destination = installed_path(file);
        bool kept = fs::is_regular_file(file) && content_of(file) == content;
        bool installed =
            !destination.empty() && fs::is_regular_file(destination) && content_of(destination) == content;
        EXPECT_TRUE(kept || installed) << file << " lost";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(bad_inputs()),
                         [](const ::testing::TestParamInfo<bad_input> &param) {
                             std::string name;
                             for (const char *p = param.param.name; *p && name.size() < 60; ++p)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return std::to_string(param.index) + "_" + name;
                         });

} // namespace
