#!/usr/bin/env bash
# Every logical processor of every dump file renders: x86ident-replay --cpu N
# from 0 until the refusal that names the processor count, which must match.
#
#   every_processor.sh X86IDENT_REPLAY FILE...
set -uo pipefail
replay=$1; shift
[ $# -gt 0 ] || { echo "FAILED: no dump file given"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
for dump in "$@"; do
  cpu=0
  while timeout 10 "$replay" --no-pause --cpu "$cpu" "$dump" >/dev/null 2>"$tmp/err"; do cpu=$((cpu + 1)); done
  if [ "$cpu" -gt 0 ] && grep -q "no processor $cpu: the dump holds $cpu processor" "$tmp/err"; then
    echo "ok: $(basename "$dump"): $cpu processors"; pass=$((pass + 1))
  else
    echo "FAILED: $(basename "$dump"), processor $cpu: $(head -c 200 "$tmp/err")"; fail=$((fail + 1))
  fi
done
echo "every processor: $pass files passed, $fail failed"
[ "$fail" -eq 0 ]
