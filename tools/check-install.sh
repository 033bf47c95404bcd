#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what lands there: the file list, the menu
# entries, the AppStream metadata and the manuals; then packages it and lets lintian judge the
# package. Usage: tools/check-install.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/orca5s bin/orca5 bin/orca5-decode libexec/orca5/nconvert
    share/applications/org.orca5.orca5s.desktop share/applications/org.orca5.orca5.desktop
    share/metainfo/org.orca5.orca5s.metainfo.xml
    share/icons/hicolor/scalable/apps/org.orca5.orca5s.svg
    share/icons/hicolor/48x48/apps/org.orca5.orca5s.png
    share/icons/hicolor/128x128/apps/org.orca5.orca5s.png
    share/icons/hicolor/256x256/apps/org.orca5.orca5s.png
    share/man/man1/orca5s.1.gz share/man/man1/orca5.1.gz share/man/man1/orca5-decode.1.gz
    share/doc/orca5/copyright share/doc/orca5/changelog.gz
)
status=0
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
if [[ "$installed" != "$(printf '%s\n' "${expected[@]}" | sort)" ]]; then
    echo "installed files differ from the expected list:"
    diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$installed") || true
    status=1
fi
desktop-file-validate "$prefix"/share/applications/*.desktop || status=1
appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.xml >/dev/null || {
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.xml; status=1; }
for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [[ -n "$warnings" ]]; then echo "$page: $warnings"; status=1; fi
done
(cd "$build" && cpack -G DEB -B "$prefix/package" >"$prefix/cpack.log" 2>&1) || { cat "$prefix/cpack.log"; status=1; }
# lintian warns when it runs as root, as in CI: that line says nothing of the package
lintian --fail-on error "$prefix"/package/*.deb 2> >(grep -v "running with root privileges" >&2) || status=1
(( status == 0 )) && echo "install: ${#expected[@]} files, menu entries, metadata, manuals and the package check out"
exit $status
