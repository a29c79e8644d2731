# The dump forms that x86ident-replay reads: the one table of them, one
# dump_form() each. CMake makes of it the reading loop's table (NAME, its
# EXAMPLE record of leaf 1, its NOTE for --help, its READER in
# READER_FILE.cpp beside this file, the characters its lines BEGIN with or,
# for a log, the HEAD of its lines), the refusal message, --help, the man
# page's list (its example and MORE, where `text` is bold), the web page's
# sentence and the package description (cmake/dump_forms.cmake).
#
# The order is that in which the reading loop tries the forms that may read
# a line, which is that of how often they are met. A form whose lines begin
# like another's stands before it: CPU-Z's, cpufetch's and kcpuid's "0x..."
# lines before cpuid -r's, which claims the rest of them; AIDA64 leaves the
# "CPUID LLLLLLLL:SS = " lines to cpuid_equals. x86ident's own lines, first,
# leave those of Intel SDE ("... => ...") and a row right under a hardware
# monitor's table heading to those forms.
#
# BEGINS: the characters a record may begin with, after blanks and quote
# marks ("hex" for the hexadecimal digits, "any" for every line that ends in
# a value of 8 hex digits, where the record may stand after any text); HEAD: the heads
# of a log's lines ('d' a decimal digit, 'M' a month's name, '?' any
# character, '|' between two), whose lines are tried on the forms of that
# head (and those that read any line) alone. COLUMN first: its records begin
# in a line's first column (after a mail's quote marks), so an indented line
# is not tried on it. EXAMPLE holds 00000633 00000000 00000000
# 0080fbff; <TAB> is a tab, <NL> a line end (the lines before it read
# first).

dump_form(NAME "x86ident" READER read_own_dump_line BEGINS hex COLUMN first
  EXAMPLE "00000001 00000633 00000000 00000000 0080fbff"
  NOTE "its own raw dump lines: \"x86ident | tee mine.txt\" replays anywhere"
  MORE "the raw dump lines of x86ident itself.")

dump_form(NAME "AIDA64" READER read_aida64_line BEGINS "C"
  EXAMPLE "CPUID 00000001: 00000633-00000000-00000000-0080FBFF"
  NOTE "reports of every version (the InstLatx64 collection), also with blanks for '-'"
  MORE "AIDA64 reports, as in the InstLatx64 collection: hexadecimal in either case, a colon or blanks \
after the leaf, also a blank before the colon (`CPUID 00000001 :00000633-...`), the four values separated \
by \"-\" or by blanks (`CPUID 00000001 : 00000633 00000000 00000000 0080FBFF`), then perhaps the \
sub-leaf's note in hexadecimal (`[SL 0B]` is sub-leaf 11; a row without it is sub-leaf 0), anything else \
after the fourth value ignored. After `CPUID`, a token of 8 hexadecimal digits or one that begins with a \
decimal digit is a leaf number (and must be 8 hexadecimal digits); any other word begins a header line, \
such as `CPUID Manufacturer: GenuineIntel` or `CPUID Registers (CPU #1):`.")

dump_form(NAME "Xen" READER read_xen_line BEGINS "0123456789abcdefABCDEFRHP"
  EXAMPLE "00000001:ffffffff -> 00000633:00000000:00000000:0080fbff"
  NOTE "xen-cpuid -p: each policy a processor, labelled by its name"
  MORE "Xen's `xen-cpuid -p`: each policy (`Raw policy: 48 leaves, 2 MSRs`, then `Host`, `PV Max`, \
`HVM Max`, `PV Default`, `HVM Default`, `Domain N`) is a processor, labelled by its name in lower case \
(`raw`, `pv max`, `domain 1`), also where a name comes again; a policy without rows makes none, and \
rows before any policy make one without a label. The sub-leaf `ffffffff` is none (read as 0); the MSR \
rows are no records.")

dump_form(NAME "Open/Libre Hardware Monitor" READER read_hwmonitor_line BEGINS "0123456789abcdefABCDEFP"
  EXAMPLE " Function  EAX       EBX       ECX       EDX<NL> 00000001  00000633  00000000  00000000  0080FBFF"
  NOTE "saved reports: a table per thread, labelled package, group and thread"
  MORE "the CPUID section of the reports that Open Hardware Monitor, Libre Hardware Monitor and the \
programs built on its library save: a table per logical processor, its `Function  EAX  EBX  ECX  EDX` \
heading and the rows right under it, up to the first line that is no row. Each table is a processor, \
labelled by the `Processor P`, `CPU Group: G` and `CPU Thread: T` lines before it (`package 0, group 0, \
thread 3`); a heading without rows makes none, and a row outside a table, such as the MSR tables', is no \
record.")

