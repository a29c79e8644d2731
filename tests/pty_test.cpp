// The console pause driven like a person at a terminal: the program runs as
// the foreground job of its own session on a pseudo-terminal, and the test
// types keys, sends Ctrl-C and Ctrl-Z, and watches the screen and the
// terminal settings. Every wait here is bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "process_runner.h"

namespace {

const std::string replay = X86IDENT_REPLAY_PATH;
const std::string intel_dump = std::string(X86IDENT_FIXTURES_DIR) + "/intel_worked_examples.txt";

using Clock = std::chrono::steady_clock;

bool same_settings(const termios &a, const termios &b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

// A program started the way a shell starts a foreground job: a session
// leader owns the terminal and puts the program in its own process group
// in the foreground, then reports how it ended.
class PtySession {
public:
    explicit PtySession(const std::vector<std::string> &argv, const std::string &stdin_path = "",
                        const std::string &stdout_path = "", bool ignore_hangup = false,
                        const std::vector<int> &start_cpus = {})
    {
        int slave = -1;
        if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0)
            return;
        tcgetattr(slave, &original_);
        int status_pipe[2];
        if (pipe(status_pipe) != 0)
            return;
        session_ = fork();
        if (session_ == 0) {
            close(master_); // only the test holds the terminal's other end
            close(status_pipe[0]);
            run_session(program_command(argv), slave, status_pipe[1], stdin_path, stdout_path, ignore_hangup,
                        start_cpus);
        }
        close(slave);
        close(status_pipe[1]);
        status_fd_ = status_pipe[0];
        read_exact(&program_, sizeof program_, 5000);
    }

    ~PtySession()
    {
        if (program_ > 0)
            kill(program_, SIGKILL);
        if (session_ > 0) {
            kill(session_, SIGKILL);
            waitpid(session_, nullptr, 0);
        }
        if (master_ >= 0)
            close(master_);
        if (status_fd_ >= 0)
            close(status_fd_);
    }

    pid_t program() const { return program_; }
    const termios &original() const { return original_; }
    const std::string &screen() const { return screen_; }

    // Reads the screen until `text` appears in it (after what was seen before).
    bool read_until(const std::string &text, int timeout_ms = 5000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (screen_.find(text, seen_) == std::string::npos) {
            const int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (left <= 0 || !read_some(left))
                return false;
        }
        seen_ = screen_.find(text, seen_) + text.size();
        return true;
    }

    // True when nothing more reaches the screen for `quiet_ms`.
    bool stays_quiet(int quiet_ms)
    {
        const std::size_t before = screen_.size();
        const auto deadline = Clock::now() + std::chrono::milliseconds(quiet_ms);
        while (Clock::now() < deadline) {
            const int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (!read_some(left > 0 ? left : 0))
                break;
        }
        return screen_.size() == before;
    }

    // The terminal goes away, as when its window is closed.
    void hang_up()
    {
        close(master_);
        master_ = -1;
    }

    void type(const std::string &keys) { ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size())); }

    termios settings() const
    {
        termios now{};
        tcgetattr(master_, &now);
        return now;
    }

    // The program's state letter from /proc (S sleeping, T stopped), or 0.
    char state() const
    {
        std::ifstream stat("/proc/" + std::to_string(program_) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close_paren = line.rfind(')');
        return close_paren == std::string::npos || close_paren + 2 >= line.size() ? 0 : line[close_paren + 2];
    }

    bool wait_for_state(char wanted, int timeout_ms = 5000) const
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (state() != wanted) {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    bool wait_for_settings(const termios &wanted, int timeout_ms = 5000) const
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (!same_settings(settings(), wanted)) {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // How the program ended (a waitpid status), or -1 if it did not in time.
    int wait_status(int timeout_ms = 5000)
    {
        int status = -1;
        if (!read_exact(&status, sizeof status, timeout_ms))
            return -1;
        program_ = 0;
        return status;
    }

private:
    [[noreturn]] static void run_session(const std::vector<std::string> &argv, int slave, int status_fd,
                                         const std::string &stdin_path, const std::string &stdout_path,
                                         bool ignore_hangup, const std::vector<int> &start_cpus)
    {
        setsid();
        ioctl(slave, TIOCSCTTY, 0);
        signal(SIGHUP, SIG_IGN); // this session leader reports to the end
        pid_t program = fork();
        if (program == 0) {
            setpgid(0, 0);
            signal(SIGTTOU, SIG_IGN);
            tcsetpgrp(slave, getpid());
            signal(SIGTTOU, SIG_DFL);
            signal(SIGPIPE, SIG_DFL);
            signal(SIGHUP, ignore_hangup ? SIG_IGN : SIG_DFL); // as under nohup
            if (!start_cpus.empty() && !set_processors(start_cpus))
                _exit(126);
            int in = stdin_path.empty() ? slave : open(stdin_path.c_str(), O_RDONLY);
            int out = stdout_path.empty() ? slave : open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(in, 0);
            dup2(out, 1);
            dup2(slave, 2);
            std::vector<char *> args;
            for (const std::string &arg : argv)
                args.push_back(const_cast<char *>(arg.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        setpgid(program, program);
        if (write(status_fd, &program, sizeof program) != sizeof program)
            _exit(1);
        int status = 0;
        while (waitpid(program, &status, 0) < 0 && errno == EINTR) {
        }
        if (write(status_fd, &status, sizeof status) != sizeof status)
            _exit(1);
        _exit(0);
    }

    bool read_some(int timeout_ms)
    {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, timeout_ms) <= 0)
            return false;
        char buffer[4096];
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        screen_.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    bool read_exact(void *into, std::size_t size, int timeout_ms)
    {
        pollfd ready{status_fd_ >= 0 ? status_fd_ : -1, POLLIN, 0};
        if (status_fd_ < 0 || poll(&ready, 1, timeout_ms) <= 0)
            return false;
        return read(status_fd_, into, size) == static_cast<ssize_t>(size);
    }

    int master_ = -1;
    int status_fd_ = -1;
    pid_t session_ = -1;
    pid_t program_ = 0;
    termios original_{};
    std::string screen_;
    std::size_t seen_ = 0;
};

// What the terminal must look like during a wait: the original settings
// with canonical mode and echo off, one byte at a time, and nothing else.
termios waiting_settings(const termios &original)
{
    termios waiting = original;
    waiting.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    waiting.c_cc[VMIN] = 1;
    waiting.c_cc[VTIME] = 0;
    return waiting;
}

// The screen of the Intel fixture up to each of its four pauses (the
// terminal turns each line end into CR LF).
const char vendor_line[] = "ID : \"GenuineIntel\"; CPUID level 2\r\n\r\n";
const char family_line[] = "Version 00000543:\r\nType 0 - Original OEM\r\nFamilia 5 - ";
const char flags_end[] = "CX8    COMPXCHG8B Instruction\r\n\r\n";
const char descriptors_end[] = "0c:  cache date L1: 16KB, 4 cai setate asociativ, 32 octeti/linie \r\n";

int exit_code(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every test here needs a pseudo-terminal; where none can be opened (a root
// without /dev/pts mounted) each is skipped, saying why.
class PtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int master = -1, slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            GTEST_SKIP() << "no pseudo-terminal can be opened here (is /dev/pts mounted?): " << std::strerror(errno);
        close(master);
        close(slave);
    }
};
using ConsolePause = PtyTest;
using ProcessorBinding = PtyTest;

TEST_F(ConsolePause, WaitsForEachKeyWithoutEchoAndRestoresTheTerminal)
{
    PtySession session({replay, intel_dump});
    ASSERT_GT(session.program(), 0);
    const termios waiting = waiting_settings(session.original());

    const char *const screens[] = {vendor_line, family_line, flags_end, descriptors_end};
    for (const char *screen : screens) {
        // The text before the pause, also the open family line, is on screen
        // while the program waits.
        ASSERT_TRUE(session.read_until(screen)) << session.screen();
        EXPECT_TRUE(session.stays_quiet(200)) << session.screen();
        EXPECT_EQ(session.state(), 'S');
        EXPECT_TRUE(session.wait_for_settings(waiting));
        session.type("q"); // no Enter, and never echoed
    }
    const int status = session.wait_status();
    EXPECT_EQ(exit_code(status), 0);
    EXPECT_EQ(session.screen().find('q'), std::string::npos);
    EXPECT_TRUE(same_settings(session.settings(), session.original()));
}

TEST_F(ConsolePause, SpecialKeyEndsThisWaitAndTheNext)
{
    struct Key {
        const char *name;
        std::string bytes;
        bool two_codes;
    };
    const Key keys[] = {
        {"up arrow", "\x1b[A", true},
        {"ctrl+right arrow", "\x1b[1;5C", true},
        {"delete", "\x1b[3~", true},
        {"F1", "\x1bOP", true},
        {"F12", "\x1b[24~", true},
        {"lone escape", "\x1b", false},
        {"two-byte UTF-8 character", "\xc3\xa9", false},
        {"three-byte UTF-8 character", "\xe2\x82\xac", false},
    };
    for (const Key &key : keys) {
        PtySession session({replay, intel_dump});
        ASSERT_TRUE(session.read_until(vendor_line)) << key.name;
        ASSERT_TRUE(session.stays_quiet(100));
        session.type(key.bytes);
        if (key.two_codes) {
            // Straight through the pause in the family line to the next one.
            ASSERT_TRUE(session.read_until(flags_end)) << key.name << session.screen();
        } else {
            ASSERT_TRUE(session.read_until(family_line)) << key.name;
        }
        EXPECT_TRUE(session.stays_quiet(200)) << key.name << ": " << session.screen();
        EXPECT_EQ(session.state(), 'S') << key.name;
    }
}

TEST_F(ConsolePause, KeysTypedAheadAreKept)
{
    PtySession session({replay, intel_dump});
    ASSERT_TRUE(session.read_until(vendor_line));
    ASSERT_TRUE(session.stays_quiet(100));
    session.type("ab"); // the second key is waiting when the next pause starts
    ASSERT_TRUE(session.read_until(flags_end)) << session.screen();
    EXPECT_TRUE(session.stays_quiet(200));
}

TEST_F(ConsolePause, RedirectedInputAndOutputStillWaitOnTheTerminal)
{
    const std::string saved = temporary_path("pty-output.txt");
    PtySession session({replay, intel_dump}, "/dev/null", saved);
    ASSERT_GT(session.program(), 0);
    const termios waiting = waiting_settings(session.original());
    // Output to a file is flushed before each wait, so the file shows how far it got.
    const char *const file_ends[] = {"CPUID level 2\n\n", "Familia 5 - ", "COMPXCHG8B Instruction\n\n",
                                     "32 octeti/linie \n"};
    for (const char *file_end : file_ends) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        std::string content;
        while ((content = read_file(saved)).size() < std::strlen(file_end) ||
               content.compare(content.size() - std::strlen(file_end), std::string::npos, file_end) != 0) {
            ASSERT_LT(Clock::now(), deadline) << file_end << " not reached: " << content;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(session.wait_for_settings(waiting)) << file_end;
        EXPECT_EQ(session.state(), 'S') << file_end;
        session.type(" ");
    }
    EXPECT_EQ(exit_code(session.wait_status()), 0);
    EXPECT_EQ(read_file(saved), [] {
        std::string expected = read_file(std::string(X86IDENT_FIXTURES_DIR) + "/intel_worked_examples.out");
        expected.erase(std::remove(expected.begin(), expected.end(), '\f'), expected.end());
        return expected;
    }());
    EXPECT_EQ(session.screen(), "");
    std::remove(saved.c_str());
}

TEST_F(ConsolePause, CtrlCEndsTheProgramBySigintAndRestoresTheTerminal)
{
    for (const char *key : {"\x03", "\x1c"}) { // Ctrl-C, Ctrl-backslash
        PtySession session({replay, intel_dump});
        ASSERT_TRUE(session.read_until(vendor_line));
        ASSERT_TRUE(session.wait_for_settings(waiting_settings(session.original())));
        session.type(key);
        const int status = session.wait_status();
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), key[0] == '\x03' ? SIGINT : SIGQUIT);
        EXPECT_TRUE(same_settings(session.settings(), session.original()));
    }
}

TEST_F(ConsolePause, TerminationAndHangupRestoreTheTerminal)
{
    for (int signal_number : {SIGTERM, SIGHUP}) {
        PtySession session({replay, intel_dump});
        ASSERT_TRUE(session.read_until(vendor_line));
        ASSERT_TRUE(session.wait_for_settings(waiting_settings(session.original())));
        kill(session.program(), signal_number);
        const int status = session.wait_status();
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal_number);
        EXPECT_TRUE(same_settings(session.settings(), session.original()));
    }
}

TEST_F(ConsolePause, TerminalGoneEndsEveryWaitAtOnce)
{
    // With hangups ignored the program lives on; its reads of the terminal
    // then end at once, and it runs to its end instead of waiting or spinning.
    PtySession session({replay, intel_dump}, "", "", true);
    ASSERT_TRUE(session.read_until(vendor_line));
    ASSERT_TRUE(session.wait_for_settings(waiting_settings(session.original())));
    session.hang_up();
    const int status = session.wait_status();
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(exit_code(status), 1) << "the rest of the report was lost with the terminal";
}

TEST_F(ConsolePause, CtrlZRestoresWhileStoppedAndTheWaitGoesOnAfter)
{
    PtySession session({replay, intel_dump});
    const termios waiting = waiting_settings(session.original());
    ASSERT_TRUE(session.read_until(vendor_line));
    ASSERT_TRUE(session.wait_for_settings(waiting));

    session.type("\x1a");
    ASSERT_TRUE(session.wait_for_state('T')) << session.state();
    EXPECT_TRUE(same_settings(session.settings(), session.original()));

    kill(session.program(), SIGCONT);
    EXPECT_TRUE(session.wait_for_settings(waiting));
    EXPECT_TRUE(session.stays_quiet(200)) << session.screen();
    EXPECT_EQ(session.state(), 'S');

    session.type("x");
    ASSERT_TRUE(session.read_until(family_line)) << session.screen();
}

TEST_F(ConsolePause, RealProgramWaitsAfterTheVendorLine)
{
    PtySession session({X86IDENT_PATH});
    ASSERT_TRUE(session.read_until("; CPUID level ")) << session.screen();
    ASSERT_TRUE(session.read_until("\r\n\r\n"));
    EXPECT_TRUE(session.stays_quiet(200));
    EXPECT_EQ(session.state(), 'S');
    // However many pauses the vendor report adds, a key at a time ends it.
    int status = -1;
    for (int key = 0; key < 12 && status == -1; ++key) {
        session.type(" ");
        status = session.wait_status(300);
    }
    EXPECT_EQ(exit_code(status), 0);
    EXPECT_TRUE(same_settings(session.settings(), session.original()));
}

// x86ident started on all of this test's processors, on the last alone and
// on the last two: at its first pause it is bound to the lowest of them, and
// its leaf 1 (which holds the initial APIC ID) is that processor's.
TEST_F(ProcessorBinding, LowestStartingProcessorFromTheFirstPause)
{
    cpu_set_t set;
    std::vector<int> own;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &set))
                own.push_back(cpu);
    if (own.size() < 2 || !set_processors(own)) {
        GTEST_SKIP() << "one logical processor, or affinity calls refused: no processor to choose";
    }
    const std::size_t last = own.size() - 1;
    for (const std::vector<int> &start : {own, {own[last]}, {own[last - 1], own[last]}}) {
        PtySession session({X86IDENT_PATH}, "", "", false, start);
        ASSERT_TRUE(session.read_until("; CPUID level ") && session.read_until("\r\n\r\n") && session.stays_quiet(100));
        std::ifstream status("/proc/" + std::to_string(session.program()) + "/status");
        std::string line;
        while (std::getline(status, line) && line.rfind("Cpus_allowed_list:", 0) != 0) {
        }
        EXPECT_EQ(line, "Cpus_allowed_list:\t" + std::to_string(start[0])) << start.size() << " processors";
        const std::string alone = run_process({X86IDENT_PATH}, {"", true, "", start[0]}).out;
        const std::size_t leaf_1 = alone.find("\n00000001 ");
        ASSERT_NE(leaf_1, std::string::npos);
        if (!programs_emulated()) {
            EXPECT_NE(session.screen().find(alone.substr(leaf_1 + 1, 44) + "\r\n"), std::string::npos) << start[0];
        }
    }
    if (programs_emulated()) {
        GTEST_SKIP() << "bound as it should be; leaf 1 not compared: qemu-i386's CPUID is the same everywhere";
    }
}

} // namespace
