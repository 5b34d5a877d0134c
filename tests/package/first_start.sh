#!/usr/bin/env bash
# An installed Kestrel's first start, as a new user meets it: a fresh home
# without ~/.odbc.ini, no data source anywhere, the program started from the
# installed prefix on the test's X display. The keys an operator presses fill
# in the connection settings, which the first start opens, and add a city to
# the test database. The window's size then survives a restart.
# Usage: first_start.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1 source_dir=$2
need xdotool xdotool
need mariadb mariadb-client
[ -n "${DISPLAY:-}" ] || fail "no X display; run the tests through scripts/test"
[ -n "${KESTREL_TEST_PORT:-}" ] || fail "no test database; run the tests through scripts/test"

install_into_scratch "$build" first
home=$scratch/home
mkdir -p "$home"

sql() {
    mariadb --no-defaults --socket="$KESTREL_TEST_SOCKET" -u"$KESTREL_TEST_USER" \
        -p"$KESTREL_TEST_PASSWORD" -N "$KESTREL_TEST_DB" "$@"
}
# An empty database with Kestrel's tables, as Format DB Structure leaves it.
sql -e "DROP TABLE IF EXISTS turnover, products, customers, cities"
sql <"$source_dir/resources/schema.sql"

# What is on the screen when a step fails, for whoever reads the failure.
failed() {
    import -window root "$build/first_start-failure.png" 2>/dev/null || true
    fail "$* (screen: $build/first_start-failure.png; Kestrel said: $(cat "$scratch/out.log"))"
}

# Starts the installed Kestrel as the desktop's menu would and waits for its
# window, which gets the keyboard.
window=
start() {
    env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$scratch" XDG_DATA_DIRS="$scratch/nowhere" \
        "$root/usr/bin/kestrel" >>"$scratch/out.log" 2>&1 &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name 'Kestrel' | head -1) \
        || failed "no Kestrel window"
    xdotool windowactivate --sync "$window"
    sleep 1
}

keys() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 40 "$1"; }

# Ctrl+Q, and the process ends.
quit() {
    keys ctrl+q
    for _ in $(seq 1 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.25
    done
    kill -0 "$pid" 2>/dev/null && failed "Ctrl+Q did not end Kestrel"
    wait "$pid" || true
    pid=
}

start
# Connection Settings is open, the server's box ready for typing; each Tab
# selects the next box's text, so typing replaces it.
typed 127.0.0.1
keys Tab && typed "$KESTREL_TEST_DB"
keys Tab && typed "$KESTREL_TEST_USER"
keys Tab && typed "$KESTREL_TEST_PASSWORD"
keys Tab && typed "$KESTREL_TEST_PORT"
keys Tab Tab space # past the start-up statement to OK
sleep 0.5
# F4: a city, saved with OK.
keys F4
sleep 1
typed FST && keys Tab && typed "First Start" && keys Tab && typed 1011 && keys Tab && typed FST
keys Tab Down Tab space
for _ in $(seq 1 40); do
    [ "$(sql -e "SELECT COUNT(*) FROM cities WHERE FullName = 'First Start'")" = 1 ] && break
    sleep 0.25
done
[ "$(sql -e "SELECT CONCAT(Acronym, ' ', PostalCode) FROM cities")" = "FST 1011" ] \
    || failed "the city did not reach the database"

settings=$home/.config/kestrel/ConnParam.ini
mapfile -t params < <(tr -d '\r' <"$settings")
[ "${params[0]}|${params[3]}|${params[6]}" = "|127.0.0.1|$KESTREL_TEST_PORT" ] \
    || failed "ConnParam.ini holds ${params[*]:0:5}"
[ ! -e "$home/.odbc.ini" ] || failed "a data source was registered"

# Where the window was, it is at the next start.
xdotool windowsize --sync "$window" 900 640
sleep 0.5
quit
start
read -r width height < <(xdotool getwindowgeometry --shell "$window" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p' | paste -sd ' ')
[ "${width}x${height}" = 900x640 ] || failed "the window came back at ${width}x${height}, not 900x640"
quit
echo "An installed Kestrel's first start reached the database by its settings alone."
