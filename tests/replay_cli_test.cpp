// x86ident-replay as a user runs it: hand-written fixture dumps end to end,
// the pause options, standard input, and every kind of bad input or usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "process_runner.h"

namespace {

const std::string replay = X86IDENT_REPLAY_PATH;
const std::string fixtures = X86IDENT_FIXTURES_DIR;

std::string without_form_feeds(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\f'), text.end());
    return text;
}

class Fixtures : public ::testing::TestWithParam<const char *> {};

TEST_P(Fixtures, MarkPausesPrintsTheExpectedReport)
{
    const std::string dump = fixtures + "/" + GetParam() + ".txt";
    const std::string expected = read_file(fixtures + "/" + GetParam() + ".out");
    ASSERT_FALSE(expected.empty());

    const ProcessResult marked = run_process({replay, "--mark-pauses", dump});
    EXPECT_EQ(marked.exit_status, 0);
    EXPECT_EQ(marked.err, "");
    EXPECT_EQ(marked.out, expected);

    const ProcessResult plain = run_process({replay, "--no-pause", dump});
    EXPECT_EQ(plain.exit_status, 0);
    EXPECT_EQ(plain.out, without_form_feeds(expected));

    // Standard input, and no terminal: the default pauses go straight through.
    const ProcessResult piped = run_process({replay, "-"}, {read_file(dump), true, ""});
    EXPECT_EQ(piped.exit_status, 0);
    EXPECT_EQ(piped.out, without_form_feeds(expected));
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Fixtures,
                         ::testing::Values("intel_worked_examples", "amd_k6_annotated", "cyrix_mediagx_report"));

// x86ident's output replays to the same bytes; also that of a processor
// whose vendor id is twelve NUL bytes (qemu's base model).
TEST(ReplayCli, OwnOutputReplaysToTheSameBytes)
{
    const std::string no_vendor_id = std::string(" eax in    eax      ebx      ecx      edx\n"
                                                 "00000000 00000001 00000000 00000000 00000000\n"
                                                 "00000001 00000633 00000000 00000000 00000000\n"
                                                 "80000000 80000001 00000000 00000000 00000000\n"
                                                 "80000001 00000000 00000000 00000000 00000000\n"
                                                 "\n"
                                                 "ID : \"") +
                                     std::string(12, '\0') + "\"; CPUID level 1\n\nProducator necunoscut\n";
    const std::string saved = temporary_path("own-output.txt");
    for (const std::string &output :
         {run_process({replay, "--no-pause", fixtures + "/amd_k6_annotated.txt"}).out, no_vendor_id}) {
        write_file(saved, output);
        const ProcessResult again = run_process({replay, "--no-pause", saved});
        EXPECT_EQ(again.exit_status, 0) << again.err;
        EXPECT_EQ(again.out, output);
    }
    std::remove(saved.c_str());
}

struct BadInput {
    const char *name;
    std::string content; // written to the file unless `path` is given
    std::string path;
    std::string message; // after "x86ident-replay: FILE"
};

TEST(ReplayCli, BadInputOneLineOnStandardErrorAndStatus1)
{
    const std::string good = "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n";
    const BadInput cases[] = {
        {"missing", "", "/nonexistent/dump.txt", ": No such file or directory\n"},
        {"directory", "", "/tmp", ": a folder with no pu0, pu1, ... files of hwloc-gather-cpuid\n"},
        {"endless", "", "/dev/zero", ":1: NUL byte: not a text dump\n"},
        {"empty", "", "", ": empty file\n"},
        {"no-leaf-0", "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n", "", ": no record of leaf 0\n"},
        {"nul", good + std::string("CPUID\0", 6) + "\n", "", ":2: NUL byte: not a text dump\n"},
        {"malformed", good + "\n\nCPUID 00000001: 00000633-0000000G-00000000-0080FBFF\n", "",
         ":4: malformed CPUID record: non-hex digit 'G' in ebx value\n"},
        {"too-large", good + std::string(64 * 1024 * 1024, '#'), "", ": larger than 64 MiB: not a CPUID dump\n"},
        {"flood", good + "CPUID 80000000: FFFFFFFF-00000000-00000000-00000000\n", "",
         ":2: highest extended leaf ffffffff lies above 8000ffff: not a real processor\n"},
    };
    for (const BadInput &bad : cases) {
        std::string path = bad.path;
        if (path.empty()) {
            path = temporary_path(bad.name);
            write_file(path, bad.content);
        }
        const ProcessResult result = run_process({replay, "--no-pause", path});
        EXPECT_EQ(result.exit_status, 1) << bad.name;
        EXPECT_EQ(result.out, "") << bad.name;
        EXPECT_EQ(result.err, "x86ident-replay: " + path + bad.message) << bad.name;
        if (bad.path.empty())
            std::remove(path.c_str());
    }
    const ProcessResult piped = run_process({replay, "-"}, {"no dump here\n", true, ""});
    EXPECT_EQ(piped.exit_status, 1);
    EXPECT_EQ(piped.err.rfind("x86ident-replay: standard input: no CPUID records: not a dump of x86ident, AIDA64, ", 0),
              0u)
        << piped.err;
}

TEST(ReplayCli, UsageErrorsExit2WithUsage)
{
    const std::string usage = "usage: x86ident-replay [--no-pause | --mark-pauses] [--cpu N] FILE|FOLDER\n"
                              "       x86ident-replay --list FILE|FOLDER\n"
                              "       x86ident-replay --help | --version\n";
    const std::string dump = fixtures + "/intel_worked_examples.txt";
    struct Usage {
        std::vector<std::string> arguments;
        std::string problem;
    };
    const Usage cases[] = {
        {{}, "no FILE given"},
        {{"--no-pause"}, "no FILE given"},
        {{"--fast", dump}, "unknown option --fast"},
        {{"-x", dump}, "unknown option -x"},
        {{dump, dump}, "more than one FILE: " + dump},
        {{"--no-pause", "--mark-pauses", dump}, "only one of --no-pause and --mark-pauses may be given"},
        {{dump, "--cpu"}, "missing value for --cpu"},
        {{"--cpu", "first", dump}, "--cpu takes a processor number (0 is the first), not first"},
        {{"--cpu=-1", dump}, "--cpu takes a processor number (0 is the first), not -1"},
        {{"--no-pause=yes", dump}, "no value allowed: --no-pause=yes"},
        {{"--list", "--cpu", "1", dump}, "--list shows every processor, with no --cpu or pause option"},
    };
    for (const Usage &c : cases) {
        std::vector<std::string> argv = {replay};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const ProcessResult result = run_process(argv);
        EXPECT_EQ(result.exit_status, 2) << c.problem;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "x86ident-replay: " + c.problem + "\n" + usage);
    }
}

