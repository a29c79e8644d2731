#!/usr/bin/env bash
# A new user's first minutes, on a fresh Debian 12: a minimal root
# (debootstrap --variant=minbase bookworm, from the mirror this machine's apt
# sources name), its package lists emptied as a container image's are, the
# clone copied in, /proc, /dev and /dev/pts mounted. There, with no terminal,
# the README's two commands as the README gives them, then
# x86ident-replay --version, the manual pages, and every "$ " example of the
# README from the clone's root.
#
#   fresh_root.sh [CACHE_DIR]
#
# The base root is kept as a tarball in CACHE_DIR (/var/cache/x86ident-ci),
# one per mirror; what the README's commands install never is. Needs root.
set -euo pipefail
cd "$(dirname "$0")/../.."
cache=${1:-/var/cache/x86ident-ci}
fail() { echo "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "a root can be made and mounted by root alone (debootstrap, mount, chroot)"
command -v debootstrap >/dev/null || fail "no debootstrap (.ci/setup installs it)"

# The first Debian mirror of bookworm in the machine's apt sources, one-line
# or deb822.
mirror=$(shopt -s nullglob; awk '
  /^deb[ \t]/ { for (i = 2; i <= NF; ++i) if ($i !~ /^\[/) { if ($(i + 1) == "bookworm") { print $i; exit } break } }
  /^URIs:/ { uri = $2 }
  /^Suites:/ { for (i = 2; i <= NF; ++i) if ($i == "bookworm" && uri != "") { print uri; exit } }
  /^$/ { uri = "" }' /dev/null /etc/apt/sources.lis[t] /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
[ -n "$mirror" ] || fail "no mirror of bookworm in /etc/apt/sources.list or /etc/apt/sources.list.d"

base=$cache/bookworm-minbase-$(printf '%s' "$mirror" | sha256sum | cut -c1-12).tar
if [ ! -s "$base" ]; then
  echo "-- debootstrap --variant=minbase bookworm from $mirror (cached in $base)"
  mkdir -p "$cache"
  made=$(mktemp -d "$cache/root.XXXXXX")
  debootstrap --variant=minbase bookworm "$made" "$mirror" >"$made.log" 2>&1 ||
    { tail -n 20 "$made.log"; rm -rf --one-file-system "$made" "$made.log"; fail "debootstrap could not make the root"; }
  tar --numeric-owner -C "$made" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf --one-file-system "$made" "$made.log"
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/x86ident-fresh.XXXXXX")
mounted=()
# Unmounted whatever happens, last first; the root is deleted only when
# nothing is mounted below it any more, and never across a file system.
cleanup() {
  local status=$? at
  for ((at = ${#mounted[@]} - 1; at >= 0; --at)); do
    umount "${mounted[at]}" 2>/dev/null || umount -l "${mounted[at]}" || true
  done
  if grep -q " $root/" /proc/mounts; then
    echo "FAILED: still mounted below $root, left in place:"; grep " $root/" /proc/mounts
    exit 1
  fi
  rm -rf --one-file-system "$root" "$root.out"
  exit "$status"
}
trap cleanup EXIT
tar --numeric-owner -C "$root" -xf "$base"
rm -rf "${root:?}"/var/lib/apt/lists/* "${root:?}"/var/cache/apt/*.bin "${root:?}"/var/cache/apt/archives/*.deb
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# The clone's files, as git has them (what a build made is left behind).
clone=/root/x86ident
mkdir -p "$root$clone"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | tar -C "$root$clone" -xf -

mount_in() { # TARGET MOUNT-ARGUMENTS...
  local target=$root$1; shift
  mount "$@" "$target" || fail "could not mount $target ($*)"
  mounted+=("$target")
  # Nothing mounted below it may reach the machine's own.
  mount --make-private "$target" || fail "could not make $target private"
}
mount_in /proc -t proc proc
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts

# In the root, from the clone, as root with a plain environment and no
# controlling terminal: bash -c TEXT.
in_root() {
  setsid -w chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "cd $clone && $1" </dev/null
}

# The README's two commands: its first two indented blocks, as they stand.
mapfile -d '' -t commands < <(awk '
  /^    / { block = block (block == "" ? "" : "\n") substr($0, 5); next }
  block != "" { printf "%s%c", block, 0; block = ""; if (++count == 2) exit }' README.md)
[ ${#commands[@]} -eq 2 ] || fail "the README does not open with two commands"
# A mirror in mid-sync fails an index now and then ("File has unexpected
# size"): such a command is tried once more, a minute later.
for command in "${commands[@]}"; do
  echo "-- # $command"
  begun=$SECONDS
  until in_root "$command" >"$root.out" 2>&1; do
    if [ -z "${retried:-}" ] && grep -q '^E: Failed to fetch' "$root.out"; then
      retried=yes; grep '^E: ' "$root.out"; echo "-- the mirror failed an index: once more in a minute"; sleep 60
      continue
    fi
    tail -n 40 "$root.out"; fail "the README's command: $command"
  done
  tail -n 3 "$root.out"
  echo "-- $((SECONDS - begun)) s"
done

version=$(tools/version)
got=$(in_root "x86ident-replay --version") || fail "x86ident-replay --version: $got"
[ "$got" = "x86ident-replay $version" ] || fail "x86ident-replay --version printed: $got"
echo "ok: $got"
for page in x86ident x86ident-replay; do
  [ -f "$root/usr/local/share/man/man1/$page.1.gz" ] || fail "no manual page $page(1) in /usr/local/share/man"
done
echo "ok: both manual pages in /usr/local/share/man/man1"

# Every "$ " example of the README, its comment left out; the pager it pipes
# into is the user's, here one that reads all.
mapfile -t examples < <(sed -n 's/^    \$ \(.*[^ ]\) *# .*/\1/p; t; s/^    \$ //p' README.md)
[ ${#examples[@]} -gt 0 ] || fail "no \$ example in the README"
for example in "${examples[@]}"; do
  printed=$(in_root "set -o pipefail; less() { cat; }; $example" 2>&1) || fail "\$ $example: $printed"
  if [ -z "$printed" ]; then printf -- '-- $ %s: printed nothing\n' "$example"; continue; fi
  printf -- '-- $ %s: %d lines, the first: %s\n' "$example" "$(wc -l <<<"$printed")" "$(head -n 1 <<<"$printed")"
done
