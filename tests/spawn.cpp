#include "spawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const char *const installer_program = ZOVIK_INSTALL_PATH;

uid_t nobody_uid()
{
    const passwd *nobody = getpwnam("nobody");
    return nobody ? nobody->pw_uid : 65534;
}

gid_t nogroup_gid()
{
    const group *nogroup = getgrnam("nogroup");
    return nogroup ? nogroup->gr_gid : 65534;
}

started_program start_program(const std::filesystem::path &directory, const std::string &argv0, bool as_nobody)
{
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0)
        return {-1, -1};
    uid_t uid = nobody_uid();
    gid_t gid = nogroup_gid();

    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(pipe_ends[1], 2);
        if (as_nobody && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            _exit(126);
        if (chdir(directory.c_str()) == 0)
            execl(installer_program, argv0.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipe_ends[1]);
    return {pid, pipe_ends[0]};
}

int wait_for_program(pid_t pid)
{
    int status = 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < end) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

program_result run_program(const std::filesystem::path &directory, bool as_nobody)
{
    started_program program = start_program(directory, installer_program, as_nobody);
    std::string output;
    char buffer[512];
    ssize_t got;
    while ((got = read(program.error_output, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            output.append(buffer, static_cast<size_t>(got));
    close(program.error_output);
    return {wait_for_program(program.pid), output};
}
