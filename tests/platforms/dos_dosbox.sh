#!/usr/bin/env bash
# X86IDENT.COM in DOSBox, headless: on each of its processors, with keys
# pressed on the console by RUNKEYS.COM (which also keeps the exit code and
# standard error, as DOSBox's shell cannot), and then the same program on
# recorded processors of every vendor, against the native replay tool.
#
#   dos_dosbox.sh DOS_BUILD X86IDENT_REPLAY [X86IDENT]
#
# With X86IDENT (the native program) a modern processor's dump, every
# extended leaf included, is made under qemu-x86_64 for the recorded runs.
set -uo pipefail
build=$(cd "$1" && pwd) replay=$(realpath "$2") native=${3:+$(realpath "$3")}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
drive=$tmp/c; mkdir -p "$drive"
pass=0 fail=0
keys=8 # one per pause and more: a report has at most 6 pauses

# dosbox CPUTYPE SECONDS COMMAND: runs COMMAND on drive C; 124 on a timeout.
dosbox_run() {
  rm -f "$drive"/{OUT,ERR,RC}.TXT
  cat >"$tmp/dosbox.conf" <<EOF
[sdl]
output=surface
[cpu]
core=normal
cputype=$1
cycles=max
[mixer]
nosound=true
[speaker]
pcspeaker=false
[autoexec]
mount c "$drive"
c:
$3
exit
EOF
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout "$2" dosbox -conf "$tmp/dosbox.conf" -exit >"$tmp/dosbox.log" 2>&1
  local status=$?
  if grep -q 'is not a valid value' "$tmp/dosbox.log"; then
    echo "FAILED: DOSBox refused cputype $1"; return 1
  fi
  return $status
}

ok() { echo "ok: $*"; pass=$((pass + 1)); }
failed() { echo "FAILED: $*"; fail=$((fail + 1)); }

# What the native replay tool makes of a DOS output: its screens, split at the
# pauses, and how many keys the run leaves, one per pause taken.
expect_from() { # DUMP
  "$replay" --mark-pauses "$1" >"$tmp/marked" || return 1
  pauses=$(tr -cd '\f' <"$tmp/marked" | wc -c)
  tr -d '\f' <"$tmp/marked" >"$tmp/expected"
  awk 'BEGIN { RS = "\f" } NR == 1 { printf "%s", $0; exit }' "$tmp/marked" >"$tmp/first_screen"
}

# check_report NAME KEYS_USED: OUT.TXT is a whole report with CR LF line ends
# that replays to itself, the run took one key per pause and exited with 0.
check_report() {
  local name=$1 used_for_pauses=$2
  tr -d '\r' <"$drive/OUT.TXT" >"$tmp/out"
  if [ ! -s "$tmp/out" ] || grep -qv $'\r$' "$drive/OUT.TXT"; then
    failed "$name: output empty or a line end without CR"; return
  fi
  if ! expect_from "$tmp/out"; then failed "$name: the replay tool refused the output"; return; fi
  local left=$((keys - pauses + used_for_pauses))
  if ! cmp -s "$tmp/out" "$tmp/expected"; then
    failed "$name: differs from its replay"; diff "$tmp/out" "$tmp/expected" | head -5
  elif [ "$(cat "$drive/RC.TXT" 2>/dev/null)" != "exit 0, $left keys left"$'\r' ]; then
    failed "$name: $(cat "$drive/RC.TXT" 2>/dev/null), expected exit 0, $left keys left ($pauses pauses)"
  else
    ok "$name: $(grep -c '' "$tmp/out") lines, $(grep -a -m1 '^ID : ' "$tmp/out"), $pauses pauses"
  fi
}

cp "$build/X86IDENT.COM" "$build/RUNKEYS.COM" "$drive"/
printf '%64s\r\n' '' >"$drive/SPACES.TXT"
spaces=$(printf 's%.0s' $(seq $keys))

# The processors DOSBox has: no CPUID on the 386s (the ID bit is fixed),
# leaves 0 and 1 on the 486 and the Pentium.
for cpu in 386 386_slow 386_prefetch; do
  dosbox_run $cpu 20 "RUNKEYS.COM $spaces X86IDENT.COM > OUT.TXT"
  if [ "$(cat "$drive/ERR.TXT")" = "x86ident: this processor has no CPUID instruction"$'\r' ] &&
    [ ! -s "$drive/OUT.TXT" ] && [ "$(cat "$drive/RC.TXT")" = "exit 1, $keys keys left"$'\r' ]; then
    ok "$cpu: no CPUID: the message, exit code 1, nothing on standard output"
  else
    failed "$cpu: $(cat "$drive/RC.TXT" "$drive/ERR.TXT" 2>&1 | tr '\r\n' '  ')"
  fi
