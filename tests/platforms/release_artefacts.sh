#!/usr/bin/env bash
# The release artefacts (tools/make-release): two builds of this commit, in
# two clones at two times, must give the same bytes; each download is used as
# its user would: the Debian packages pass lintian and run from a scratch root
# (the i386 one under qemu-i386), the RPM passes rpmlint and runs from a root
# of rpm's own, makepkg builds the source tarball with the PKGBUILD and runs its
# tests, and the package it makes runs; the Windows zip's programs under wine, the
# DOS zip's X86IDENT.COM in DOSBox, the one-file web page from a file:// URL
# in Chromium. (tools/make-release's rpmbuild and makepkg's check() both build
# the source tarball and pass its tests with the README's command.)
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
version=$(tools/version) || exit 1
check "installed x86ident-replay --version says $version" \
  sh -c "'$root/usr/bin/x86ident-replay' --version | grep -qx 'x86ident-replay $version'"

# Every file that a README links to ships beside it: DIR holding README.md.
readme_links_resolve() {
  local target missing=""
  [ -f "$1/README.md" ] || return 1
  while IFS= read -r target; do
    target=${target%%#*} # a link to a heading: its file
    [ -e "$1/$target" ] || missing="$missing $target"
  done < <(grep -o '](\([^)]*\))' "$1/README.md" | sed 's/^](//; s/)$//' | grep -v '^[a-z]*:')
  [ -z "$missing" ] || { echo "missing:$missing"; return 1; }
}
check "the amd64 package's README: every file it links to beside it" readme_links_resolve "$root/usr/share/doc/x86ident"
check "the i386 package's README: every file it links to beside it" readme_links_resolve "$root386/usr/share/doc/x86ident"
tar -xJf "$dist/x86ident-$version-linux-x86_64.tar.xz" -C "$tmp"
check "the x86-64 tarball's README: every file it links to beside it" readme_links_resolve "$tmp/x86ident-$version-linux-x86_64"
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

# The RPM and Arch packages: the programs, their man pages, the license and the
# documents (NEWS, the README and its guides), and no directory that the system owns.
package_files=$( {
  printf '%s\n' /usr/bin/x86ident /usr/bin/x86ident-replay /usr/share/doc/x86ident/{CONTRIBUTING.md,NEWS,README.md} \
    /usr/share/doc/x86ident/doc/web-page.png /usr/share/licenses/x86ident/LICENSE /usr/share/man/man1/x86ident{,-replay}.1.gz
  git ls-files 'doc/*.md' | sed 's|^|/usr/share/doc/x86ident/|'
} | LC_ALL=C sort)
renders_fixtures() { # REPLAY: the native replay's bytes for a fixture of each vendor
  for fixture in intel_worked_examples amd_k6_annotated cyrix_mediagx_report; do
    "$1" --no-pause "tests/fixtures/$fixture.txt" | cmp - <("$replay" --no-pause "tests/fixtures/$fixture.txt") || return 1
  done
}

rpm=$dist/x86ident-$version-1.x86_64.rpm
rpmlint -c packaging/rpm/rpmlint.toml "$dist/x86ident.spec" "$rpm" >"$tmp/rpmlint" 2>&1
grep -E '(: [EW]: |checked;)' "$tmp/rpmlint" | sed 's/^/  rpmlint: /'
check "rpmlint on the build recipe and the package: no error, no warning" grep -q ' 0 errors, 0 warnings,' "$tmp/rpmlint"
check "rpm -qpl: the package's files and its own two folders of documents" \
  diff - <(rpm -qpl "$rpm") <<<"$(printf '%s\n' "$package_files" /usr/share/doc/x86ident{,/doc} /usr/share/licenses/x86ident | LC_ALL=C sort)"
rpmroot=$tmp/rpmroot
rpm_in_root() { # rpm on the scratch root, less Debian's advice to use alien
  rpm --root "$rpmroot" --dbpath /var/lib/rpm "$@" 2>&1 | grep -v -e 'use Alien' -e 'assuming you know'
  return "${PIPESTATUS[0]}"
}
rpm_in_root --initdb
rpm_in_root -i --nodeps "$rpm"
check "the RPM installed with rpm --root: its x86ident-replay renders the native bytes" renders_fixtures "$rpmroot/usr/bin/x86ident-replay"
check "the RPM's README: every file it links to beside it" readme_links_resolve "$rpmroot/usr/share/doc/x86ident"
rpm_in_root -e x86ident
check "rpm -e x86ident removes every file it installed" \
  test -z "$(find "$rpmroot" -type f ! -path "$rpmroot/var/lib/rpm/*")"

# makepkg refuses root: a user made for the check builds, from the release's
# PKGBUILD and source tarball, with the tests in check().
arch=$tmp/arch as_user=()
mkdir "$arch" && cp "$dist/PKGBUILD" "$dist/x86ident-$version.tar.xz" "$arch/"
if [ "$(id -u)" -eq 0 ]; then
  id -u x86ident-check >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin x86ident-check
  chmod o+x "$tmp" && chown -R x86ident-check: "$arch"
  as_user=(setpriv --reuid=x86ident-check --regid=x86ident-check --init-groups)
fi
makepkg_with_tests() {
  (cd "$arch" && "${as_user[@]}" env HOME="$arch" makepkg --nodeps) 2>&1 | tee "$tmp/makepkg.log" &&
    grep -q '^100% tests passed' "$tmp/makepkg.log"
}
check "makepkg builds the source tarball with the PKGBUILD, its tests passing in check()" makepkg_with_tests
pkg=$(ls "$arch/x86ident-$version-1-x86_64.pkg.tar."*)
bsdtar -xOf "$pkg" .PKGINFO >"$tmp/pkginfo"
check "the Arch package's .PKGINFO: version $version-1, license MIT" \
  sh -c "grep -qx 'pkgver = $version-1' '$tmp/pkginfo' && grep -qx 'license = MIT' '$tmp/pkginfo'"
check "the Arch package's files" diff - <(bsdtar -tf "$pkg" | grep -v -e '/$' -e '^[.]' | sed 's|^|/|' | LC_ALL=C sort) <<<"$package_files"
mkdir "$tmp/archroot" && bsdtar -xf "$pkg" -C "$tmp/archroot"
check "the Arch package's x86ident-replay renders the native bytes" renders_fixtures "$tmp/archroot/usr/bin/x86ident-replay"
check "the Arch package's README: every file it links to beside it" readme_links_resolve "$tmp/archroot/usr/share/doc/x86ident"
echo "release artefacts: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
