// Runs a program as a child process and collects what it wrote.
#ifndef X86IDENT_TESTS_PROCESS_RUNNER_H
#define X86IDENT_TESTS_PROCESS_RUNNER_H

#include <string>
#include <vector>

struct ProcessResult {
    int exit_status = -1; // -1 when it did not exit normally
    int signal = 0;       // the signal that ended it, if one did
    std::string out;
    std::string err;
};

constexpr const char *closed_stdout = "&-";

struct ProcessOptions {
    std::string input;         // written to its standard input
    bool new_session = false;  // setsid: no controlling terminal
    std::string stdout_path;   // when set, standard output goes to this file
                               // (closed_stdout: no standard output at all)
    int cpu = -1;              // when set, started on this logical processor alone,
                               // as `taskset -c CPU` starts it
};

// `argv` as it must be executed: in a cross build, and in a 32-bit build on
// a kernel that runs no 32-bit programs, behind the emulator that runs the
// tests themselves.
std::vector<std::string> program_command(const std::vector<std::string> &argv);

// True when program_command puts an emulator in front.
bool programs_emulated();

// Starts only on the processors `cpus`: false when the system refuses.
bool set_processors(const std::vector<int> &cpus);

// Runs `argv` (argv[0] a path) and waits for it, killing it after 60 s.
ProcessResult run_process(const std::vector<std::string> &argv, const ProcessOptions &options = {});

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &content);

// A fresh file name in the test's temporary directory.
std::string temporary_path(const std::string &name);

#endif
