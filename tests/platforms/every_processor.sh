#!/usr/bin/env bash
# Every logical processor of every dump file renders, as --list numbers
# them: x86ident-replay --cpu N for each, where one that --list shows
# without a vendor id (no record of leaf 0: a dump cut short) must be
# refused so; the one after the last must be refused with the count.
#
#   every_processor.sh X86IDENT_REPLAY FILE...
set -uo pipefail
replay=$1; shift
[ $# -gt 0 ] || { echo "FAILED: no dump file given"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
for dump in "$@"; do
  verdict=ok cpu=0 refused=0
  if ! timeout 10 "$replay" --list "$dump" >"$tmp/list" 2>"$tmp/err"; then
    verdict="--list: $(head -c 200 "$tmp/err")"
  fi
  while [ "$verdict" = ok ] && IFS= read -r line; do
    number=${line%%$'\t'*} rest=${line#*$'\t'}
    vendor=${rest%%$'\t'*} # empty fields count: a tab is not split on like a blank
    if [ "$number" != "$cpu" ]; then verdict="--list numbers processor $cpu as $number"; break; fi
    timeout 10 "$replay" --no-pause --cpu "$cpu" "$dump" >/dev/null 2>"$tmp/err"
    status=$?
    if [ -n "$vendor" ] && [ $status -ne 0 ]; then
      verdict="processor $cpu: $(head -c 200 "$tmp/err")"
    elif [ -z "$vendor" ] && ! grep -q ': no record of leaf 0$' "$tmp/err"; then
      verdict="processor $cpu, without a leaf 0, not refused so: $(head -c 200 "$tmp/err")"
    fi
    [ -z "$vendor" ] && refused=$((refused + 1))
    cpu=$((cpu + 1))
  done <"$tmp/list"
  if [ "$verdict" = ok ] && { [ "$cpu" -eq 0 ] || timeout 10 "$replay" --no-pause --cpu "$cpu" "$dump" >/dev/null 2>"$tmp/err" ||
    ! grep -q "no processor $cpu: the dump holds $cpu processor" "$tmp/err"; }; then
    verdict="processor $cpu, past the last: $(head -c 200 "$tmp/err")"
  fi
  if [ "$verdict" = ok ]; then
    echo "ok: $(basename "$dump"): $cpu processors$([ "$refused" -eq 0 ] || echo ", $refused without a leaf 0 (refused)")"
    pass=$((pass + 1))
  else
    echo "FAILED: $(basename "$dump"): $verdict"; fail=$((fail + 1))
  fi
done
echo "every processor: $pass files passed, $fail failed"
[ "$fail" -eq 0 ]
