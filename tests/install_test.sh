#!/usr/bin/env bash
# Installs the build into a staging DESTDIR (a plain cmake --install) and runs
# the installed replay tool on a fixture, as a packager would check it.
#   install_test.sh BUILD_DIR FIXTURES_DIR
set -euo pipefail
build=$1 fixtures=$2
stage=$(mktemp -d); trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
fail=0 pass=0
check() { if "$@"; then pass=$((pass + 1)); else echo "FAILED: $*"; fail=$((fail + 1)); fi; }
check test -x "$stage/usr/bin/x86ident-replay"
check test -f "$stage/usr/share/man/man1/x86ident-replay.1.gz"
# The Debian package's own files (copyright, changelog, lintian override) are its alone.
check test ! -e "$stage/usr/share/lintian"
check test ! -e "$stage/usr/share/doc/x86ident/copyright"
if [ -e "$build/x86ident" ]; then
  check test -x "$stage/usr/bin/x86ident"
  check test -f "$stage/usr/share/man/man1/x86ident.1.gz"
fi
expected=$(tr -d '\f' < "$fixtures/amd_k6_annotated.out"; echo x)
got=$("$stage/usr/bin/x86ident-replay" --no-pause "$fixtures/amd_k6_annotated.txt"; echo x)
check test "$got" = "$expected"
echo "install: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
