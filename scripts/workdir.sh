# The working folder Kestrel runs in: ConnParam.ini (kept once the operator
# has changed it) and DefConnParam.ini (what Default offers: the local
# database). Sourced by scripts/run.

# prepare_workdir ROOT DIR: makes DIR Kestrel's working folder.
prepare_workdir() {
    local root=$1 work=$2
    mkdir -p "$work"
    if [ ! -f "$work/ConnParam.ini" ]; then
        cp "$root/DefConnParam.ini" "$work/ConnParam.ini"
        chmod 600 "$work/ConnParam.ini"
    fi
    cp "$root/DefConnParam.ini" "$work/DefConnParam.ini"
}
