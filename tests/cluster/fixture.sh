#!/usr/bin/env bash
# The cluster the cluster tests run on: two Galera nodes on 127.0.0.1 in the
# folder KESTREL_CLUSTER_DIR (scripts/test makes it), with the test account
# and an empty database. ctest runs "start" before the first cluster test and
# "stop" after the last, which removes the nodes and their data.
#   fixture.sh start|stop SOURCE_DIR
set -euo pipefail
KESTREL_ROOT=$2
source "$KESTREL_ROOT/scripts/mariadb.sh"
source "$KESTREL_ROOT/scripts/cluster.sh"
dir=${KESTREL_CLUSTER_DIR:?"run the tests through scripts/test, which names the cluster's folder"}

case $1 in
start)
    cluster_start "$dir" 2
    db_create "$dir/node1" "$KESTREL_CLUSTER_DB" "$KESTREL_TEST_USER" "$KESTREL_TEST_PASSWORD"
    # The tests see which transactions wait for a lock.
    db_sql "$dir/node1" -e "GRANT PROCESS ON *.* TO '$KESTREL_TEST_USER'@'127.0.0.1'"
    ;;
stop)
    cluster_stop "$dir"
    find "$dir" -mindepth 1 -delete
    ;;
esac