dump_form(NAME "cpuinfo" READER read_cpuinfo_line BEGINS "c"
  EXAMPLE "cpu0: CPUID 00000001: 00000633-00000000-00000000-0080FBFF"
  NOTE "cpuid-dump: AIDA64's lines, and cpuN: before them per processor"
  MORE "cpuinfo's `cpuid-dump`: AIDA64's lines (read as those), and the same lines with a `cpuN: ` \
before them for logical processor N, one processor per N (`cpu07` is `cpu7`), labelled so.")

dump_form(NAME "CPU-Z" READER read_cpuz_line BEGINS "0F"
  EXAMPLE "<TAB>0x00000001<TAB><TAB>0x00000633<TAB>0x00000000<TAB>0x00000000<TAB>0x0080FBFF"
  NOTE ".txt reports (thread dumps); 1.41 and 1.50 without the first tab; also pasted"
  MORE "CPU-Z `.txt` reports, in their \"Thread dumps\" (one block per `CPU Thread N`); CPU-Z 1.41 and \
1.50 write the lines without the first tab, under a `Function eax ebx ecx edx` header, and 1.31 writes \
`Function 00000001<TAB><TAB>00000633<TAB>00000000<TAB>...`. Pasted with blanks for the tabs, they read \
the same. A leaf's sub-leaves are repeats of its line, sub-leaf 0 first. The MSR lines, the summary \
`CPUID 6.F.6` and the hex tables of SPD and PCI registers are not records.")

dump_form(NAME "cpufetch" READER read_cpufetch_line BEGINS "0"
  EXAMPLE "0x00000001 0x00: 0x00000633 0x00000000 0x00000000 0x0080FBFF"
  NOTE "cpufetch --raw"
  MORE "`cpufetch --raw`, a `CPU N:` block per logical processor.")

dump_form(NAME "kcpuid" READER read_kcpuid_line BEGINS "0123456789"
  EXAMPLE "0x00000001: EAX=0x00000633, EBX=0x00000000, ECX=0x00000000, EDX=0x0080fbff"
  NOTE "Linux's kcpuid -r, sub-leaves after a \"subleafs:\" line"
  MORE "Linux's `kcpuid -r`; for a leaf with sub-leaves, a `0x00000007: subleafs:` line and then \
`0: EAX=0x..., EBX=0x..., ...` per sub-leaf.")

dump_form(NAME "cpuid -r" READER read_cpuid_r_line BEGINS "0"
  EXAMPLE "0x00000001 0x00: eax=0x00000633 ebx=0x00000000 ecx=0x00000000 edx=0x0080fbff"
  NOTE "Debian's cpuid -r, also its older form without the sub-leaf"
  MORE "Debian's `cpuid -r`: the record of sub-leaf 0x00 is the leaf's, other sub-leaves are ignored. Its \
older form without the sub-leaf, `0x00000001: eax=0x... ebx=0x... ecx=0x... edx=0x...`, is read too (the \
first line of a leaf wins).")

dump_form(NAME "libcpuid" READER read_libcpuid_line BEGINS "be"
  EXAMPLE "basic_cpuid[1]=00000633 00000000 00000000 0080fbff"
  NOTE "cpuid_tool --save; ext_cpuid[N] is leaf 0x80000000+N"
  MORE "libcpuid's raw dump (`cpuid_tool --save=FILE`): `basic_cpuid[N]` is leaf N (N in decimal), \
`ext_cpuid[N]` leaf 0x80000000+N; its other arrays (`intel_fn4[N]`, `amd_fn8000001dh[N]`, ...) hold \
sub-leaves and are ignored. Its arrays stop at leaf 0x1F and 0x8000001F: a processor's higher leaves are \
not in such a dump and read as zeros.")

dump_form(NAME "x86info" READER read_x86info_line BEGINS "e"
  EXAMPLE "eax in: 0x00000001, eax = 00000633 ebx = 00000000 ecx = 00000000 edx = 0080fbff"
  NOTE "x86info -r: one processor when all are identical"
  MORE "`x86info -r`. It shows a block per processor (`CPU #1`, ...) only when the processors differ; \
when they are identical it dumps one, and the file holds one processor (so `--list` shows one).")

dump_form(NAME "hwloc-gather-cpuid" READER read_hwloc_line BEGINS hex
  EXAMPLE "1 1 0 0 0 => 633 0 0 80fbff"
  NOTE "a puN file; give its folder for every processor"
  MORE "`hwloc-gather-cpuid`: the mask of the input registers (1 eax, 2 ebx, 4 ecx, 8 edx), the four \
inputs, `=>` and the four outputs, in hexadecimal without leading zeros; the sub-leaf is input ecx where \
the mask holds 4, and `#` lines are comments. Given its folder, x86ident-replay reads the `pu0`, `pu1`, \
..., `pu10`, ... files in the order of their numbers, each one logical processor, and no other file \
there; one `puN` file given alone is one processor. The folder's pu files count together against the \
64 MiB bound. (A tarball of the folder is refused: unpack it first.)")

