#!/usr/bin/env bash
# The vintage x86ident holds no instruction newer than the i486, start-up
# code and libraries included, and fits a boot floppy beside a kernel. An
# emulator executes newer instructions on any model, so only the disassembly
# proves the first.
#
#   vintage_binary.sh X86IDENT
set -uo pipefail
program=$1
max_size=65536
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
[ -f "$program" ] || { echo "FAILED: no $program"; exit 1; }

# Pentium and later: RDTSC, RDMSR/WRMSR, RSM, CMPXCHG8B, MMX; P6: CMOV, FCMOV,
# FCOMI/FUCOMI, RDPMC, SYSENTER, long NOP (0F 1F); then SYSCALL, SSE and its
# fences, prefetches and non-temporal stores, FXSAVE, FISTTP, POPCNT and the
# like, ENDBR32.
newer='^(cmov|fcmov|fcomi|fucomi|nopw|nopl|rdtsc|rdmsr|wrmsr|rsm|cmpxchg8b|cmpxchg16b|rdpmc|sysenter|sysexit|syscall|sysret|emms|femms|fxsave|fxrstor|xsave|xrstor|fisttp|lfence|mfence|sfence|clflush|prefetch|movnt|popcnt|lzcnt|tzcnt|movbe|crc32|xgetbv|rdrand|rdseed|endbr)'
objdump -d --no-show-raw-insn "$program" | awk -v newer="$newer" '
  /^[0-9a-f]+ <.*>:$/ { function_name = substr($2, 1, length($2) - 1) }
  /^ *[0-9a-f]+:\t/ {
    split($0, field, "\t"); split(field[2], word, " ")
    if (word[1] ~ newer || field[2] ~ /%[xyz]?mm[0-9]/) print function_name ": " field[2]
  }' >"$tmp/newer"
count=$(grep -c '' "$tmp/newer")
if [ "$count" -gt 0 ]; then
  echo "FAILED: $count instructions newer than the i486:"; head -n 20 "$tmp/newer"; fail=1
else
  echo "ok: no instruction newer than the i486 ($(objdump -d "$program" | grep -c '^ *[0-9a-f]*:') instructions read)"
fi

# CPUID runs only through cpuid_query, which x86ident calls after the ID bit
# test: musl's start-up code never executes it. (A stripped program names no
# function: that is checked on the build itself.)
if [ -z "$(nm "$program" 2>/dev/null)" ]; then
  echo "ok: stripped, so where CPUID runs is checked on the build, not here"
elif outside=$(objdump -d --no-show-raw-insn "$program" |
  awk '/^[0-9a-f]+ <.*>:$/ { function_name = $2 } /\tcpuid/ && function_name != "<_Z11cpuid_queryj>:" { print function_name }')
  [ -n "$outside" ]; then
  echo "FAILED: CPUID outside cpuid_query: $outside"; fail=1
else
  echo "ok: CPUID in cpuid_query alone"
fi

strip -o "$tmp/stripped" "$program"
size=$(stat -c %s "$tmp/stripped")
if [ "$size" -gt "$max_size" ]; then
  echo "FAILED: stripped size $size bytes, more than $max_size"; fail=1
else
  echo "ok: stripped size $size bytes (at most $max_size)"
fi
[ "$fail" -eq 0 ]
