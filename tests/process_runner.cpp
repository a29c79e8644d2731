#include "process_runner.h"

#include <algorithm>
#include <csignal>
#include <sched.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace {

void close_pipe(int ends[2])
{
    if (ends[0] >= 0)
        close(ends[0]);
    if (ends[1] >= 0)
        close(ends[1]);
}

} // namespace

std::vector<std::string> program_command(const std::vector<std::string> &argv)
{
    std::vector<std::string> command;
    const std::string prefix = X86IDENT_PROGRAM_PREFIX;
    for (std::size_t start = 0; start < prefix.size();) {
        const std::size_t bar = std::min(prefix.find('|', start), prefix.size());
        command.push_back(prefix.substr(start, bar - start));
        start = bar + 1;
    }
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

bool programs_emulated()
{
    return X86IDENT_PROGRAM_PREFIX[0] != '\0';
}

bool set_processors(const std::vector<int> &cpus)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu : cpus)
        CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

ProcessResult run_process(const std::vector<std::string> &argv, const ProcessOptions &options)
{
    ProcessResult result;
    int in_pipe[2] = {-1, -1}, out_pipe[2] = {-1, -1}, err_pipe[2] = {-1, -1};
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        return result;

    const std::vector<std::string> full_argv = program_command(argv);
    std::vector<char *> args;
    for (const std::string &arg : full_argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    pid_t child = fork();
    if (child == 0) {
        if (options.new_session)
            setsid();
        if (options.cpu >= 0 && !set_processors({options.cpu}))
            _exit(126);
        dup2(in_pipe[0], 0);
        if (options.stdout_path.empty())
            dup2(out_pipe[1], 1);
        else if (options.stdout_path == closed_stdout)
            close(1);
        else {
            int fd = open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
        }
        dup2(err_pipe[1], 2);
        close_pipe(in_pipe);
        close_pipe(out_pipe);
        close_pipe(err_pipe);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    signal(SIGPIPE, SIG_IGN);
    // Small inputs only: the pipe holds them whole.
    if (!options.input.empty() &&
        write(in_pipe[1], options.input.data(), options.input.size()) != static_cast<ssize_t>(options.input.size()))
        std::perror("write to child");
    close(in_pipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    struct pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string *sinks[2] = {&result.out, &result.err};
    int open_count = 2;
    while (open_count > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 1000) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[65536];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_count;
            }
        }
    }
    if (open_count > 0)
        kill(child, SIGKILL);
    for (const struct pollfd &fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status))
        result.exit_status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

std::string read_file(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void write_file(const std::string &path, const std::string &content)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

std::string temporary_path(const std::string &name)
{
    const char *directory = std::getenv("TMPDIR");
    static const std::string run = std::to_string(getpid());
    return std::string(directory != nullptr ? directory : "/tmp") + "/x86ident-test-" + run + "-" + name;
}
