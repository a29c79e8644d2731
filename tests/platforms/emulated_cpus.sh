#!/usr/bin/env bash
# The real instruction on emulated processors: x86ident runs under qemu-user
# as processor MODEL (no terminal, so no pauses), and its output, fed to
# x86ident-replay, must come back byte for byte. This ties the hardware back
# end to the recorded one on every vendor path the models reach.
#
#   emulated_cpus.sh X86IDENT X86IDENT_REPLAY QEMU MODEL...
set -uo pipefail
program=$1 replay=$2 qemu=$3; shift 3
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
for model in "$@"; do
  if ! setsid -w timeout 60 "$qemu" -cpu "$model" "$program" </dev/null >"$tmp/$model.txt" 2>"$tmp/$model.err"; then
    echo "FAILED: $model: x86ident did not run: $(head -c 200 "$tmp/$model.err")"; fail=$((fail + 1)); continue
  fi
  vendor=$(grep -a -m1 '^ID : ' "$tmp/$model.txt")
  if ! "$replay" --no-pause "$tmp/$model.txt" >"$tmp/$model.replayed" 2>"$tmp/$model.err"; then
    echo "FAILED: $model: replay refused the output: $(head -c 200 "$tmp/$model.err")"; fail=$((fail + 1))
  elif ! cmp -s "$tmp/$model.txt" "$tmp/$model.replayed"; then
    echo "FAILED: $model: replay differs"; diff "$tmp/$model.txt" "$tmp/$model.replayed" | head -5; fail=$((fail + 1))
  else
    echo "ok: $model: $(grep -ac '' "$tmp/$model.txt") lines, $vendor"; pass=$((pass + 1))
  fi
done
echo "emulated processors ($(basename "$qemu")): $pass passed, $fail failed"
[ "$fail" -eq 0 ]
