#!/usr/bin/env bash
# The vintage x86ident holds no instruction newer than the i486, start-up
# code and libraries included, and fits a boot floppy beside a kernel. An
# emulator executes newer instructions on any model, so only the disassembly
# proves the first.
#
#   vintage_binary.sh X86IDENT
#   vintage_binary.sh --dos X86IDENT.ELF X86IDENT.COM
#
# The DOS program is 16-bit code for the 386: also none of the 486's
# additions, only 8086 instructions in its start-up code up to the 286 and
# 386 tests (dos_start_286), and a .COM file of at most 32 KiB.
set -uo pipefail
dos=false
if [ "${1:-}" = --dos ]; then dos=true; shift; fi
[ $# -gt 0 ] || { echo "FAILED: no program given"; exit 1; }
program=$1 image=${2:-$1}
max_size=65536 objdump_mode=() processor="the i486"
if $dos; then max_size=32768 objdump_mode=(-m i8086) processor="the 386"; fi
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
[ -f "$program" ] || { echo "FAILED: no $program"; exit 1; }

# Pentium and later: RDTSC, RDMSR/WRMSR, RSM, CMPXCHG8B, MMX; P6: CMOV, FCMOV,
# FCOMI/FUCOMI, RDPMC, SYSENTER, long NOP (0F 1F); then SYSCALL, SSE and its
# fences, prefetches and non-temporal stores, FXSAVE, FISTTP, POPCNT and the
# like, ENDBR32.
newer='^(cmov|fcmov|fcomi|fucomi|nopw|nopl|rdtsc|rdmsr|wrmsr|rsm|cmpxchg8b|cmpxchg16b|rdpmc|sysenter|sysexit|syscall|sysret|emms|femms|fxsave|fxrstor|xsave|xrstor|fisttp|lfence|mfence|sfence|clflush|prefetch|movnt|popcnt|lzcnt|tzcnt|movbe|crc32|xgetbv|rdrand|rdseed|endbr)'
# The i486: BSWAP, XADD, CMPXCHG, INVD, WBINVD, INVLPG.
$dos && newer="${newer%)}|bswap|xadd|cmpxchg|invd|wbinvd|invlpg)"
# One disassembly for every check; a file that objdump cannot read, or in
# which it finds no instruction, proves nothing and fails.
if ! objdump -d "${objdump_mode[@]}" --no-show-raw-insn "$program" >"$tmp/disassembly" 2>"$tmp/objdump.err"; then
  echo "FAILED: objdump cannot disassemble $program: $(head -c 200 "$tmp/objdump.err")"; exit 1
fi
instructions=$(grep -c $'^ *[0-9a-f]*:\t' "$tmp/disassembly")
if [ "$instructions" -eq 0 ]; then
  echo "FAILED: no instruction in $program"; exit 1
fi
awk -v newer="$newer" '
  /^[0-9a-f]+ <.*>:$/ { function_name = substr($2, 1, length($2) - 1) }
  /^ *[0-9a-f]+:\t/ {
    split($0, field, "\t"); split(field[2], word, " ")
    if (word[1] ~ newer || field[2] ~ /%[xyz]?mm[0-9]/) print function_name ": " field[2]
  }' "$tmp/disassembly" >"$tmp/newer"
count=$(grep -c '' "$tmp/newer")
if [ "$count" -gt 0 ]; then
  echo "FAILED: $count instructions newer than $processor:"; head -n 20 "$tmp/newer"; fail=1
else
  echo "ok: no instruction newer than $processor ($instructions instructions read)"
fi

# Up to the processor tests, an 8086 must run the start-up code: no operand
# or address size prefix, no 0Fh opcode, none of the 80186's additions
# (PUSHA, POPA, BOUND, PUSH and IMUL with an immediate, INS, OUTS, shifts by
# an immediate, ENTER, LEAVE), no FS or GS.
if $dos; then
  objdump -d -m i8086 --start-address=0x$(nm "$program" | awk '$3 == "_start" { print $1 }') \
    --stop-address=0x$(nm "$program" | awk '$3 == "dos_start_286" { print $1 }') "$program" |
    awk -F'\t' '/^ *[0-9a-f]+:\t/ { print $2 }' >"$tmp/start"
  not_8086=$(awk '{ i = 1; while ($i ~ /^(26|2e|36|3e|f0|f2|f3)$/) i++
    if ($i ~ /^(0f|6[0-9a-f]|c0|c1|c8|c9)$/) print }' "$tmp/start")
  if [ ! -s "$tmp/start" ] || [ -n "$not_8086" ]; then
    echo "FAILED: start-up code not 8086 code before the 386 test:"; echo "$not_8086" | head -n 5; fail=1
  else
    echo "ok: start-up code is 8086 code up to the 286 test ($(grep -c '' "$tmp/start") instructions)"
  fi
fi

# CPUID runs only through cpuid_query, which x86ident calls after the ID bit
# test: musl's start-up code never executes it. (A stripped program names no
# function: that is checked on the build itself.)
if [ -z "$(nm "$program" 2>/dev/null)" ]; then
  echo "ok: stripped, so where CPUID runs is checked on the build, not here"
elif outside=$(awk '/^[0-9a-f]+ <.*>:$/ { function_name = $2 }
    /\tcpuid/ && function_name != "<_Z11cpuid_queryj>:" { print function_name }' "$tmp/disassembly")
  [ -n "$outside" ]; then
  echo "FAILED: CPUID outside cpuid_query: $outside"; fail=1
else
  echo "ok: CPUID in cpuid_query alone"
fi

if $dos; then cp "$image" "$tmp/stripped"; else strip -o "$tmp/stripped" "$program"; fi
if ! size=$(stat -c %s "$tmp/stripped" 2>/dev/null) || [ "$size" -eq 0 ]; then
  echo "FAILED: $(basename "$image"): no stripped program to measure"; fail=1
elif [ "$size" -gt "$max_size" ]; then
  echo "FAILED: $(basename "$image"), stripped, has $size bytes, more than $max_size"; fail=1
else
  echo "ok: $(basename "$image"), stripped, has $size bytes (at most $max_size)"
fi
[ "$fail" -eq 0 ]
