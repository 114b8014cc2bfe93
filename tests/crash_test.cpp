// The installer killed at random moments: whatever moment, every file's
// content is whole under its source or its destination name, and a
// second run completes the install.
#include "kit.h"
#include "spawn.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

using clock_type = std::chrono::steady_clock;

struct crash_kit {
    std::map<std::string, std::string> sources; // name, content
    std::string old_installed;                  // INCLUDE/header000.h before the run
};

crash_kit make_template(const Kit &kit)
{
    crash_kit made;
    for (int i = 0; i < 200; ++i) {
        char name[32];
        snprintf(name, sizeof name, "header%03d.h", i);
        made.sources[name] = binary_content(4096, static_cast<unsigned>(i));
    }
    for (int i = 0; i < 4; ++i)
        made.sources["zovik" + std::to_string(i) + ".lib"] =
            binary_content((3u << 20) + static_cast<unsigned>(i) * 4097, 1000u + static_cast<unsigned>(i));
    made.sources["notes.txt"] = "not part of the kit";
    for (const auto &[name, content] : made.sources)
        kit.write(name, content);
    made.old_installed = "an older header";
    kit.write("INCLUDE/header000.h", made.old_installed);
    return made;
}

// What is wrong with the kit after a kill: files lost or partial, and
// names that are not the kit's (temporary files).
std::string damage(const Kit &kit, const crash_kit &original)
{
    std::string found;
    std::set<std::string> allowed = {"INCLUDE/", "LIB/"};
    for (const auto &[name, content] : original.sources) {
        std::string destination = installed_path(name).string();
        bool whole = false;
        if (fs::exists(kit / name)) {
            allowed.insert(name);
            whole = kit.read(name) == content;
            if (!whole)
                found += name + " changed; ";
        }
        if (!destination.empty() && fs::exists(kit / destination)) {
            allowed.insert(destination);
            std::string installed = kit.read(destination);
            bool is_new = installed == content;
            bool is_old = destination == "INCLUDE/header000.h" && installed == original.old_installed;
            if (!is_new && !is_old)
                found += destination + " partial; ";
            whole = whole || is_new;
        }
        if (!whole)
            found += name + " lost; ";
    }
    for (const std::string &name : kit.tree())
        if (!allowed.count(name))
            found += "stray " + name + "; ";
    return found;
}

TEST(CrashTest, KilledAtRandomMomentsLosesNothingAndASecondRunCompletes)
{
    Kit model;
    crash_kit original = make_template(model);

    // How long an uninterrupted run takes, to spread the kills over it.
    auto duration = clock_type::duration::zero();
    {
        Kit kit;
        fs::copy(model.root(), kit.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        auto start = clock_type::now();
        ASSERT_EQ(run_program(kit.root()).status, 0);
        duration = clock_type::now() - start;
        ASSERT_EQ(damage(kit, original), "");
    }

    std::mt19937 random(20261211);
    std::uniform_int_distribution<long long> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(duration).count());
    int killed = 0, attempts = 0;
    while (killed < 60 && attempts < 200) {
        ++attempts;
        Kit kit;
        fs::copy(model.root(), kit.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        started_program program = start_program(kit.root(), installer_program);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(program.pid, SIGKILL);
        close(program.error_output);
        int status = wait_for_program(program.pid);
        if (status != 128 + SIGKILL)
            continue; // it had finished: no kill landed
        ++killed;

        std::string found = damage(kit, original);
        EXPECT_EQ(found, "") << "after kill " << killed;

        program_result second = run_program(kit.root());
        EXPECT_EQ(second.status, 0) << second.error_output;
        for (const auto &[name, content] : original.sources) {
            std::string destination = installed_path(name).string();
            if (destination.empty())
                continue;
            EXPECT_FALSE(fs::exists(kit / name)) << name << " after the second run";
            EXPECT_TRUE(fs::exists(kit / destination) && kit.read(destination) == content) << destination;
        }
        if (!found.empty() || second.status != 0)
            break; // one broken kit says enough
    }
    EXPECT_GE(killed, 50);
    printf("%d kills landed in %d attempts over a run of %lld ms; every kit recovered\n", killed, attempts,
           static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count()));
}

} // namespace
