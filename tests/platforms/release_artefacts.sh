#!/usr/bin/env bash
# The release artefacts (tools/make-release): two builds of this commit, in
# two clones at two times, must give the same bytes; the Debian package must
# pass lintian and run from a scratch root; the source tarball must build and
# pass its tests with the README's command.
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

deb=$(ls "$dist"/*.deb)
lintian --fail-on error,warning "$deb" >"$tmp/lintian" 2>&1
status=$?
grep -v 'running with root privileges' "$tmp/lintian" | sed 's/^/  lintian: /'
check "lintian --fail-on error,warning" test "$status" -eq 0

root=$tmp/root
dpkg -x "$deb" "$root"
setsid -w "$root/usr/bin/x86ident" </dev/null >"$tmp/own.txt"
check "installed x86ident replays to itself with the installed x86ident-replay" \
  sh -c "'$root/usr/bin/x86ident-replay' --no-pause '$tmp/own.txt' | cmp - '$tmp/own.txt'"
version=$(sed -n 's/^project(x86ident VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
check "installed x86ident-replay --version says $version" \
  sh -c "'$root/usr/bin/x86ident-replay' --version | grep -qx 'x86ident-replay $version'"

tar -xJf "$dist/x86ident-$version-linux-i486.tar.xz" -C "$tmp"
check "the vintage download's program" tests/platforms/vintage_binary.sh "$tmp/x86ident-$version-linux-i486/x86ident"

tar -xJf "$dist/x86ident-$version.tar.xz" -C "$tmp"
check "the source tarball builds and passes its tests (cmake --workflow --preset test)" \
  sh -c "cd '$tmp/x86ident-$version' && cmake --workflow --preset test"
echo "release artefacts: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
