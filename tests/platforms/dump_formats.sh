#!/usr/bin/env bash
# Three tools' dumps of one emulated processor read as one: under
# qemu-x86_64 -cpu MODEL, x86ident's own output, Debian's `cpuid -r` and
# libcpuid's `cpuid_tool --save` must give x86ident-replay the same report,
# byte for byte (for every logical processor the dumps hold).
#
#   dump_formats.sh X86IDENT X86IDENT_REPLAY MODEL...
set -uo pipefail
program=$1 replay=$2; shift 2
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
for model in "$@"; do
  dir=$tmp/$model; mkdir "$dir"
  # `cpuid -r` never ends on some models (it walks leaf 0x12 on Denverton): bounded.
  setsid -w timeout 60 qemu-x86_64 -cpu "$model" "$program" </dev/null >"$dir/own.txt" 2>/dev/null &&
    timeout 60 qemu-x86_64 -cpu "$model" "$(command -v cpuid)" -r >"$dir/cpuid-r.txt" 2>/dev/null &&
    timeout 60 qemu-x86_64 -cpu "$model" "$(command -v cpuid_tool)" --save="$dir/libcpuid.raw" >/dev/null 2>&1
  if [ $? -ne 0 ]; then
    echo "FAILED: $model: a dump could not be made"; fail=$((fail + 1)); continue
  fi
  "$replay" --no-pause "$dir/own.txt" >"$dir/own.out" 2>&1
  verdict=ok
  for dump in cpuid-r.txt libcpuid.raw; do
    cpu=0
    while "$replay" --no-pause --cpu "$cpu" "$dir/$dump" >"$dir/$dump.$cpu.out" 2>"$dir/err"; do
      if ! cmp -s "$dir/own.out" "$dir/$dump.$cpu.out"; then
        echo "FAILED: $model: $dump, processor $cpu, differs from x86ident's own dump:"
        diff "$dir/own.out" "$dir/$dump.$cpu.out" | head -n 4
        verdict=failed
      fi
      cpu=$((cpu + 1))
    done
    if [ "$cpu" -eq 0 ] || ! grep -q 'no processor' "$dir/err"; then
      echo "FAILED: $model: $dump refused: $(head -c 200 "$dir/err")"; verdict=failed
    fi
  done
  if [ "$verdict" = ok ]; then
    echo "ok: $model: $(grep -c '' "$dir/own.out") lines, the same from all three dumps ($cpu processors)"
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
  fi
done
echo "dump formats: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
