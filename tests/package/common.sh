# Helpers of the checks on an installed Kestrel. Sourced by the scripts here.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# install_into_scratch BUILD_DIR NAME: installs the build with DESTDIR into
# $root, a prefix /usr under a fresh $scratch folder, which goes at exit
# together with the Kestrel started there as $pid.
pid=
install_into_scratch() {
    scratch=$(mktemp -d "/tmp/kestrel-$2.XXXXXX")
    trap 'remove_scratch' EXIT
    root=$scratch/root
    DESTDIR=$root cmake --install "$1" --prefix /usr >/dev/null
}

remove_scratch() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$scratch"
}

need() {
    command -v "$1" >/dev/null || fail "$1 is missing (package $2; scripts/packages.sh installs it)"
}

# check_tree ROOT: the files under ROOT are exactly those installed-files.txt lists.
check_tree() {
    local root=$1 found
    found=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
    diff <(sort "$(dirname "${BASH_SOURCE[0]}")/installed-files.txt") <(echo "$found") >&2 \
        || fail "the files installed under $root are not those of installed-files.txt (diff above)"
}

# check_desktop_entry ROOT: the entry validates and names what is installed.
check_desktop_entry() {
    local root=$1 entry=$1/usr/share/applications/kestrel.desktop
    desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
    grep -qx 'Categories=Office;' "$entry" || fail "the desktop entry is not in the Office category"
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -x "$root/usr/bin/$exec" ] || fail "Exec=$exec is not an installed executable"
    compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null \
        || fail "Icon=$icon is not an installed icon"
}

# check_answers_without_display EXE VERSION: --version and --help print and
# exit with nothing of a display in the environment; a mistyped option fails.
check_answers_without_display() {
    local exe=$1 version=$2 out
    local bare=(env -i PATH=/usr/bin:/bin HOME=/nonexistent)
    out=$("${bare[@]}" "$exe" --version) || fail "--version failed"
    [ "$out" = "Kestrel $version" ] || fail "--version printed '$out'"
    out=$("${bare[@]}" "$exe" --help) || fail "--help failed"
    grep -q -- '--workdir <DIR>' <<<"$out" || fail "--help does not mention --workdir: $out"
    local rc=0
    out=$("${bare[@]}" "$exe" --no-such-option 2>&1) || rc=$?
    [ "$rc" = 2 ] || fail "an unknown option exits with $rc: $out"
    grep -q "unknown option '--no-such-option'" <<<"$out" || fail "an unknown option says '$out'"
}
