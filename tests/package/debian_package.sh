#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it in a scratch root
# (dpkg -x): its name, its control fields, its files, and that it depends on
# the package of every library the executable links, plus what Kestrel loads
# at run time; that lintian finds no error and no warning in it, and that
# its AppStream metadata validates.
# Usage: debian_package.sh BUILD_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1 version=$2
need dpkg-shlibdeps dpkg-dev
need desktop-file-validate desktop-file-utils
need lintian lintian
need appstreamcli appstream

scratch=$(mktemp -d /tmp/kestrel-deb.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$scratch/out/kestrel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$scratch/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kestrel ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
field Description | grep -q '^ *;' && fail "the Description's lines are a CMake list: $(field Description)"
depends=$(field Depends)
echo "Depends: $depends"

# Every package named in Depends, without versions.
mapfile -t declared < <(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/ //g' | grep -v '^$')
declares() {
    local p
    for p in "${declared[@]}"; do [ "$p" = "$1" ] && return 0; done
    return 1
}

root=$scratch/root
dpkg -x "$deb" "$root"
check_tree "$root"
check_desktop_entry "$root"
exe=$root/usr/bin/kestrel
check_answers_without_display "$exe" "$version"
readelf -S "$exe" | grep -q '\.debug_info' && fail "the packaged executable is not stripped"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ && $2 != "root/root" { bad = 1; print } END { exit bad }' >&2 \
    || fail "files not owned by root in the package"

# The package of every library the executable links must be a dependency.
while read -r soname; do
    path=$(ldd "$exe" | awk -v lib="$soname" '$1 == lib { print $3 }')
    [ -n "$path" ] || fail "$soname, which kestrel links, is not found on this machine"
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null) \
        || fail "no package holds $path"
    owner=${owner%%:*}
    declares "$owner" || fail "kestrel links $soname from $owner, which Depends lacks"
done < <(readelf -d "$exe" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
# What is loaded at run time rather than linked.
for runtime in odbc-mariadb qt6-qpa-plugins; do
    declares "$runtime" || fail "Depends lacks $runtime, which Kestrel loads at run time"
done

appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >&2 \
    || fail "appstreamcli refuses the metadata"
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 \
    || { cat "$scratch/lintian.log" >&2; fail "lintian reports errors or warnings (above)"; }
echo "$(basename "$deb") holds a working Kestrel, names what it needs and passes lintian."
