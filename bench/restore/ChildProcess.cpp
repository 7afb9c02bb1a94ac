#include "bench/restore/ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace velmira::bench {

ChildProcess::Result ChildProcess::Run(const std::vector<std::string>& argv,
                                       const std::filesystem::path& folder) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    const pid_t pid = ::fork();
    if (pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::dup2(pipeFds[1], STDOUT_FILENO);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    Result result;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "waitpid");
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

std::string ChildProcess::RunChecked(const std::vector<std::string>& argv,
                                     const std::filesystem::path& folder) {
    Result result = Run(argv, folder);
    if (result.status != 0) {
        throw std::runtime_error(argv.front() + " failed with status " +
                                 std::to_string(result.status));
    }
    return std::move(result.output);
}

}  // namespace velmira::bench
