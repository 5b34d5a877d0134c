# What every benchmark runner shares: packages, a build, a MariaDB of its own
# (data folder, socket, port and ODBC data source) and a seeded sales
# history. Sourced by bench/run.
#
# The server's folder is thrown away on exit, unless KESTREL_BENCH_KEEP
# names a folder to keep it in: the next run then reuses the histories
# seeded there (seeding a million sales takes minutes) and only seeds a
# history whose tables no longer hold what was seeded.
set -euo pipefail
KESTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$KESTREL_ROOT/scripts/packages.sh"
source "$KESTREL_ROOT/scripts/mariadb.sh"
source "$KESTREL_ROOT/scripts/odbc.sh"

# bench_setup: builds Kestrel and starts the benchmark server, exporting the
# KESTREL_BENCH_* variables the benchmark executables read (bench_seed
# names the database).
bench_setup() {
    install_packages
    check_odbc_driver
    build_kestrel "$KESTREL_ROOT/build"
    bench_scratch=$(mktemp -d /tmp/kestrel-bench.XXXXXX)
    bench_server=${KESTREL_BENCH_KEEP:-$bench_scratch/mariadb}
    trap 'db_stop "$bench_server" || true; rm -rf "$bench_scratch"' EXIT
    # A kept server left running answers on the port it was started on.
    local port
    if db_alive "$bench_server" && [ -f "$bench_server/port" ]; then
        port=$(cat "$bench_server/port")
    else
        port=$(free_port)
    fi
    db_start "$bench_server" "$port"
    echo "$port" >"$bench_server/port"
    export ODBCINI="$bench_scratch/odbc.ini"
    export KESTREL_BENCH_DSN=KestrelBench KESTREL_BENCH_PORT=$port
    export KESTREL_BENCH_USER=kestrel_bench KESTREL_BENCH_PASSWORD=kestrel_bench
}

# bench_seed SALES CUSTOMERS PRODUCTS: a database holding that history, made
# and seeded unless a kept one still holds it; the benchmarks that follow
# run on it.
bench_seed() {
    local db="kestrel_bench_$1_$2_$3"
    db_create "$bench_server" "$db" kestrel_bench kestrel_bench
    export KESTREL_BENCH_DB=$db
    # The DSN names a database; the connection string names it too and wins.
    add_dsn "$ODBCINI" "$KESTREL_BENCH_DSN" "$KESTREL_BENCH_PORT" "$db"
    local held
    held=$(db_sql "$bench_server" "$db" -N -e \
        "SELECT CONCAT_WS(' ', (SELECT COUNT(*) FROM turnover), (SELECT COUNT(*) FROM customers),
                (SELECT COUNT(*) FROM products))" 2>/dev/null || true)
    if [ "$held" = "$1 $2 $3" ]; then
        echo "Reusing $1 sales, $2 customers, $3 products in $bench_server"
        # A history kept from before an index was added gets it now.
        sed -n 's/^CREATE INDEX /CREATE INDEX IF NOT EXISTS /p' "$KESTREL_ROOT/resources/schema.sql" |
            db_sql "$bench_server" "$db"
        return 0
    fi
    echo "Seeding $1 sales, $2 customers, $3 products..."
    db_sql "$bench_server" "$db" -e "DROP TABLE IF EXISTS cities, customers, products, turnover"
    db_sql "$bench_server" "$db" <"$KESTREL_ROOT/resources/schema.sql"
    { echo "SET @sales = $1, @customers = $2, @products = $3;"; cat "$KESTREL_ROOT/bench/seed.sql"; } |
        db_sql "$bench_server" "$db" >/dev/null
}

# bench_exec NAME ARGS...: runs one benchmark executable offscreen, from the
# scratch folder. KESTREL_BENCH_WRAPPER runs it under a profiler, e.g.
# "perf record -g".
bench_exec() {
    local name=$1
    shift
    (cd "$bench_scratch" && QT_QPA_PLATFORM=offscreen ${KESTREL_BENCH_WRAPPER:-} \
        "$KESTREL_ROOT/build/bench/$name" "$@")
}
