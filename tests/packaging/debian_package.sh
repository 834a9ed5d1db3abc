#!/usr/bin/env bash
# The Debian package of the build: made with `cpack -G DEB`, then looked at
# as an installer would see it: its files, its dependencies on Debian's
# packages, a valid desktop entry, the MIME type of project files, and no
# lintian errors.
#   debian_package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/veltrano_*_*.deb)

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/veltrano ./usr/bin/veltrano-cli \
    ./usr/share/applications/veltrano.desktop \
    ./usr/share/icons/hicolor/scalable/apps/veltrano.svg \
    ./usr/share/mime/packages/veltrano.xml \
    ./usr/share/veltrano/Manual/操作マニュアル.pdf \
    ./usr/lib/veltrano/veltrano-cli-qt.so \
    ./usr/share/doc/veltrano/copyright ./usr/share/doc/veltrano/changelog.gz; do
  grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done
# Every file owned by root, nothing outside /usr.
if grep -v ' root/root ' <<<"$contents"; then fail "files not owned by root"; fi
if awk '{print $6}' <<<"$contents" | grep -v '^\./usr/\|^\./$'; then fail "files outside /usr"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6printsupport6 libpoppler-qt6 libxlsxwriter \
    fonts-ipafont-gothic qt6-qpa-plugins; do
  grep -q "$package" <<<"$depends" || fail "no dependency on $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = veltrano ] || fail "package name"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/veltrano.desktop" ||
  fail "desktop entry"
grep -q '^MimeType=application/x-veltrano-project;$' \
  "$work/root/usr/share/applications/veltrano.desktop" || fail "no MIME type in the entry"
grep -q '^Name\[ja\]=' "$work/root/usr/share/applications/veltrano.desktop" ||
  fail "no Japanese name"
# The MIME type registers *.xdt.
update-mime-database "$work/root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q 'application/x-veltrano-project:\*\.xdt' "$work/root/usr/share/mime/globs2" ||
  fail "*.xdt is not registered"
# The tool in the package runs, and finds its Qt module for PDF drawings.
"$work/root/usr/bin/veltrano-cli" --help >/dev/null || fail "the packaged veltrano-cli"
mkdir -p "$work/base"
printf 'plan attach base:none.pdf\n' >"$work/attach.vts"
if "$work/root/usr/bin/veltrano-cli" --base "$work/base" run "$work/attach.vts" 2>&1 |
    grep -q 'reads no PDF drawings'; then
  fail "the packaged veltrano-cli does not find its Qt module"
fi

lintian --fail-on error --suppress-tags no-manual-page "$deb" 2>&1 | grep -v 'root privileges' ||
  true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian errors"
echo "package $(basename "$deb") checked"
