#!/usr/bin/env bash
# The real instruction on emulated processors: x86ident runs under qemu-user
# as processor MODEL (no terminal, so no pauses), and its output, fed to
# x86ident-replay, must come back byte for byte. This ties the hardware back
# end to the recorded one on every vendor path the models reach.
#
#   emulated_cpus.sh X86IDENT X86IDENT_REPLAY QEMU MODEL...
#   emulated_cpus.sh X86IDENT X86IDENT_REPLAY QEMU --identities TABLE [BASE]
#
# With --identities, the processors are the rows of TABLE (see its header),
# and each run must also show the report of its vendor. With BASE (qemu64
# for the x86-64 build), only the rows marked for it run, on that base model
# (qemu's vendorless base model on itself, with x86-64's baseline features).
set -uo pipefail
program=$1 replay=$2 qemu=$3; shift 3
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0

# First line of each vendor report; the unknown vendor's only line.
report_line() {
  case $1 in
    intel) echo 'Intel-specific functions:' ;;
    amd) echo 'AMD-functii specifice' ;;
    cyrix) echo 'functii specifice Cyrix' ;;
    unknown) echo 'Producator necunoscut' ;;
  esac
}

# check NAME CPU [REPORT]
check() {
  local name=$1 cpu=$2 report=${3:-} out=$tmp/$1.txt
  if ! setsid -w timeout 60 "$qemu" -cpu "$cpu" "$program" </dev/null >"$out" 2>"$tmp/$name.err"; then
    echo "FAILED: $name: x86ident did not run: $(head -c 200 "$tmp/$name.err")"; fail=$((fail + 1)); return
  fi
  local vendor after_pause
  vendor=$(grep -a -m1 '^ID : ' "$out" | cat -v) # ^@ for a NUL byte
  after_pause=$(grep -a -A2 '^ID : ' "$out" | sed -n 3p)
  if ! "$replay" --no-pause "$out" >"$tmp/$name.replayed" 2>"$tmp/$name.err"; then
    echo "FAILED: $name: replay refused the output: $(head -c 200 "$tmp/$name.err")"; fail=$((fail + 1))
  elif ! cmp -s "$out" "$tmp/$name.replayed"; then
    echo "FAILED: $name: replay differs"; diff "$out" "$tmp/$name.replayed" | head -5; fail=$((fail + 1))
  elif [ -n "$report" ] && [ "$after_pause" != "$(report_line "$report")" ]; then
    echo "FAILED: $name: expected the $report report, got: $after_pause"; fail=$((fail + 1))
  else
    echo "ok: $name: $(grep -ac '' "$out") lines, $vendor, $after_pause"; pass=$((pass + 1))
  fi
}

if [ "${1:-}" = --identities ]; then
  table=$2 base=${3:-}
  while read -r name report on_base cpu; do
    case $name in '' | '#'*) continue ;; esac
    if [ -n "$base" ]; then
      [ "$on_base" = yes ] || continue
      case $cpu in
        base) cpu=base,lm=on,cmov=on,cx8=on,fpu=on,fxsr=on,mmx=on,sse=on,sse2=on,syscall=on ;;
        *) cpu=$base,${cpu#*,} ;;
      esac
    fi
    check "$name" "$cpu" "$report"
  done <"$table"
else
  for model in "$@"; do check "$model" "$model"; done
fi
echo "emulated processors ($(basename "$qemu")): $pass passed, $fail failed"
[ $((pass + fail)) -gt 0 ] || { echo "FAILED: no processor given"; exit 1; }
[ "$fail" -eq 0 ]
