#!/usr/bin/env bash
# Installs the build into a scratch prefix with DESTDIR and checks what an
# installed Kestrel is: its files, its desktop entry, its answers without a
# display, and its first start finding the installed defaults.
# Usage: installed_prefix.sh BUILD_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1 version=$2
need desktop-file-validate desktop-file-utils

install_into_scratch "$build" install
check_tree "$root"
check_desktop_entry "$root"
check_answers_without_display "$root/usr/bin/kestrel" "$version"

# First start in a folder without ConnParam.ini, as from the menu: the user's
# folder is made and filled from the defaults beside the executable (the
# system's data folders are kept out of reach).
mkdir -p "$scratch/start" "$scratch/home"
(cd "$scratch/start" && exec env -i PATH=/usr/bin:/bin HOME="$scratch/home" \
    XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state" \
    XDG_DATA_DIRS="$scratch/nowhere" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/kestrel" >"$scratch/out.log" 2>&1) &
pid=$!
folder=$scratch/config/kestrel
for _ in $(seq 1 120); do
    [ -f "$folder/DefConnParam.ini" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
kill "$pid" 2>/dev/null || fail "kestrel ended at its first start: $(cat "$scratch/out.log")"
wait "$pid" 2>/dev/null || true
pid=
for file in ConnParam.ini DefConnParam.ini; do
    cmp -s "$folder/$file" "$root/usr/share/kestrel/DefConnParam.ini" \
        || fail "$file was not copied from the installed defaults: $(cat "$scratch/out.log")"
    [ "$(stat -c %a "$folder/$file")" = 600 ] || fail "$file is not 0600"
done
[ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not 0700"
[ -z "$(ls -A "$scratch/start")" ] || fail "the first start wrote into the folder it was started in"
[ -f "$scratch/state/kestrel/kestrel.log" ] || fail "no log in XDG_STATE_HOME"
echo "The installed prefix holds a working Kestrel."
