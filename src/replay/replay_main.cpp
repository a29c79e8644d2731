// x86ident-replay: the x86ident report of any processor, from a recorded
// CPUID dump instead of the processor this program runs on.
#include <stdint.h>

#include <cstdio>
#include <cstring>
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

// Up to the list of forms.
const char help_text[] =
    "NAME\n"
    "    x86ident-replay - the x86ident report of a processor, from a recorded CPUID dump\n"
    "\n"
    "SYNOPSIS\n"
    "    x86ident-replay [--no-pause | --mark-pauses] [--cpu N] FILE|FOLDER\n"
    "    x86ident-replay --list FILE|FOLDER\n"
    "    x86ident-replay --help | --version\n"
    "\n"
    "DESCRIPTION\n"
    "    Prints exactly what x86ident prints on the processor whose CPUID leaves FILE\n"
    "    records: the raw dump, the vendor line and the vendor's decoded report. A leaf\n"
    "    that FILE does not record reads as four zeros. FILE \"-\" is standard input.\n"
    "\n"
    "    Records of these forms are read, in any mix and with no option; every other\n"
    "    line is ignored, so whole reports and annotated dumps can be read. Where a\n"
    "    form names sub-leaves, the record of sub-leaf 0 is the leaf's (man\n"
    "    x86ident-replay says more of each form):\n";

// After the list of forms, which comes from the reader's table.
const char help_text_after_forms[] =
    "    A file is read as bytes (Latin-1 or UTF-8; a UTF-8 byte-order mark is\n"
    "    skipped), or as UTF-16 after a UTF-16 byte-order mark, as Windows\n"
    "    PowerShell 5.1 writes \"x86ident.exe > mine.txt\". A compressed archive (gzip,\n"
    "    bzip2, xz) is refused: unpack it first.\n"
    "    A dump may hold several logical processors: each record of leaf 0 after the\n"
    "    first begins the next one (records before the first leaf 0 belong to the\n"
    "    first), as in the \"CPU N:\" and \"Logical CPU #N\" blocks of these tools.\n"
    "    Within a processor the first record of a leaf wins; later ones (other\n"
    "    sub-leaves) are ignored.\n"
    "\n"
    "OPTIONS\n"
    "    --cpu N        the report of logical processor N of the dump (0, the first,\n"
    "                   by default)\n"
    "    --list         in place of a report, one line per logical processor:\n"
    "                   N<TAB>VENDOR-ID<TAB>SIGNATURE<TAB>NAME<TAB>LABEL<TAB>CORE-TYPE,\n"
    "                   with N from 0, the 12 characters of the vendor id, leaf-1\n"
    "                   eax as 8 hex digits, the name string of leaves 0x80000002-4\n"
    "                   (empty when the highest extended leaf is lower; a control\n"
    "                   character in the vendor id or the name shows as '?'), in a\n"
    "                   hypervisor log \"guest\", \"host\" or \"host processor N\",\n"
    "                   and on a hybrid part \"Atom\", \"Core\" or another type's\n"
    "                   number (leaf 0x1A); a field that does not apply is empty\n"
    "    --no-pause     never wait for a key\n"
    "    --mark-pauses  write a form feed (0x0C) where x86ident would wait for a key\n"
    "    -h, --help     show this text\n"
    "    --version      show the version\n"
    "    Without a pause option the report pauses as x86ident does: it waits for a\n"
    "    key on the terminal, and goes straight through when there is none.\n"
    "\n"
    "EXIT STATUS\n"
    "    0  the report was written\n"
    "    1  FILE could not be read or is not a CPUID dump: missing, unreadable, a\n"
    "       folder without pu files, a compressed archive, larger than 64 MiB (a\n"
    "       folder's pu files together), holding a NUL byte (but in a line that no\n"
    "       record can begin, after the first record, as x86ident's vendor line\n"
    "       may), UTF-16 of odd length, a malformed record, no processor N, no\n"
    "       record of leaf 0, or a highest extended leaf above 0x8000FFFF (one\n"
    "       line on standard error says which, and where); or standard output\n"
    "       could not be written\n"
    "    2  wrong usage\n"
    "\n"
    "EXAMPLES\n"
    "    x86ident | tee mine.txt && x86ident-replay --no-pause mine.txt\n"
    "    x86ident-replay --mark-pauses GenuineIntel00006F6_Conroe_CPUID.txt | less\n"
    "    cpuid -r > pasted.txt && x86ident-replay pasted.txt\n"
    "    x86ident-replay --cpu 3 CPU-Z-report.txt\n"
    "    hwloc-gather-cpuid && x86ident-replay --list cpuid\n"
    "    x86ident-replay --cpu 4 GenuineIntel00806A1_Lakefield_CPUID.txt\n"
    "    x86ident-replay --list GenuineIntel00806A1_Lakefield_CPUID.txt\n";

// Each form: its name, an example record (<TAB> as it is), a note.
void print_help()
{
    std::fputs(help_text, stdout);
    for (const DumpForm &form : dump_forms)
        std::printf("      %s\n          %s: %s\n", form.example, form.name, form.note);
    std::fputs(help_text_after_forms, stdout);
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

// Whose processor it is in a hypervisor log; "" in any other dump.
void print_label(const ProcessorSummary &summary)
{
    switch (summary.stream) {
    case RecordStream::virtualbox_guest:
    case RecordStream::vmware_guest:
        std::fputs("guest", stdout);
        break;
    case RecordStream::virtualbox_host:
    case RecordStream::vmware_host:
        std::fputs("host", stdout);
        break;
    case RecordStream::vmware_processor:
        std::printf("host processor %u", static_cast<unsigned>(summary.stream_number));
        break;
    case RecordStream::dump:
        break;
    }
}

// A hybrid part's core type (leaf 7 edx bit 15, then leaf 0x1a eax bits
// 31-24), where the highest standard leaf reaches leaf 0x1a; "" elsewhere.
void print_core_type(const RecordedLeaf *records)
{
    const bool hybrid = (records[6].edx & (1u << 15)) != 0 && (records[0].eax & 0xffff) >= 0x1a;
    const unsigned core_type = hybrid ? records[7].eax >> 24 : 0;
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
void print_processor_list(const std::vector<ProcessorSummary> &summaries)
{
    for (size_t cpu = 0; cpu < summaries.size(); ++cpu) {
        const RecordedLeaf *records = summaries[cpu].records;
        std::printf("%zu\t", cpu);
        bool stopped = false;
        for (uint32_t vendor_word : {records[0].ebx, records[0].edx, records[0].ecx})
            put_register_chars(vendor_word, false, stopped);
        std::printf("\t%08x\t", static_cast<unsigned>(records[1].eax));
        const uint32_t max_extended_leaf = records[2].eax;
        if (max_extended_leaf >= 0x80000004u && max_extended_leaf <= max_replayed_extended_leaf)
            for (int piece = 3; piece < 6; ++piece) {
                stopped = false;
                for (uint32_t word : {records[piece].eax, records[piece].ebx, records[piece].ecx, records[piece].edx})
                    put_register_chars(word, true, stopped);
            }
        std::putchar('\t');
        print_label(summaries[cpu]);
        std::putchar('\t');
        print_core_type(records);
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
        print_processor_list(reader.summaries());
        return out_finish("x86ident-replay");
    }

    cpuid_use_recording(reader.leaves().data(), reader.leaves().size());
    set_pause_mode(pause_mode);
    run_report();
    return out_finish("x86ident-replay");
}
