// x86ident-replay: the x86ident report of any processor, from a recorded
// CPUID dump instead of the processor this program runs on.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../driver/cpuid_recorded.h"
#include "../driver/output.h"
#include "../driver/report_driver.h"
#include "../driver/wait_for_key.h"
#include "dump_parser.h"

#ifndef X86IDENT_VERSION
#define X86IDENT_VERSION "unknown"
#endif

namespace {

const char usage_text[] =
    "usage: x86ident-replay [--no-pause | --mark-pauses] FILE\n"
    "       x86ident-replay --help | --version\n";

const char help_text[] =
    "NAME\n"
    "    x86ident-replay - the x86ident report of a processor, from a recorded CPUID dump\n"
    "\n"
    "SYNOPSIS\n"
    "    x86ident-replay [--no-pause | --mark-pauses] FILE\n"
    "    x86ident-replay --help | --version\n"
    "\n"
    "DESCRIPTION\n"
    "    Prints exactly what x86ident prints on the processor whose CPUID leaves FILE\n"
    "    records: the raw dump, the vendor line and the vendor's decoded report. A leaf\n"
    "    that FILE does not record reads as four zeros. FILE \"-\" is standard input.\n"
    "\n"
    "    Lines of two kinds are records; every other line is ignored, so whole reports\n"
    "    and annotated dumps can be read:\n"
    "      CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n"
    "          hexadecimal in either case, a colon or blanks after the leaf, anything\n"
    "          after the fourth value ignored (for example a \"[SL 01]\" note);\n"
    "      00000001 00000633 00000000 00000000 0080fbff\n"
    "          the raw dump lines of x86ident itself, so \"x86ident > mine.txt\" on one\n"
    "          machine replays on any other.\n"
    "    The first record of a leaf wins; later ones (other sub-leaves, other logical\n"
    "    processors) are ignored.\n"
    "\n"
    "OPTIONS\n"
    "    --no-pause     never wait for a key\n"
    "    --mark-pauses  write a form feed (0x0C) where x86ident would wait for a key\n"
    "    --help         show this text\n"
    "    --version      show the version\n"
    "    Without an option the report pauses as x86ident does: it waits for a key on\n"
    "    the terminal, and goes straight through when there is none.\n"
    "\n"
    "EXIT STATUS\n"
    "    0  the report was written\n"
    "    1  FILE could not be read or is not a CPUID dump: missing, unreadable, a\n"
    "       directory, larger than 1 MiB, holding a NUL byte, a malformed record or no\n"
    "       record of leaf 0 (one line on standard error says which, and where);\n"
    "       or standard output could not be written\n"
    "    2  wrong usage\n"
    "\n"
    "EXAMPLES\n"
    "    x86ident > mine.txt && x86ident-replay --no-pause mine.txt\n"
    "    x86ident-replay --mark-pauses GenuineIntel00006F6_Conroe_CPUID.txt | less\n";

int usage_error(const char *problem, const char *argument)
{
    std::fprintf(stderr, "x86ident-replay: %s%s\n%s", problem, argument, usage_text);
    return 2;
}

int input_error(const std::string &path, const DumpError &error)
{
    const char *name = path == "-" ? "standard input" : path.c_str();
    if (error.line != 0)
        std::fprintf(stderr, "x86ident-replay: %s:%zu: %s\n", name, error.line, error.message.c_str());
    else
        std::fprintf(stderr, "x86ident-replay: %s: %s\n", name, error.message.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    PauseMode pause_mode = PauseMode::console;
    bool pause_option_seen = false;
    const char *path = nullptr;
    bool options_done = false;

    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (!options_done && std::strcmp(argument, "--help") == 0) {
            std::fputs(help_text, stdout);
            return out_finish("x86ident-replay");
        }
        if (!options_done && std::strcmp(argument, "--version") == 0) {
            std::printf("x86ident-replay %s\n", X86IDENT_VERSION);
            return out_finish("x86ident-replay");
        }
        if (!options_done && (std::strcmp(argument, "--no-pause") == 0 || std::strcmp(argument, "--mark-pauses") == 0)) {
            if (pause_option_seen)
                return usage_error("only one of --no-pause and --mark-pauses may be given", "");
            pause_option_seen = true;
            pause_mode = std::strcmp(argument, "--no-pause") == 0 ? PauseMode::none : PauseMode::mark;
        } else if (!options_done && std::strcmp(argument, "--") == 0) {
            options_done = true;
        } else if (!options_done && argument[0] == '-' && argument[1] != '\0') {
            return usage_error("unknown option ", argument);
        } else if (path != nullptr) {
            return usage_error("more than one FILE: ", argument);
        } else {
            path = argument;
        }
    }
    if (path == nullptr)
        return usage_error("no FILE given", "");

    std::string text;
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    if (!read_dump_file(path, text, error) || !parse_dump(text, leaves, error))
        return input_error(path, error);

    cpuid_use_recording(leaves.data(), leaves.size());
    set_pause_mode(pause_mode);
    run_report();
    return out_finish("x86ident-replay");
}
