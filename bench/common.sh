# What every benchmark runner shares: packages, a build, a throwaway MariaDB
# of its own (data folder, socket, port and ODBC data source, removed on
# exit) and a seeded sales history. Sourced by bench/run.
set -euo pipefail
KESTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$KESTREL_ROOT/scripts/packages.sh"
source "$KESTREL_ROOT/scripts/mariadb.sh"
source "$KESTREL_ROOT/scripts/odbc.sh"

# bench_setup: builds Kestrel and starts the benchmark database, exporting
# the KESTREL_BENCH_* variables the benchmark executables read.
bench_setup() {
    install_packages
    check_odbc_driver
    build_kestrel "$KESTREL_ROOT/build"
    bench_scratch=$(mktemp -d /tmp/kestrel-bench.XXXXXX)
    trap 'db_stop "$bench_scratch/mariadb" || true; rm -rf "$bench_scratch"' EXIT
    local port
    port=$(free_port)
    db_start "$bench_scratch/mariadb" "$port"
    db_create "$bench_scratch/mariadb" kestrel_bench kestrel_bench kestrel_bench
    export ODBCINI="$bench_scratch/odbc.ini"
    add_dsn "$ODBCINI" KestrelBench "$port" kestrel_bench
    export KESTREL_BENCH_DSN=KestrelBench KESTREL_BENCH_PORT=$port KESTREL_BENCH_DB=kestrel_bench
    export KESTREL_BENCH_USER=kestrel_bench KESTREL_BENCH_PASSWORD=kestrel_bench
}

# bench_seed SALES CUSTOMERS PRODUCTS: fresh tables holding that history.
bench_seed() {
    echo "Seeding $1 sales, $2 customers, $3 products..."
    db_sql "$bench_scratch/mariadb" kestrel_bench -e \
        "DROP TABLE IF EXISTS cities, customers, products, turnover"
    db_sql "$bench_scratch/mariadb" kestrel_bench <"$KESTREL_ROOT/resources/schema.sql"
    { echo "SET @sales = $1, @customers = $2, @products = $3;"; cat "$KESTREL_ROOT/bench/seed.sql"; } |
        db_sql "$bench_scratch/mariadb" kestrel_bench
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