// The same three made-up processors in each format: --cpu N (both ways of
// giving the value) picks one, and a processor past the last is refused.
// The hwloc folder holds pu0, pu2 and pu10, the last one last.
TEST(ReplayCli, CpuChoosesALogicalProcessorInEveryFormat)
{
    for (const char *format : {"aida64.txt", "cpuid_r.txt", "libcpuid.txt", "cpuz.txt", "cpufetch.txt", "x86info.txt",
                               "kcpuid.txt", "cpuid_equals.txt", "hwloc", "xen.txt", "hwmonitor.txt", "bochs.txt",
                               "cpuinfo.txt", "libvirt.xml"}) {
        const std::string dump = fixtures + "/three_cpus/" + format;
        for (int cpu = 0; cpu < 3; ++cpu) {
            const std::string expected = read_file(fixtures + "/three_cpus/cpu" + std::to_string(cpu) + ".out");
            ASSERT_FALSE(expected.empty());
            const std::vector<std::string> argv =
                cpu == 1 ? std::vector<std::string>{replay, "--cpu=1", "--mark-pauses", dump}
                         : std::vector<std::string>{replay, dump, "--mark-pauses", "--cpu", std::to_string(cpu)};
            const ProcessResult result = run_process(argv);
            EXPECT_EQ(result.exit_status, 0) << format << " " << cpu;
            EXPECT_EQ(result.out, expected) << format << " " << cpu;
        }
        EXPECT_EQ(run_process({replay, "--mark-pauses", dump}).out, read_file(fixtures + "/three_cpus/cpu0.out"));
        const ProcessResult past = run_process({replay, "--cpu", "3", dump});
        EXPECT_EQ(past.exit_status, 1) << format;
        EXPECT_EQ(past.out, "") << format;
        EXPECT_EQ(past.err, "x86ident-replay: " + dump + ": no processor 3: the dump holds 3 processors\n") << format;
    }
}

