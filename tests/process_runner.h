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

// `argv` behind the emulator that runs the tests, if one does (a cross
// build; 32-bit programs on a kernel without them), and whether one does.
std::vector<std::string> program_command(const std::vector<std::string> &argv);
bool programs_emulated();

// Runs the calling process on `cpus` alone; false when the system refuses.
bool set_processors(const std::vector<int> &cpus);

// Runs `argv` (argv[0] a path) and waits for it, killing it after 60 s.
ProcessResult run_process(const std::vector<std::string> &argv, const ProcessOptions &options = {});

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &content);

// A fresh file name in the test's temporary directory.
std::string temporary_path(const std::string &name);

#endif
