#!/usr/bin/env bash
# Other tools' dumps of one emulated processor read as x86ident's own: under
# qemu-x86_64 -cpu MODEL, Debian's `cpuid -r`, libcpuid's `cpuid_tool --save`,
# `cpufetch --raw` and `x86info -r` must give x86ident-replay the same report
# as x86ident's own output, byte for byte, for every logical processor the
# dumps hold; so must that output as Windows PowerShell 5.1 saves it (UTF-16
# with a byte-order mark, CR LF). `hwloc-gather-cpuid` records only the
# leaves hwloc uses: each leaf of each of its pu files must print the raw
# dump line of x86ident's own dump.
#
#   dump_formats.sh X86IDENT X86IDENT_REPLAY MODEL...
set -uo pipefail
program=$1 replay=$(realpath "$2"); shift 2
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
# x86info reads /dev/cpu/N/cpuid where it exists, which is the host's CPUID:
# a tmpfs over it makes it execute the emulated instruction.
x86info_emulated() { # MODEL
  unshare -m sh -c '[ -d /dev/cpu ] && mount -t tmpfs none /dev/cpu; exec "$@"' sh \
    timeout 60 qemu-x86_64 -cpu "$1" "$(command -v x86info)" -r
}
for model in "$@"; do
  dir=$tmp/$model; mkdir "$dir"
  # `cpuid -r` never ends on some models (it walks leaf 0x12 on Denverton): bounded.
  setsid -w timeout 60 qemu-x86_64 -cpu "$model" "$program" </dev/null >"$dir/own.txt" 2>/dev/null &&
    timeout 60 qemu-x86_64 -cpu "$model" "$(command -v cpuid)" -r >"$dir/cpuid-r.txt" 2>/dev/null &&
    timeout 60 qemu-x86_64 -cpu "$model" "$(command -v cpuid_tool)" --save="$dir/libcpuid.raw" >/dev/null 2>&1 &&
    timeout 60 qemu-x86_64 -cpu "$model" "$(command -v cpufetch)" --raw >"$dir/cpufetch.txt" 2>/dev/null &&
    x86info_emulated "$model" >"$dir/x86info.txt" 2>/dev/null &&
    (cd "$dir" && timeout 60 qemu-x86_64 -cpu "$model" "$(command -v hwloc-gather-cpuid)" >/dev/null 2>&1)
  if [ $? -ne 0 ]; then
    echo "FAILED: $model: a dump could not be made"; fail=$((fail + 1)); continue
  fi
  { printf '\xff\xfe'; sed 's/$/\r/' "$dir/own.txt" | iconv -f ISO-8859-1 -t UTF-16LE; } >"$dir/powershell.txt"
  "$replay" --no-pause "$dir/own.txt" >"$dir/own.out" 2>&1
  verdict=ok counts=""
  for dump in cpuid-r.txt libcpuid.raw cpufetch.txt x86info.txt powershell.txt; do
    cpu=0
    while "$replay" --no-pause --cpu "$cpu" "$dir/$dump" >"$dir/$dump.$cpu.out" 2>"$dir/err"; do
      if ! cmp -s "$dir/own.out" "$dir/$dump.$cpu.out"; then
        echo "FAILED: $model: $dump, processor $cpu, differs from x86ident's own dump:"
        diff "$dir/own.out" "$dir/$dump.$cpu.out" | head -n 4
        verdict=failed
      fi
      cpu=$((cpu + 1))
    done
    counts="$counts ${dump%.*} $cpu,"
    if [ "$cpu" -eq 0 ] || ! grep -q 'no processor' "$dir/err"; then
      echo "FAILED: $model: $dump refused: $(head -c 200 "$dir/err")"; verdict=failed
    fi
  done
  # hwloc: the raw dump line of every leaf it recorded (sub-leaf 0).
  cpu=0 lines=0
  for pu in $(cd "$dir/cpuid" && ls pu* | sort -k1.3n); do
    if ! "$replay" --no-pause --cpu "$cpu" "$dir/cpuid" >"$dir/hwloc.out" 2>"$dir/err"; then
      echo "FAILED: $model: hwloc folder, processor $cpu: $(head -c 200 "$dir/err")"; verdict=failed; break
    fi
    while read -r mask eax _ ecx _ arrow _; do
      [ "$arrow" = "=>" ] && { [ $((16#$mask & 4)) -eq 0 ] || [ $((16#$ecx)) -eq 0 ]; } || continue
      leaf=$(printf '%08x' $((16#$eax)))
      expected=$(grep -m1 "^$leaf " "$dir/own.txt") got=$(grep -m1 "^$leaf " "$dir/hwloc.out")
      if [ -z "$expected" ] || [ "$expected" != "$got" ]; then
        echo "FAILED: $model: hwloc $pu, leaf $leaf: '$got', x86ident's own: '$expected'"; verdict=failed
      fi
      lines=$((lines + 1))
    done <"$dir/cpuid/$pu"
    cpu=$((cpu + 1))
  done
  if [ "$lines" -eq 0 ]; then echo "FAILED: $model: no leaf in the hwloc folder"; verdict=failed; fi
  if [ "$verdict" = ok ]; then
    echo "ok: $model: $(grep -c '' "$dir/own.out") lines, the same from every dump (processors:${counts} hwloc $cpu, $lines leaves)"
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
  fi
done
echo "dump formats: $pass passed, $fail failed"
[ $((pass + fail)) -gt 0 ] || { echo "FAILED: no processor given"; exit 1; }
[ "$fail" -eq 0 ]
