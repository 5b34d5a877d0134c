# The ODBC driver Kestrel connects through, and the data sources of its
# tests. Sourced by scripts/run and scripts/test.

KESTREL_ODBC_DRIVER="MariaDB Unicode"

# add_dsn FILE NAME PORT DATABASE [DRIVER]: adds the data source NAME to the
# ini FILE unless a data source of that name is there already.
add_dsn() {
    local file=$1 name=$2 port=$3 database=$4 driver=${5:-$KESTREL_ODBC_DRIVER}
    if [ -f "$file" ] && grep -q "^\[$name\]" "$file"; then
        return 0
    fi
    [ -s "$file" ] && printf '\n' >>"$file"
    cat >>"$file" <<INI
[$name]
Description=Kestrel database
Driver=$driver
SERVER=127.0.0.1
PORT=$port
DATABASE=$database
INI
}

check_odbc_driver() {
    odbcinst -q -d -n "$KESTREL_ODBC_DRIVER" >/dev/null 2>&1 || {
        echo "The ODBC driver \"$KESTREL_ODBC_DRIVER\" is not registered (package odbc-mariadb)." >&2
        return 1
    }
}