dump_form(NAME "Intel SDE" READER read_sde_line BEGINS hex
  EXAMPLE "00000001 ******** => 00000633 00000000 00000000 0080FBFF #"
  NOTE "-cpuid_in definitions: one processor per file"
  MORE "Intel SDE's CPUID definitions (`-cpuid_in FILE`), also those written by hand in their form: \
the leaf, the sub-leaf (`********` for none, read as 0), `=>`, the four values, then perhaps a comment \
after `#`. A file is one processor: its first record of a leaf wins.")

dump_form(NAME "CPUID LLLLLLLL:SS = ..." READER read_cpuid_equals_line BEGINS "C"
  EXAMPLE "CPUID 00000001:00 = 00000633 00000000 00000000 0080fbff | ..."
  NOTE "the dump of another program named cpuid"
  MORE "the `CPUID LLLLLLLL:SS = ...` dump of another program named `cpuid` (leaf, sub-leaf, the four \
values and their bytes as text).")

dump_form(NAME "VirtualBox" READER read_virtualbox_line HEAD "dd:dd:dd"
  EXAMPLE "00:00:04.809418 Gst: 00000001/0000  00000633 00000000 00000000 0080fbff"
  NOTE "VBox.log: the guest (Gst:) and the host (Hst:), two processors"
  MORE "VirtualBox's `VBox.log`, in the \"Raw Standard CPUID Leaves\" form (5.0.6 on) and in the older \
\"RAW Standard CPUIDs\" form without the sub-leaf, whose guest row of a leaf beyond the guest's highest \
ends in an asterisk. The `Gst:` rows are one processor, the guest, and the `Hst:` rows another, the host: \
a `Hst:` row of four values alone is the host's answer to the leaf of the `Gst:` row directly above it, \
one with a leaf stands alone.")

dump_form(NAME "VMware" READER read_vmware_line HEAD "dddd-dd-dd|M d"
  EXAMPLE "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID level 00000001, 0: 0x00000633 0x00000000 0x00000000 0x0080fbff"
  NOTE "vmware.log: the host, its processors (CPUID[N]) and the guest"
  MORE "VMware's `vmware.log` (Workstation, Player, Fusion, ESXi): the host's `hostCPUID` lines, each \
logical processor's `CPUID[N]` lines, and the guest's `guestCPUID` or `guest vs. host CPUID guest` lines \
(the `*host` lines beside them are no records); the sub-leaf is hexadecimal. Where `CPUID[N]` or the \
guest's lines list only the leaves that differ from the host's (Workstation 8 on), with no leaf 0 of \
their own after the host's dump began, that processor is the host's dump with those leaves in their \
place.")

dump_form(NAME "Bochs" READER read_bochs_line HEAD "ddddddddddd?[" BEGINS any
  EXAMPLE "00000000000i[CPU0  ] CPUID[0x00000001]: 00000633 00000000 00000000 0080fbff"
  NOTE "bochsout.txt: each emulated processor, its dump at every reset"
  MORE "Bochs' log (`bochsout.txt`): a record belongs to the processor of the nearest `[CPUn` tag before \
it in its line (n in hexadecimal, any padding; none: `CPU0`), labelled so, whatever stands before the time \
stamp; the dump that each reset repeats is the same processor, whose first record of a leaf wins.")

dump_form(NAME "libvirt" READER read_libvirt_line BEGINS "<"
  EXAMPLE "<cpuid eax_in='0x00000001' ecx_in='0x00' eax='0x00000633' ebx='0x00000000' ecx='0x00000000' edx='0x0080fbff'/>"
  NOTE "CPU data (x86_64-cpuid-*.xml): each <cpudata> a processor"
  MORE "libvirt's CPU data (`tests/cputestdata/x86_64-cpuid-*.xml`): each `<cpudata>` is a processor, \
its `<cpuid>` rows the records, their attributes in any order and in either quote (a row without \
`ecx_in` is sub-leaf 0), several rows perhaps on one line; the `<msr>` rows are no records.")

dump_form(NAME "FreeBSD cpucontrol" READER read_freebsd_line BEGINS any
  EXAMPLE "cpuid level 0x1: 0x00000633 0x00000000 0x00000000 0x0080fbff"
  NOTE "cpucontrol -i: one processor per file"
  MORE "FreeBSD's `cpucontrol -i` lines, also after other text in their line (a comment's \
`# cpuid level 0x1: ...`), and with a sub-leaf, `cpuid level 0x4, level_type 0x2: ...`. A file is one \
processor: its first record of a leaf wins.")
