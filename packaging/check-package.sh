#!/usr/bin/env bash
# Builds the Debian package and checks it the way a user's system meets it:
# lintian (no errors), desktop-file-validate, appstreamcli, the .kyk file type
# and its default program, and both programs run from a copy unpacked into a
# scratch root, from a folder that has nothing to do with Kyklos.
#
#   bash packaging/check-package.sh [build folder]
#
# Without a folder it configures the default preset into build-package/ with
# the tests and benchmarks left out (they are not packaged), so that CI does
# not compile them a second time. Given a folder that is already configured
# (for example build/ after `cmake --build --preset default`), it packages that.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

if [ $# -ge 1 ]; then
  build="$(cd "$1" && pwd)"
else
  build="$root/build-package"
  cmake --preset default -B "$build" -DBUILD_TESTING=OFF -DKYKLOS_BUILD_BENCHMARKS=OFF > /dev/null
fi
cmake --build "$build" -j "$(nproc)"

step() { echo "== $*"; }
fail() { echo "check-package: $*" >&2; exit 1; }

step "cpack -G DEB"
rm -f "$build"/kyklos_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb="$(ls "$build"/kyklos_*.deb)"
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends
# The page's text is measured in Liberation Sans: without it the text runs past the page's edge.
dpkg-deb --field "$deb" Depends | grep -qw fonts-liberation || fail "the package does not depend on fonts-liberation"

step "lintian"
# Errors fail the check; warnings and notes are shown. The programs are built
# hardened (fortify, bind-now), so lintian must not miss either.
lintian --fail-on error --display-info "$deb" | tee "$build/lintian.txt"
if grep -E 'hardening-no-(fortify-functions|bindnow|relro)' "$build/lintian.txt"; then
  fail "the programs are not hardened"
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
share="$scratch/root/usr/share"

step "desktop-file-validate"
desktop-file-validate "$share/applications/kyklos.desktop"

step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml
# The same metadata together with the desktop entry and icons it refers to.
appstreamcli validate-tree --no-net "$scratch/root"

step "manual pages"
for page in kyklos kyklos-report; do
  [ -s "$share/man/man1/$page.1.gz" ] || fail "no manual page $page(1)"
done

step "the .kyk file type and its program"
export XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
update-mime-database "$share/mime"
update-desktop-database "$share/applications"
mkdir -p "$scratch/files"
cp "$root/samples/shaft.kyk" "$scratch/files/shaft.kyk"
printf 'KYKLOS_DATA 1.0\n' > "$scratch/files/profile-without-extension"
for file in shaft.kyk profile-without-extension; do
  type="$(xdg-mime query filetype "$scratch/files/$file")"
  echo "$file: $type"
  [ "$type" = application/x-kyklos ] || fail "$file is $type, not application/x-kyklos"
done
default="$(xdg-mime query default application/x-kyklos)"
echo "opened by: $default"
[ "$default" = kyklos.desktop ] || fail "application/x-kyklos opens with '$default', not kyklos.desktop"

step "the installed programs, run from an unrelated folder"
bin="$scratch/root/usr/bin"
mkdir -p "$scratch/elsewhere"
cd "$scratch/elsewhere"
"$bin/kyklos-report" --version
"$bin/kyklos" --version
"$bin/kyklos-report" --demo -o page.png
[ "$(head -c 8 page.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "page.png is not a PNG file"
# The page's text shows whether the logos were drawn: the caption between the
# two logos appears only when both were read from the installed data folder.
"$bin/kyklos-report" --demo -o page.svg
grep -q "in collaboration with" page.svg || fail "the installed program did not draw the logos"
if grep -q "not found" page.svg; then fail "the installed program did not find its logo"; fi
echo "package check passed: $(basename "$deb")"
