// x86ident-replay: the x86ident report of any processor, from a recorded
// CPUID dump instead of the processor this program runs on.
#include <stdint.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <getopt.h>

#include "core/output.h"
#include "core/wait_for_key.h"
#include "dump_parser.h"
#include "recorded/cpuid_recorded.h"
#include "replay/forms/forms.h"
#include "report/report_driver.h"

#ifndef X86IDENT_VERSION
#define X86IDENT_VERSION "unknown"
#endif

namespace {

const char usage_text[] =
    "usage: x86ident-replay [--no-pause | --mark-pauses] [--cpu N] FILE|FOLDER\n"
    "       x86ident-replay --list FILE|FOLDER\n"
    "       x86ident-replay --help | --version\n";

// --help: the usage, then this, then the forms; `man x86ident-replay` says
// the rest.
const char help_text[] =
    "\n"
    "The x86ident report of the processor whose CPUID dump FILE holds (\"-\":\n"
    "standard input; FOLDER: hwloc-gather-cpuid's), byte for byte.\n"
    "\n"
    "  --cpu N        the report of logical processor N of the dump (0, the first)\n"
    "  --list         one line per logical processor, in place of a report:\n"
    "                 N, vendor id, signature, name string, label, core type\n"
    "  --no-pause     never wait for a key\n"
    "  --mark-pauses  write a form feed (0x0C) where x86ident would wait for a key\n"
    "  -h, --help     show this text\n"
    "  --version      show the version\n"
    "\n"
    "Records of these forms are read, in any mix; every other line is ignored:\n";

// The usage, the options and each form with its example and note.
void print_help()
{
    std::fputs(usage_text, stdout);
    std::fputs(help_text, stdout);
    for (const DumpForm &form : dump_forms) {
        // An example of several lines (a table's heading, then its row): each on its own.
        const char *line = form.example;
        for (const char *next; (next = std::strstr(line, "<NL>")) != nullptr; line = next + 4)
            std::printf("  %.*s\n", static_cast<int>(next - line), line);
        std::printf("  %s\n      %s: %s\n", line, form.name, form.note);
    }
    std::fputs("\nman x86ident-replay says all that it reads and refuses.\n", stdout);
}

int usage_error(const char *problem, const char *argument)
{
    std::fprintf(stderr, "x86ident-replay: %s%s\n%s", problem, argument, usage_text);
    return 2;
}

int input_error(const std::string &path, const DumpError &error)
{
    const std::string name = path == "-" ? "standard input" : error.file.empty() ? path : path + "/" + error.file;
    if (error.line != 0)
        std::fprintf(stderr, "x86ident-replay: %s:%zu: %s\n", name.c_str(), error.line, error.message.c_str());
    else
        std::fprintf(stderr, "x86ident-replay: %s: %s\n", name.c_str(), error.message.c_str());
    return 1;
}

// One register's four bytes, low byte first, as text that keeps a list line
// whole: a control character shows as '?'; with `stop_at_nul` a 0 byte ends it.
void put_register_chars(uint32_t value, bool stop_at_nul, bool &stopped)
{
    for (int i = 0; i < 4 && !stopped; ++i) {
        const unsigned char byte = static_cast<unsigned char>(value >> (8 * i));
        if (byte == 0 && stop_at_nul)
            stopped = true;
        else
            std::putchar(byte < 0x20 || byte == 0x7f ? '?' : byte);
    }
}

// Whose processor it is in a hypervisor log, or its stream's name; "" in
// any other dump.
void print_label(const Processor &processor)
{
    switch (processor.stream) {
    case RecordStream::virtualbox_guest:
    case RecordStream::vmware_guest:
        std::fputs("guest", stdout);
        break;
    case RecordStream::virtualbox_host:
    case RecordStream::vmware_host:
        std::fputs("host", stdout);
        break;
    case RecordStream::vmware_processor:
        std::printf("host processor %u", static_cast<unsigned>(processor.stream_number));
        break;
    case RecordStream::named:
        std::fputs(processor.label.c_str(), stdout);
        break;
    case RecordStream::dump:
        break;
    }
}

// A processor's first record of `leaf`, or four zeros.
RecordedLeaf leaf_of(const Processor &processor, uint32_t leaf)
{
    const RecordedLeaf *record = processor.leaf(leaf);
    return record != nullptr ? *record : RecordedLeaf{leaf, 0, 0, 0, 0};
}

// A hybrid part's core type (leaf 7 edx bit 15, then leaf 0x1a eax bits
// 31-24), where the highest standard leaf reaches leaf 0x1a; "" elsewhere.
void print_core_type(const Processor &processor)
{
    const bool hybrid = (leaf_of(processor, 7).edx & (1u << 15)) != 0 && (leaf_of(processor, 0).eax & 0xffff) >= 0x1a;
    const unsigned core_type = hybrid ? leaf_of(processor, 0x1a).eax >> 24 : 0;
    if (core_type == 0x20)
        std::fputs("Atom", stdout);
    else if (core_type == 0x40)
        std::fputs("Core", stdout);
    else if (core_type != 0)
        std::printf("0x%02x", core_type);
}

// One line per logical processor: number, vendor id, signature, name string
// (each 16-byte piece up to its first 0 byte, as the reports print it),
// label and core type.
void print_processor_list(const std::deque<Processor> &processors)
{
    for (size_t cpu = 0; cpu < processors.size(); ++cpu) {
        const Processor &processor = processors[cpu];
        std::printf("%zu\t", cpu);
        bool stopped = false;
        const RecordedLeaf leaf_0 = leaf_of(processor, 0);
        if (processor.leaf(0) != nullptr) // none: a dump cut short, whose report is refused
            for (uint32_t vendor_word : {leaf_0.ebx, leaf_0.edx, leaf_0.ecx})
                put_register_chars(vendor_word, false, stopped);
        std::printf("\t%08x\t", static_cast<unsigned>(leaf_of(processor, 1).eax));
        const uint32_t max_extended_leaf = leaf_of(processor, 0x80000000u).eax;
        if (max_extended_leaf >= 0x80000004u && max_extended_leaf <= max_replayed_extended_leaf)
            for (uint32_t piece = 0x80000002u; piece <= 0x80000004u; ++piece) {
                stopped = false;
                const RecordedLeaf name = leaf_of(processor, piece);
                for (uint32_t word : {name.eax, name.ebx, name.ecx, name.edx})
                    put_register_chars(word, true, stopped);
            }
        std::putchar('\t');
        print_label(processor);
        std::putchar('\t');
        print_core_type(processor);
        std::putchar('\n');
    }
}

// A processor number: decimal digits only, and not absurdly large.
bool read_cpu_number(const char *text, size_t &cpu)
{
    if (*text == '\0' || std::strlen(text) > 9)
        return false;
    cpu = 0;
    for (const char *c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        cpu = cpu * 10 + static_cast<size_t>(*c - '0');
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    enum { option_no_pause = 1, option_mark_pauses, option_cpu, option_list, option_help, option_version };
    static const struct option options[] = {
        {"no-pause", no_argument, nullptr, option_no_pause},
        {"mark-pauses", no_argument, nullptr, option_mark_pauses},
        {"cpu", required_argument, nullptr, option_cpu},
        {"list", no_argument, nullptr, option_list},
        {"help", no_argument, nullptr, option_help},
        {"version", no_argument, nullptr, option_version},
        {nullptr, 0, nullptr, 0},
    };
    PauseMode pause_mode = PauseMode::console;
    bool pause_option_seen = false;
    size_t cpu = 0;
    bool cpu_option_seen = false;
    bool list = false;

    opterr = 0; // the messages below, not getopt's
    int option;
    while ((option = getopt_long(argc, argv, ":h", options, nullptr)) != -1) {
        switch (option) {
        case 'h':
        case option_help:
            print_help();
            return out_finish("x86ident-replay");
        case option_version:
            std::printf("x86ident-replay %s\n", X86IDENT_VERSION);
            return out_finish("x86ident-replay");
        case option_no_pause:
        case option_mark_pauses:
            if (pause_option_seen)
                return usage_error("only one of --no-pause and --mark-pauses may be given", "");
            pause_option_seen = true;
            pause_mode = option == option_no_pause ? PauseMode::none : PauseMode::mark;
            break;
        case option_cpu:
            if (!read_cpu_number(optarg, cpu))
                return usage_error("--cpu takes a processor number (0 is the first), not ", optarg);
            cpu_option_seen = true;
            break;
        case option_list:
            list = true;
            break;
        case ':':
            return usage_error("missing value for ", argv[optind - 1]);
        default:
            if (optopt > ' ' && optopt < 0x7f) {
                const char short_option[3] = {'-', static_cast<char>(optopt), '\0'};
                return usage_error("unknown option ", short_option);
            }
            if (optopt != 0) // one of ours, given a value it does not take
                return usage_error("no value allowed: ", argv[optind - 1]);
            return usage_error("unknown option ", argv[optind - 1]);
        }
    }
    if (list && (cpu_option_seen || pause_option_seen))
        return usage_error("--list shows every processor, with no --cpu or pause option", "");
    if (optind == argc)
        return usage_error("no FILE given", "");
    if (argc - optind > 1)
        return usage_error("more than one FILE: ", argv[optind + 1]);
    const std::string path = argv[optind];

    DumpReader reader(cpu, list);
    DumpError error{};
    if (!read_dump_file(path, reader, error))
        return input_error(path, error);
    if (list) {
        print_processor_list(reader.processors());
        return out_finish("x86ident-replay");
    }

    cpuid_use_recording(reader.leaves().data(), reader.leaves().size());
    set_pause_mode(pause_mode);
    run_report();
    return out_finish("x86ident-replay");
}
