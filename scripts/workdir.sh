# The working folder scripts/run gives Kestrel, on its private server:
# ConnParam.ini (kept once the operator has changed it) and DefConnParam.ini
# (what Default offers there). The repository's DefConnParam.ini is what an
# installed Kestrel offers, a MariaDB on this computer's usual port, so the
# private server's settings are written here. Sourced by scripts/run.

KESTREL_RUN_PORT=3391
KESTREL_RUN_DATABASE=kestrel
KESTREL_RUN_USER=kestrel
KESTREL_RUN_PASSWORD=kestrel

# write_params FILE: the private server's eight parameters, CR LF ended, the
# data source left empty (Kestrel connects through the driver itself).
write_params() {
    (umask 077 && printf '%s\r\n' "" "Kestrel's private database" "$KESTREL_RUN_DATABASE" \
        127.0.0.1 "$KESTREL_RUN_USER" "$KESTREL_RUN_PASSWORD" "$KESTREL_RUN_PORT" "" >"$1")
}

# prepare_workdir DIR: makes DIR Kestrel's working folder.
prepare_workdir() {
    local work=$1
    mkdir -p "$work"
    [ -f "$work/ConnParam.ini" ] || write_params "$work/ConnParam.ini"
    write_params "$work/DefConnParam.ini"
}
