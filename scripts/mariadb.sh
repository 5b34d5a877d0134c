# Shell functions that run a private MariaDB server: its own data folder,
# socket and port on 127.0.0.1, so it never meets a system-wide server.
# Sourced by scripts/run, scripts/test, scripts/cluster and bench/.

# The server runs as the account that starts it, or as KESTREL_DB_ACCOUNT.

# db_start DIR PORT [SERVER OPTION...]: initialise DIR on first use, start the
# server unless it already answers, and wait until it does. Further options
# go to the server (a cluster node's replication settings).
db_start() {
    local dir=$1 port=$2
    db_install "$dir" || return 1
    if db_alive "$dir"; then
        return 0
    fi
    db_launch "$@" || return 1
    db_wait "$dir"
}

# db_install DIR: the server's own tables in DIR/data, unless they are there.
db_install() {
    local dir=$1
    mkdir -p "$dir"
    [ -d "$dir/data/mysql" ] && return 0
    mariadb-install-db --no-defaults --datadir="$dir/data" --user="${KESTREL_DB_ACCOUNT:-$(id -un)}" \
        --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1 \
        || { cat "$dir/install.log" >&2; return 1; }
}

# db_launch DIR PORT [SERVER OPTION...]: starts the server in the background
# on DIR's data (made if missing), its socket in DIR, without waiting.
db_launch() {
    local dir=$1 port=$2
    shift 2
    if port_in_use "$port"; then
        echo "Port $port on 127.0.0.1 is already taken by another server." >&2
        return 1
    fi
    # Temporary tables in a folder of its own: nothing that tidies /tmp can
    # pull one from under a running statement.
    mkdir -p "$dir/data" "$dir/tmp"
    mariadbd --no-defaults --datadir="$dir/data" --socket="$dir/mysqld.sock" --port="$port" \
        --tmpdir="$dir/tmp" --bind-address=127.0.0.1 --skip-name-resolve \
        --pid-file="$dir/mysqld.pid" \
        --log-error="$dir/error.log" --user="${KESTREL_DB_ACCOUNT:-$(id -un)}" \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_general_ci \
        --innodb-buffer-pool-size=128M "$@" </dev/null >/dev/null 2>&1 &
}

# db_wait DIR [SECONDS]: waits until the server answers (60 s unless told).
db_wait() {
    local dir=$1 seconds=${2:-60} i
    for i in $(seq 1 $((seconds * 2))); do
        db_alive "$dir" && return 0
        sleep 0.5
    done
    echo "MariaDB did not start; see $dir/error.log" >&2
    tail -20 "$dir/error.log" >&2
    return 1
}

db_alive() {
    mariadb-admin --no-defaults --socket="$1/mysqld.sock" -uroot ping >/dev/null 2>&1
}

# db_sql DIR: run the statements on standard input as the server's root.
db_sql() {
    mariadb --no-defaults --socket="$1/mysqld.sock" -uroot "${@:2}"
}

# db_create DIR NAME USER PASSWORD: a utf8mb4 database and an account that
# owns it, reachable over TCP from this machine.
db_create() {
    local dir=$1 name=$2 user=$3 pass=$4
    db_sql "$dir" <<SQL
CREATE DATABASE IF NOT EXISTS \`$name\` CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
CREATE USER IF NOT EXISTS '$user'@'127.0.0.1' IDENTIFIED BY '$pass';
CREATE USER IF NOT EXISTS '$user'@'localhost' IDENTIFIED BY '$pass';
GRANT ALL PRIVILEGES ON \`$name\`.* TO '$user'@'127.0.0.1';
GRANT ALL PRIVILEGES ON \`$name\`.* TO '$user'@'localhost';
FLUSH PRIVILEGES;
SQL
}

# db_stop DIR: stop the server and wait for it to go.
db_stop() {
    local dir=$1
    [ -f "$dir/mysqld.pid" ] || return 0
    local pid
    pid=$(cat "$dir/mysqld.pid" 2>/dev/null) || return 0
    kill "$pid" 2>/dev/null || return 0
    local i
    for i in $(seq 1 120); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.5
    done
    kill -9 "$pid" 2>/dev/null
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# free_port [TAKEN...]: a TCP port on 127.0.0.1 that nothing listens on and
# that is none of TAKEN (ports chosen for servers not started yet). It lies
# below the ports the system lends to outgoing connections, so that none of
# those takes it before its server starts.
free_port() {
    local p lent=32768
    read -r lent _ </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || true
    for p in $(shuf -i 10000-$((lent - 1)) -n 50); do
        if ! port_in_use "$p" && [[ " $* " != *" $p "* ]]; then
            echo "$p"
            return 0
        fi
    done
    return 1
}
