# Shell functions that run a private Galera cluster of MariaDB servers on
# 127.0.0.1: every node a private server of scripts/mariadb.sh with a data
# folder, socket and ports of its own (SQL, group communication, incremental
# and full state transfer). Sourced by scripts/cluster and scripts/test.

KESTREL_GALERA_PROVIDER=/usr/lib/galera/libgalera_smm.so

# A joining node copies the data with an rsync daemon, which as root would
# write as "nobody"; so under root the nodes run as the server's own account.
cluster_account() {
    if [ "$(id -u)" = 0 ]; then echo mysql; else id -un; fi
}

# cluster_start DIR NODES: starts NODES nodes under DIR/node1 ... (made on
# first use, restarted from their data afterwards); node 1 founds the
# cluster, the others join it one by one and copy its data. Returns once
# every node answers and has caught up.
cluster_start() {
    local dir=$1 nodes=$2 n
    local KESTREL_DB_ACCOUNT
    KESTREL_DB_ACCOUNT=$(cluster_account)
    mkdir -p "$dir"
    cluster_choose_ports "$dir" "$nodes" || return 1
    for n in $(seq 1 "$nodes"); do
        mkdir -p "$dir/node$n/data" "$dir/node$n/tmp"
    done
    chown -R "$KESTREL_DB_ACCOUNT" "$dir"
    local founder
    founder=$(cluster_founder "$dir" "$nodes")
    for n in $(seq 1 "$nodes"); do
        [ "$n" = "$founder" ] || continue
        if ! db_alive "$dir/node$n"; then
            db_install "$dir/node$n" || return 1
            sed -i 's/^safe_to_bootstrap:.*/safe_to_bootstrap: 1/' "$dir/node$n/data/grastate.dat" 2>/dev/null || true
            db_launch "$dir/node$n" "$(cluster_port "$dir" "$n" sql)" \
                $(cluster_node_options "$dir" "$nodes" "$n") --wsrep-new-cluster || return 1
        fi
        cluster_wait_synced "$dir/node$n" || return 1
    done
    for n in $(seq 1 "$nodes"); do
        [ "$n" = "$founder" ] && continue
        if ! db_alive "$dir/node$n"; then
            db_launch "$dir/node$n" "$(cluster_port "$dir" "$n" sql)" \
                $(cluster_node_options "$dir" "$nodes" "$n") || return 1
        fi
        cluster_wait_synced "$dir/node$n" || return 1
    done
}

# cluster_stop DIR: stops every node, the founder last, so that it is the
# one safe to found the cluster again next time.
cluster_stop() {
    local dir=$1 n
    for n in $(cluster_nodes "$dir" | sort -rn); do
        db_stop "$dir/node$n" || true
    done
}

# cluster_nodes DIR: the numbers of the nodes DIR holds.
cluster_nodes() {
    local d
    for d in "$1"/node*; do
        [ -f "$d/ports" ] && echo "${d##*/node}"
    done
}

# cluster_port DIR NODE KIND: a node's port; KIND is sql, gcomm, ist or sst.
cluster_port() {
    local sql gcomm ist sst
    read -r sql gcomm ist sst <"$1/node$2/ports"
    echo "${!3}"
}

# Ports stay with a node for its life, so that a restarted node finds the
# others where they were; a new node gets four free ones.
cluster_choose_ports() {
    local dir=$1 nodes=$2 n taken=() kind
    for n in $(seq 1 "$nodes"); do
        [ -f "$dir/node$n/ports" ] && taken+=($(cat "$dir/node$n/ports"))
    done
    for n in $(seq 1 "$nodes"); do
        [ -f "$dir/node$n/ports" ] && continue
        mkdir -p "$dir/node$n"
        local ports=()
        for kind in sql gcomm ist sst; do
            local p
            p=$(free_port "${taken[@]}") || return 1
            ports+=("$p")
            taken+=("$p")
        done
        echo "${ports[*]}" >"$dir/node$n/ports"
    done
}

# The node that founds the cluster: the one that stopped last (Galera marks
# it safe to bootstrap), node 1 on the first start.
cluster_founder() {
    local dir=$1 nodes=$2 n
    for n in $(seq 1 "$nodes"); do
        if grep -qs '^safe_to_bootstrap: 1' "$dir/node$n/data/grastate.dat"; then
            echo "$n"
            return
        fi
    done
    echo 1
}

cluster_node_options() {
    local dir=$1 nodes=$2 n=$3 members=() m
    for m in $(seq 1 "$nodes"); do
        members+=("127.0.0.1:$(cluster_port "$dir" "$m" gcomm)")
    done
    local list
    list=$(IFS=,; echo "${members[*]}")
    # Row-based binary log and interleaved auto-increment locks are what
    # Galera needs; the log is flushed once a second rather than at every
    # commit, as the cluster keeps every commit on the other nodes.
    echo --wsrep-on=ON --wsrep-provider="$KESTREL_GALERA_PROVIDER" \
        --wsrep-cluster-name=kestrel --wsrep-node-name="node$n" \
        --wsrep-cluster-address="gcomm://$list" \
        --wsrep-node-address="127.0.0.1:$(cluster_port "$dir" "$n" gcomm)" \
        --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:$(cluster_port "$dir" "$n" gcomm);ist.recv_addr=127.0.0.1:$(cluster_port "$dir" "$n" ist);gcache.size=64M" \
        --wsrep-sst-method=rsync \
        --wsrep-sst-receive-address="127.0.0.1:$(cluster_port "$dir" "$n" sst)" \
        --binlog-format=ROW --default-storage-engine=InnoDB --innodb-autoinc-lock-mode=2 \
        --innodb-flush-log-at-trx-commit=2 --innodb-buffer-pool-size=64M
}

# cluster_wait_synced NODEDIR: waits until the node answers and says it is
# part of the cluster and has caught up (a joiner copies the data first).
cluster_wait_synced() {
    local node=$1 i state
    for i in $(seq 1 240); do
        grep -qs '\[ERROR\] Aborting' "$node/error.log" && break
        state=$(db_sql "$node" -N -e "SHOW STATUS LIKE 'wsrep_local_state_comment'" 2>/dev/null | cut -f2)
        [ "$state" = "Synced" ] && return 0
        sleep 0.5
    done
    echo "Cluster node in $node did not come up; see $node/error.log" >&2
    tail -20 "$node/error.log" >&2
    return 1
}