// One line per processor; the name string only below a highest extended leaf
// that holds it, each piece up to its 0 byte, control characters as '?'; a
// hypervisor log's guest and host, and the labels of the forms that name
// their processors; a hybrid part's core types (leaf 0x1a, where leaf 7 says
// hybrid and the highest leaf reaches it); no vendor id for a processor
// without a leaf 0, which is listed all the same; the forms whose file is
// one processor, whatever leaf 0 it repeats.
TEST(ReplayCli, ListShowsEveryProcessor)
{
    const std::string named = "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                             "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n"
                             "CPUID 80000000: 80000004-00000000-00000000-00000000\n"
                             "CPUID 80000002: 65746E49-2952286C-6E655020-6D756974\n"
                             "CPUID 80000003: 20295228-43094949-00005550-00000000\n"
                             "CPUID 80000004: 30303320-007A484D-00000000-00000000\n"
                             "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n"
                             "CPUID 00000001: 00000634-00000000-00000000-0080FBFF\n"
                             "CPUID 80000002: 65746E49-2952286C-6E655020-6D756974\n";
    const std::string hybrid = "CPUID 00000000: 0000001A-756E6547-6C65746E-49656E69\n" // Atom
                               "CPUID 00000007: 00000000-00000000-00000000-00008000\n"
                               "CPUID 0000001A: 20000001-00000000-00000000-00000000\n"
                               "CPUID 00000000: 0000001A-756E6547-6C65746E-49656E69\n" // Core
                               "CPUID 00000007: 00000000-00000000-00000000-00008000\n"
                               "CPUID 0000001A: 40000001-00000000-00000000-00000000\n"
                               "CPUID 00000000: 0000001A-756E6547-6C65746E-49656E69\n" // another type
                               "CPUID 00000007: 00000000-00000000-00000000-00008000\n"
                               "CPUID 0000001A: 0A000001-00000000-00000000-00000000\n"
                               "CPUID 00000000: 00000019-756E6547-6C65746E-49656E69\n" // no leaf 0x1a
                               "CPUID 00000007: 00000000-00000000-00000000-00008000\n"
                               "CPUID 0000001A: 40000001-00000000-00000000-00000000\n";
    const struct {
        std::string path, text; // the file, or standard input's text
        std::string listed;
    } cases[] = {
        {"-", named,
         "0\tGenuineIntel\t00000633\tIntel(R) Pentium(R) II?CPU 300MHz\t\t\n"
         "1\tGenuineIntel\t00000634\t\t\t\n"},
        {fixtures + "/three_cpus/cpuid_r.txt", "",
         "0\tCentaurHauls\t000006a9\t\t\t\n1\tGeode by NSC\t00000552\t\t\t\n2\tRiseRiseRise\t00000580\t\t\t\n"},
        {"-", hybrid,
         "0\tGenuineIntel\t00000000\t\t\tAtom\n1\tGenuineIntel\t00000000\t\t\tCore\n"
         "2\tGenuineIntel\t00000000\t\t\t0x0a\n3\tGenuineIntel\t00000000\t\t\t\n"},
        {fixtures + "/hypervisor/virtualbox.log", "",
         "0\tGenuineIntel\t00000633\t\tguest\t\n1\tGenuineIntel\t00000634\t\thost\t\n"},
        {fixtures + "/hypervisor/vmware.log", "",
         "0\tGenuineIntel\t000306a9\t\thost\t\n1\tGenuineIntel\t000306a9\t\thost processor 2\t\n"
         "2\tGenuineIntel\t000306a9\t\tguest\t\n"},
        {fixtures + "/three_cpus/xen.txt", "",
         "0\tCentaurHauls\t000006a9\t\traw\t\n1\tGeode by NSC\t00000552\t\thost\t\n"
         "2\tRiseRiseRise\t00000580\t\tdomain 3\t\n"},
        {fixtures + "/three_cpus/hwmonitor.txt", "",
         "0\tCentaurHauls\t000006a9\t\tpackage 0, group 0, thread 0\t\n"
         "1\tGeode by NSC\t00000552\t\tpackage 1, group 0, thread 0\t\n"
         "2\tRiseRiseRise\t00000580\t\tpackage 1, group 0, thread 1\t\n"},
        {fixtures + "/three_cpus/bochs.txt", "",
         "0\tCentaurHauls\t000006a9\t\tCPU0\t\n1\tGeode by NSC\t00000552\t\tCPU1\t\n"
         "2\tRiseRiseRise\t00000580\t\tCPU2\t\n"},
        {fixtures + "/three_cpus/cpuinfo.txt", "",
         "0\tCentaurHauls\t000006a9\t\tcpu0\t\n1\tGeode by NSC\t00000552\t\tcpu1\t\n"
         "2\tRiseRiseRise\t00000580\t\tcpu2\t\n"},
        {"-",
         "cpu0: CPUID 00000001: 000006A9-00000000-00000000-00808131\n"
         "cpu1: CPUID 00000000: 00000001-646F6547-43534E20-79622065\n",
         "0\t\t000006a9\t\tcpu0\t\n1\tGeode by NSC\t00000000\t\tcpu1\t\n"},
        {fixtures + "/three_cpus/freebsd.txt", "", "0\tCentaurHauls\t000006a9\t\t\t\n"},
        {fixtures + "/three_cpus/sde.txt", "", "0\tCentaurHauls\t000006a9\t\t\t\n"},
        {X86IDENT_SOURCE_DIR "/examples/lakefield.txt", "", // the README's example
         "0\tGenuineIntel\t000806a1\tIntel(R) Core(TM) i5-L16G7 CPU @ 1.40GHz\t\tAtom\n"
         "1\tGenuineIntel\t000806a1\tIntel(R) Core(TM) i5-L16G7 CPU @ 1.40GHz\t\tAtom\n"
         "2\tGenuineIntel\t000806a1\tIntel(R) Core(TM) i5-L16G7 CPU @ 1.40GHz\t\tAtom\n"
         "3\tGenuineIntel\t000806a1\tIntel(R) Core(TM) i5-L16G7 CPU @ 1.40GHz\t\tAtom\n"
         "4\tGenuineIntel\t000806a1\tIntel(R) Core(TM) i5-L16G7 CPU @ 1.40GHz\t\tCore\n"},
    };
    for (const auto &c : cases) {
        const ProcessResult listed = run_process({replay, "--list", c.path}, {c.text, true, ""});
        EXPECT_EQ(listed.exit_status, 0) << c.path << ": " << listed.err;
        EXPECT_EQ(listed.out, c.listed) << c.path;
    }
}

