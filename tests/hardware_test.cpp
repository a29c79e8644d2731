// x86ident on the processor it runs on. Whatever that processor is, these
// checks hold: they compare the program with what the hardware back end
// itself reads, never with a fixed vendor or leaf count.
#include <gtest/gtest.h>

#include <string>

#include "core/cpuid.h"
#include "process_runner.h"

namespace {

const std::string program = X86IDENT_PATH;
const std::string replay = X86IDENT_REPLAY_PATH;

std::string vendor_id()
{
    cpuid_query(0);
    std::string id;
    for (std::uint32_t word : {CpuidResult.ebx, CpuidResult.edx, CpuidResult.ecx})
        for (int i = 0; i < 4; ++i)
            id += static_cast<char>((word >> (8 * i)) & 0xff);
    return id;
}

std::size_t count_lines_starting(const std::string &text, std::size_t limit)
{
    std::size_t lines = 0, at = 0;
    while (at < limit) {
        ++lines;
        at = text.find('\n', at) + 1;
    }
    return lines;
}

ProcessResult run_without_terminal()
{
    return run_process({program}, {"", true, ""});
}

TEST(RealProcessor, NoTerminalRunsThroughAndExits0)
{
    const ProcessResult result = run_without_terminal();
    ASSERT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");

    cpuid_query(0);
    const std::uint32_t max_level = CpuidResult.eax & 0xffff;
    cpuid_query(0x80000000);
    const std::uint32_t max_extended_leaf = CpuidResult.eax;

    const std::string &out = result.out;
    ASSERT_EQ(out.rfind(" eax in    eax      ebx      ecx      edx\n", 0), 0u);
    // Header, max_level+1 standard lines, the extended lines, an empty line.
    const std::size_t extended_lines =
        max_extended_leaf >= 0x80000000u ? max_extended_leaf - 0x80000000u + 1 : 0;
    const std::string vendor_line = "\nID : \"" + vendor_id() + "\"; CPUID level " + std::to_string(max_level) + "\n\n";
    const std::size_t vendor_at = out.find(vendor_line);
    ASSERT_NE(vendor_at, std::string::npos) << out.substr(0, 2000);
    EXPECT_EQ(count_lines_starting(out, vendor_at), 1 + (max_level + 1) + extended_lines);
    EXPECT_EQ(out.find('\f'), std::string::npos);
}

TEST(RealProcessor, VendorReportMatchesTheVendorId)
{
    const std::string out = run_without_terminal().out;
    const std::string vendor = vendor_id();
    const std::string after_vendor = out.substr(out.find("; CPUID level "));
    const char *first_line = vendor.compare(0, 4, "Auth") == 0   ? "AMD-functii specifice\n"
                             : vendor.compare(0, 4, "Cyri") == 0 ? "functii specifice Cyrix\n"
                             : vendor.compare(0, 4, "Genu") == 0 ? "Intel-specific functions:\n"
                                                                 : "Producator necunoscut\n";
    EXPECT_NE(after_vendor.find(std::string("\n\n") + first_line), std::string::npos) << after_vendor;
}

TEST(RealProcessor, NameStringLineIsTheProcessorName)
{
    cpuid_query(0x80000000);
    const std::uint32_t max_extended_leaf = CpuidResult.eax;
    const std::string vendor = vendor_id();
    if (max_extended_leaf < 0x80000004u)
        GTEST_SKIP() << "no name string on this processor";

    std::string name;
    for (std::uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
        cpuid_query(leaf);
        std::string piece;
        for (std::uint32_t word : {CpuidResult.eax, CpuidResult.ebx, CpuidResult.ecx, CpuidResult.edx})
            for (int i = 0; i < 4; ++i)
                piece += static_cast<char>((word >> (8 * i)) & 0xff);
        name += piece.substr(0, piece.find('\0'));
    }
    const std::string out = run_without_terminal().out;
    if (vendor.compare(0, 4, "Auth") == 0)
        EXPECT_NE(out.find("\nString nume procesor: " + name + "\n"), std::string::npos) << name;
    else if (vendor.compare(0, 4, "Genu") == 0)
        EXPECT_NE(out.find("\nString extins producator: \"" + name + "\"\n"), std::string::npos) << name;
    else if (vendor.compare(0, 4, "Cyri") == 0)
        EXPECT_NE(out.find("\nstring pt nume procesor: " + name), std::string::npos) << name;
    else
        GTEST_SKIP() << "vendor " << vendor << " has no decoded report";
}

TEST(RealProcessor, ReplayOfItsOwnOutputIsIdentical)
{
    const std::string out = run_without_terminal().out;
    const std::string saved = temporary_path("round-trip.txt");
    write_file(saved, out);
    const ProcessResult replayed = run_process({replay, "--no-pause", saved});
    std::remove(saved.c_str());
    EXPECT_EQ(replayed.exit_status, 0) << replayed.err;
    EXPECT_EQ(replayed.out, out);
}

TEST(RealProcessor, StandardOutputToAFileGetsTheSameText)
{
    const std::string saved = temporary_path("to-file.txt");
    const ProcessResult result = run_process({program}, {"", true, saved});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(read_file(saved), run_without_terminal().out);
    std::remove(saved.c_str());
}

// The message names the cause of the first failed write, which a flush at
// exit (with nothing left to write) would otherwise hide.
TEST(RealProcessor, UnwritableStandardOutputSaysWhyAndExits1)
{
    const struct {
        const char *stdout_path;
        const char *message;
    } cases[] = {
        {"/dev/full", "x86ident: error writing standard output: No space left on device\n"},
        {closed_stdout, "x86ident: error writing standard output: Bad file descriptor\n"},
    };
    for (const auto &c : cases) {
        const ProcessResult result = run_process({program}, {"", true, c.stdout_path});
        EXPECT_EQ(result.exit_status, 1) << c.stdout_path;
        EXPECT_EQ(result.err, c.message) << c.stdout_path;
    }
}

} // namespace
