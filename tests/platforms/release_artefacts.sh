#!/usr/bin/env bash
# The release artefacts (tools/make-release): two builds of this commit, in
# two clones at two times, must give the same bytes; each download is used as
# its user would: the Debian packages pass lintian and run from a scratch root
# (the i386 one under qemu-i386), the Windows zip's programs under wine, the
# DOS zip's X86IDENT.COM in DOSBox, the one-file web page from a file:// URL
# in Chromium; the source tarball must build and pass its tests with the
# README's command.
#
#   release_artefacts.sh          (from a git checkout)
set -uo pipefail
cd "$(dirname "$0")/../.."
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pass=0 fail=0
check() { # WHAT COMMAND...
  local what=$1; shift
  if "$@" >"$tmp/log" 2>&1; then
    echo "ok: $what"; pass=$((pass + 1))
  else
    echo "FAILED: $what"; tail -n 20 "$tmp/log"; fail=$((fail + 1))
  fi
}

for build in first second; do
  git clone -q . "$tmp/$build"
  check "artefacts, $build build" "$tmp/$build/tools/make-release"
  sleep 2 # the second build at another time
done
dist=$tmp/first/build/dist
ls -l "$dist" | tail -n +2
check "both builds give the same bytes" diff -r "$dist" "$tmp/second/build/dist"
check "SHA256SUMS" sh -c "cd '$dist' && sha256sum -c SHA256SUMS"

for deb in "$dist"/*.deb; do
  lintian --fail-on error,warning "$deb" >"$tmp/lintian" 2>&1
  status=$?
  grep -v 'running with root privileges' "$tmp/lintian" | sed 's/^/  lintian: /'
  check "lintian --fail-on error,warning $(basename "$deb")" test "$status" -eq 0
done

root=$tmp/root
dpkg -x "$dist"/*_amd64.deb "$root"
setsid -w "$root/usr/bin/x86ident" </dev/null >"$tmp/own.txt"
check "installed x86ident replays to itself with the installed x86ident-replay" \
  sh -c "'$root/usr/bin/x86ident-replay' --no-pause '$tmp/own.txt' | cmp - '$tmp/own.txt'"
root386=$tmp/root386
dpkg -x "$dist"/*_i386.deb "$root386"
setsid -w qemu-i386 -cpu pentium "$root386/usr/bin/x86ident" </dev/null >"$tmp/own386.txt"
check "the i386 package's x86ident (qemu-i386, a Pentium) replays to itself with its replay tool" \
  sh -c "test -s '$tmp/own386.txt' && qemu-i386 '$root386/usr/bin/x86ident-replay' --no-pause '$tmp/own386.txt' | cmp - '$tmp/own386.txt'"
version=$(sed -n 's/^project(x86ident VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
check "installed x86ident-replay --version says $version" \
  sh -c "'$root/usr/bin/x86ident-replay' --version | grep -qx 'x86ident-replay $version'"

tar -xJf "$dist/x86ident-$version-linux-i486.tar.xz" -C "$tmp"
check "the vintage download's program" tests/platforms/vintage_binary.sh "$tmp/x86ident-$version-linux-i486/x86ident"

work=$tmp/first/build/dist-work
replay=$work/x86_64/x86ident-replay
mkdir "$tmp/windows" "$tmp/dos"
unzip -q "$dist/x86ident-$version-windows-x86_64.zip" -d "$tmp/windows"
check "the Windows zip under wine: its replay tool on every fixture, x86ident.exe replays to itself" \
  tests/platforms/windows_under_wine.sh "$tmp/windows" "$replay" tests/fixtures
unzip -q "$dist/x86ident-$version-dos.zip" -d "$tmp/dos"
check "the DOS zip: README.TXT and LICENSE.TXT beside X86IDENT.COM, at most 32 KiB" \
  sh -c "cd '$tmp/dos' && ls | tr '\n' ' ' | grep -qx 'LICENSE.TXT README.TXT X86IDENT.COM ' &&
    test \$(stat -c %s X86IDENT.COM) -le 32768"
cp "$work/dos/RUNKEYS.COM" "$tmp/dos/"
check "the DOS zip's X86IDENT.COM in DOSBox" tests/platforms/dos_dosbox.sh "$tmp/dos" "$replay"
html=$dist/x86ident-$version.html
check "the one-file web page: at most 192 KiB" test "$(stat -c %s "$html")" -le $((192 * 1024))
check "the one-file web page from a file:// URL in Chromium" \
  env X86IDENT_PAGE="$work/wasm/web" X86IDENT_NPM="$work/wasm/npm" X86IDENT_REPLAY="$replay" X86IDENT_SINGLE_FILE="$html" \
  node --test --test-name-pattern="one-file" tests/web/

tar -xJf "$dist/x86ident-$version.tar.xz" -C "$tmp"
check "the source tarball builds and passes its tests (cmake --workflow --preset test)" \
  sh -c "cd '$tmp/x86ident-$version' && cmake --workflow --preset test"
echo "release artefacts: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