// The README's excerpt of a report is that of examples/pentium-iii.txt: each
// run of its lines between "..." stands in the report, in order.
TEST(ReplayCli, ReadmeExcerptIsTheReportOfItsExample)
{
    const std::string readme = read_file(X86IDENT_SOURCE_DIR "/README.md");
    std::size_t at = readme.find("examples/pentium-iii.txt");
    ASSERT_NE(at, std::string::npos);
    at = readme.find("\n\n    ", at) + 2;
    const std::string block = readme.substr(at, readme.find("\n\n#", at) - at) + "\n";
    std::vector<std::string> runs(1);
    for (std::size_t line = 0, end; line < block.size(); line = end + 1) {
        end = block.find('\n', line);
        const std::string text = block.substr(line, end - line);
        if (text == "    ...")
            runs.emplace_back();
        else
            runs.back() += text.substr(std::min<std::size_t>(4, text.size())) + "\n";
    }
    ASSERT_EQ(runs.size(), 3u) << block;
    const ProcessResult report = run_process({replay, "--no-pause", X86IDENT_SOURCE_DIR "/examples/pentium-iii.txt"});
    ASSERT_EQ(report.exit_status, 0) << report.err;
    std::size_t found = 0;
    for (const std::string &run : runs) {
        found = report.out.find(run, found);
        ASSERT_NE(found, std::string::npos) << "not in the report, in order:\n" << run;
    }
}

TEST(ReplayCli, HelpAndVersion)
{
    const ProcessResult help = run_process({replay, "--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out.rfind("usage: x86ident-replay [--no-pause | --mark-pauses] [--cpu N] FILE|FOLDER\n", 0), 0u);
    for (const char *text : {"  --list ", "  -h, --help ", "\n  CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n"
                                                        "      AIDA64: "})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    const ProcessResult short_help = run_process({replay, "-h"});
    EXPECT_EQ(short_help.exit_status, 0);
    EXPECT_EQ(short_help.out, help.out);

    const ProcessResult version = run_process({replay, "--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out, "x86ident-replay " X86IDENT_PROJECT_VERSION "\n");

    // "--" ends the options: a file may be named like one.
    const ProcessResult dashed = run_process({replay, "--no-pause", "--", "--help"});
    EXPECT_EQ(dashed.exit_status, 1);
    EXPECT_EQ(dashed.err, "x86ident-replay: --help: No such file or directory\n");
}

TEST(ReplayCli, WriteFailureIsNotSuccess)
{
    const ProcessResult result =
        run_process({replay, "--no-pause", fixtures + "/intel_worked_examples.txt"}, {"", false, "/dev/full"});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "x86ident-replay: error writing standard output: No space left on device\n");
}

} // namespace
