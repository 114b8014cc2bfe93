// Every system call of a run, failed in turn with the errors a real system
// gives: whatever fails, no file is lost or left partial, no temporary file
// stays, and the outcome the run reports is true.
#include "fault_injection.h"
#include "kit.h"
#include "ui_stand_in.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

namespace {

// The kit: what each source holds, and what INCLUDE already holds.
const std::map<std::string, std::string> sources = {
    {"zovik.h", "new header\n"},
    {"Vector.H", "vector header\n"},
    {"zovik.lib", binary_content(200000, 1)},
    {"Debug.LIB", binary_content(70000, 2)},
};
const std::map<std::string, std::string> installed_before = {{"INCLUDE/zovik.h", "old header\n"}};
const std::set<std::string> others = {"notes.txt"};

void fill(const Kit &kit)
{
    for (const auto &[name, content] : sources)
        kit.write(name, content);
    for (const auto &[name, content] : installed_before)
        kit.write(name, content);
    for (const auto &name : others)
        kit.write(name, "other");
}

// Checks the kit after a run that ended with status, and returns a
// description of every broken promise (empty when all hold).
std::string broken_promises(const Kit &kit, int status)
{
    std::string broken;
    std::set<std::string> expected_names = {"INCLUDE/", "LIB/"};
    int still_at_source = 0;
    bool all_installed = true;
    for (const auto &[name, content] : sources) {
        std::string destination = installed_path(name).string();
        bool at_source = fs::exists(kit / name), at_destination = fs::exists(kit / destination);
        if (at_source) {
            ++still_at_source;
            expected_names.insert(name);
            if (kit.read(name) != content)
                broken += name + " changed at its source; ";
        }
        std::string destination_content = at_destination ? kit.read(destination) : "";
        bool installed = at_destination && destination_content == content;
        if (at_destination)
            expected_names.insert(destination);
        if (at_destination && !installed && !(installed_before.count(destination) &&
                                               destination_content == installed_before.at(destination)))
            broken += destination + " is neither old nor new; ";
        if (!at_source && !installed)
            broken += name + " lost; ";
        all_installed = all_installed && installed;
    }
    for (const auto &[name, content] : installed_before)
        expected_names.insert(name);
    for (const auto &name : others)
        expected_names.insert(name);
    for (const std::string &name : kit.tree())
        if (!expected_names.count(name))
            broken += "unexpected " + name + "; ";

    if (shown_boxes.size() != 1)
        return broken + std::to_string(shown_boxes.size()) + " notices; ";
    const std::string &notice = shown_boxes[0].text;
    if (status == 0 && (!all_installed || notice != "ZOVIK successfully installed!"))
        broken += "success reported for an incomplete install; ";
    if (status != 0) {
        int counted = 0;
        if (sscanf(notice.c_str(), "ZOVIK installation incomplete: %d", &counted) == 1) {
            if (counted < 1 || counted > still_at_source)
                broken += "counted " + std::to_string(counted) + " with " + std::to_string(still_at_source) +
                          " sources left; ";
        } else if (notice != "ZOVIK installation failed: the current directory could not be read.") {
            broken += "status " + std::to_string(status) + " with notice " + notice + "; ";
        }
    }
    return broken;
}

// The errors each kind of call meets on a real system.
std::vector<int> realistic_errors(syscall_kind kind)
{
    switch (kind) {
    case syscall_kind::read:
    case syscall_kind::write:
    case syscall_kind::copy_file_range: return {ENOSPC, EIO};
    case syscall_kind::fsync: return {EIO, ENOSPC};
    case syscall_kind::openat: return {EACCES, ENOENT, ENAMETOOLONG, EMFILE, ENOSPC};
    case syscall_kind::linkat:
    case syscall_kind::renameat:
    case syscall_kind::mkdirat: return {EACCES, ENOENT, ENAMETOOLONG, ENOSPC, EIO};
    case syscall_kind::unlinkat:
    case syscall_kind::chdir:
    case syscall_kind::getcwd:
    case syscall_kind::opendir: return {EACCES, ENOENT, ENAMETOOLONG};
    case syscall_kind::readdir: return {EIO};
    case syscall_kind::ficlone: return {EOPNOTSUPP, EXDEV, EIO};
    case syscall_kind::close: return {EIO};
    default: return {EIO, EACCES};
    }
}

TEST(FaultSweep, EveryFailingSystemCallKeepsEveryFileAndTellsTheTruth)
{
    // A clean run, to count the calls of each kind.
    std::map<syscall_kind, int> calls;
    {
        Kit kit;
        fill(kit);
        shown_boxes.clear();
        fault_scope faults;
        ASSERT_EQ(run_installer_in(kit.root()), 0);
        for (int k = 0; k < static_cast<int>(syscall_kind::count); ++k)
            calls[static_cast<syscall_kind>(k)] = calls_of(static_cast<syscall_kind>(k));
        ASSERT_EQ(broken_promises(kit, 0), "");
    }

    int points = 0, failures_seen = 0;
    for (const auto &[kind, count] : calls) {
        for (int nth = 1; nth <= count; ++nth) {
            for (int error : realistic_errors(kind)) {
                Kit kit;
                fill(kit);
                shown_boxes.clear();
                int status;
                {
                    fault_scope faults;
                    fail_nth_call(kind, nth, error);
                    status = run_installer_in(kit.root());
                }
                ++points;
                failures_seen += status != 0;
                std::string broken = broken_promises(kit, status);
                EXPECT_EQ(broken, "") << syscall_name(kind) << " #" << nth << " failing with " << strerror(error);
            }
        }
    }
    EXPECT_GT(points, 200);
    EXPECT_GT(failures_seen, 0);
    printf("%d failure points injected, %d of them reported as a failed or incomplete install\n", points,
           failures_seen);
}

// Interrupted and short calls are no failures: the run completes.
TEST(FaultSweep, InterruptedAndShortTransfersAreRetried)
{
    struct Case {
        const char *what;
        void (*arrange)();
    };
    for (const Case &c : {
             Case{"every open interrupted once", [] { interrupt_every_call(syscall_kind::openat); }},
             Case{"every read and write interrupted once",
                  [] {
                      interrupt_every_call(syscall_kind::read);
                      interrupt_every_call(syscall_kind::write);
                  }},
             Case{"every in-kernel copy interrupted once",
                  [] { interrupt_every_call(syscall_kind::copy_file_range); }},
             Case{"copies of 4099 bytes at most", [] { limit_transfers(4099); }},
             Case{"no in-kernel copy, and short reads and writes",
                  [] {
                      fail_nth_call(syscall_kind::copy_file_range, 1, ENOSYS);
                      limit_transfers(1000);
                  }},
         }) {
        SCOPED_TRACE(c.what);
        Kit kit;
        fill(kit);
        shown_boxes.clear();
        fault_scope faults;
        c.arrange();
        EXPECT_EQ(run_installer_in(kit.root()), 0);
        EXPECT_EQ(broken_promises(kit, 0), "");
    }
}

} // namespace