done
for cpu in 486_slow auto pentium_slow; do
  dosbox_run $cpu 20 "RUNKEYS.COM $spaces X86IDENT.COM > OUT.TXT"
  check_report "$cpu" 0
done

# An up arrow (00h and a scan code) ends two waits; standard input changes
# nothing; Ctrl-C ends the program at the pause, as DOS ends one on Ctrl-C.
dosbox_run auto 20 "RUNKEYS.COM u${spaces:1} X86IDENT.COM > OUT.TXT"
check_report "up arrow at the first pause" 1
dosbox_run auto 20 "RUNKEYS.COM $spaces X86IDENT.COM < NUL > OUT.TXT"
check_report "standard input from NUL" 0
dosbox_run auto 20 "RUNKEYS.COM $spaces X86IDENT.COM < SPACES.TXT > OUT.TXT"
check_report "standard input from a file of spaces" 0
dosbox_run auto 20 "RUNKEYS.COM c${spaces:1} X86IDENT.COM > OUT.TXT"
tr -d '\r' <"$drive/OUT.TXT" >"$tmp/out"
if expect_from "$tmp/out" && cmp -s "$tmp/out" "$tmp/first_screen" &&
  [ "$(cat "$drive/RC.TXT")" = "exit 0, $((keys - 1)) keys left"$'\r' ]; then
  ok "Ctrl-C at the first pause: the first screen, exit code 0"
else
  failed "Ctrl-C at the first pause: $(cat "$drive/RC.TXT" 2>&1)"
fi
for input in NUL SPACES.TXT; do
  if dosbox_run auto 4 "RUNKEYS.COM - X86IDENT.COM < $input > OUT.TXT"; then
    failed "no key, standard input from $input: the program did not wait"
  else
    tr -d '\r' <"$drive/OUT.TXT" >"$tmp/out"
    if expect_from "$tmp/out" && cmp -s "$tmp/out" "$tmp/first_screen" && [ ! -e "$drive/RC.TXT" ]; then
      ok "no key, standard input from $input: waits at the first pause, the dump and vendor line written"
    else
      failed "no key, standard input from $input: not the first screen"
    fi
  fi
done

# Recorded processors: DOS programs whose CPUID answers from a dump's leaves.
recordings=$tmp/recordings; mkdir -p "$recordings"
for fixture in intel_worked_examples amd_k6_annotated cyrix_mediagx_report; do
  "$replay" --no-pause "$source_dir/tests/fixtures/$fixture.txt" >"$recordings/${fixture%%_*}.txt"
done
if [ -n "$native" ]; then
  setsid -w timeout 60 qemu-x86_64 -cpu EPYC "$native" </dev/null >"$recordings/epyc.txt" 2>/dev/null
fi
if ! cmake --preset dos -B "$tmp/build" -DX86IDENT_DOS_RECORDINGS="$recordings" >"$tmp/build.log" 2>&1 ||
  ! cmake --build "$tmp/build" -j 2 >>"$tmp/build.log" 2>&1; then
  failed "recorded DOS programs did not build"; tail -n 20 "$tmp/build.log"
fi
for recording in "$recordings"/*.txt; do
  name=$(basename "$recording" .txt)
  cp "$tmp/build/${name^^}.COM" "$drive"/
  dosbox_run auto 20 "RUNKEYS.COM $spaces ${name^^}.COM > OUT.TXT"
  check_report "recorded $name" 0
  "$replay" --no-pause "$recording" | cmp -s - "$tmp/out" || failed "recorded $name: differs from the native replay"
done

# A full floppy: 2048 bytes free (one cluster), a report twice as long. The
# write that comes up short ends the program with the cause and status 1.
if [ -e "$tmp/build/EPYC.COM" ]; then
  mkfs.fat -C "$drive/FULL.IMG" 160 >/dev/null
  free=$(mdir -i "$drive/FULL.IMG" :: | awk '/bytes free/ { gsub(/[^0-9]/, ""); print }')
  head -c $((free - 2048)) /dev/zero >"$tmp/fill" && mcopy -i "$drive/FULL.IMG" "$tmp/fill" ::FILL
  dosbox_run auto 20 "imgmount a C:\FULL.IMG -t floppy
RUNKEYS.COM $spaces EPYC.COM > A:CPU.TXT"
  written=$(mcopy -i "$drive/FULL.IMG" ::CPU.TXT - | wc -c)
  if [ "$(cat "$drive/ERR.TXT")" = "x86ident: error writing standard output: No space left on device"$'\r' ] &&
    [ "$(head -c 6 "$drive/RC.TXT")" = "exit 1" ] && [ "$written" -eq 2048 ]; then
    ok "a full floppy: $written bytes written, the cause on standard error, exit code 1"
  else
    failed "a full floppy: $written bytes written, $(cat "$drive/RC.TXT" "$drive/ERR.TXT" 2>&1 | tr '\r\n' '  ')"
  fi
fi

echo "DOSBox: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
