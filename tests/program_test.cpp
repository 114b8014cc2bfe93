// The built program, started as a user starts it: on a terminal it draws
// its box and waits for Enter; without one it writes one line and ends.
#include "kit.h"
#include "spawn.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char *const program = installer_program;

// Reads what the terminal shows until it contains needle or time runs out.
std::string read_until(int fd, const std::string &needle, std::chrono::seconds limit = std::chrono::seconds(20))
{
    std::string seen;
    auto end = std::chrono::steady_clock::now() + limit;
    while (seen.find(needle) == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buffer[512];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        seen.append(buffer, static_cast<size_t>(got));
    }
    return seen;
}

// Starts the program in directory on a new pseudo-terminal, whose other
// end goes to *terminal.
pid_t start_on_terminal(const fs::path &directory, int *terminal)
{
    pid_t child = forkpty(terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (chdir(directory.c_str()) == 0)
            execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    return child;
}

TEST(Program, OnATerminalDrawsTheBoxAndWaitsForEnter)
{
    Kit kit;
    kit.write("zovik.h", "header");
    int terminal;
    pid_t child = start_on_terminal(kit.root(), &terminal);
    ASSERT_GE(child, 0);

    std::string screen = read_until(terminal, "Press Enter");
    EXPECT_NE(screen.find("+- zovik-install -"), std::string::npos) << screen;
    EXPECT_NE(screen.find("|   ZOVIK successfully installed!"), std::string::npos) << screen;
    EXPECT_NE(screen.find("[ OK ]"), std::string::npos) << screen;
    // The box is modal: the program is still there, the move already done.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0);
    EXPECT_TRUE(fs::exists(kit / "INCLUDE/zovik.h"));

    ASSERT_EQ(write(terminal, "\r", 1), 1);
    EXPECT_EQ(wait_for_program(child), 0);
    close(terminal);
}

TEST(Program, OnATerminalAWarningIsMarkedAndEndOfInputDismissesIt)
{
    Kit kit;
    kit.write("INCLUDE", "not a directory");
    kit.write("zovik.h", "header");
    int terminal;
    pid_t child = start_on_terminal(kit.root(), &terminal);
    ASSERT_GE(child, 0);
    std::string screen = read_until(terminal, "Press Enter");
    EXPECT_NE(screen.find("(!) ZOVIK installation incomplete: 1 file could not be moved."), std::string::npos)
        << screen;
    ASSERT_EQ(write(terminal, "\x04", 1), 1); // Ctrl-D: end of input
    EXPECT_EQ(wait_for_program(child), 1);
    close(terminal);
}

// Runs the program in directory without a terminal, started as argv0, and
// returns its exit status and what it wrote to standard error.
std::pair<int, std::string> run_without_terminal(const fs::path &directory, const char *argv0)
{
    started_program started = start_program(directory, argv0);
    std::string output = read_until(started.error_output, "\n");
    close(started.error_output);
    return {wait_for_program(started.pid), output};
}

TEST(Program, WithoutATerminalWritesOneLineAndEndsAtOnce)
{
    Kit kit;
    kit.write("zovik.lib", "library");
    auto [status, output] = run_without_terminal(kit.root(), program);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "zovik-install: ZOVIK successfully installed!\n");
    EXPECT_EQ(kit.read("LIB/zovik.lib"), "library");

    // The caption comes from the program as it was started.
    auto [again, renamed] = run_without_terminal(kit.root(), "7zovik-setup");
    EXPECT_EQ(again, 0);
    EXPECT_EQ(renamed, "zovik-setup: ZOVIK successfully installed!\n");
    auto [spaced, quoted] = run_without_terminal(kit.root(), "/opt/my tools/zovik-install");
    EXPECT_EQ(spaced, 0);
    EXPECT_EQ(quoted, "zovik-install: ZOVIK successfully installed!\n");
}

} // namespace
