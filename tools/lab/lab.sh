#!/usr/bin/env bash
# Shell helpers for a private lab network: host namespaces joined to this shell's namespace (the
# "pc") by veth pairs or shared segments, and programs started in them; everything removed on exit.
# The same conventions as the C++ lab (tools/lab/Lab.h): namespaces "tavlin-<pid>-<name>" under
# /run/netns, pc ends tvl0, tvl1, ..., host ends tvl-eth0, ..., bridges tvl-br0, rp_filter off.
#
# Source it from a script that already runs in a private network namespace, for example:
#   unshare --net --mount --propagation private bash -c '
#     mkdir -p /run/netns && mount -t tmpfs none /run/netns && ip link set lo up
#     . tools/lab/lab.sh && lab_init
#     cam=$(lab_add_host cam)
#     pc=$(lab_link "$cam" 10.0.0.1/24 192.168.7.20/24)
#     lab_spawn "$cam" "$LAB_DIR/camsim.out" build/tools/camsim/camsim --camera ip=192.168.7.20 \
#         --move-host tvl-eth0 --log "$LAB_DIR/camsim.log" --ready-file "$LAB_DIR/camsim.ready"
#     lab_wait_file "$LAB_DIR/camsim.ready" 10
#     ... run the tool here ...'
#
# Functions (HOST is a short or full host name; "" is the pc):
#   lab_require_private            returns 3 unless this is a private network namespace
#   lab_init                       exits 3 when not private; names this run, makes $LAB_DIR, and
#                                  tears everything down on exit (a script with its own EXIT trap
#                                  calls lab_teardown from it)
#   lab_add_host NAME              a host namespace, loopback up; prints its full name
#   lab_link HOST PC_CIDR HOST_CIDR   a veth pair pc <-> HOST, addressed ("" for none) and up;
#                                  prints the pc end's name (call again for a second link)
#   lab_add_segment NAME           a namespace holding a bridge; prints its full name
#   lab_attach SEGMENT HOST CIDR   plugs HOST into SEGMENT; prints HOST's end
#   lab_add_address HOST IFNAME CIDR
#   lab_exec HOST CMD...           runs CMD in HOST, without a shell of ours in between
#   lab_spawn HOST LOG CMD...      starts CMD in HOST in the background, output into LOG; prints
#                                  its pid; lab_teardown stops it
#   lab_wait_file PATH SECONDS     waits for a file; returns 1 when it did not come
#   lab_teardown                   stops what was spawned, deletes the namespaces (and with them
#                                  every veth pair), removes $LAB_DIR unless TAVLIN_LAB_KEEP is set
#
# Run directly, `lab.sh check` tells whether the current namespace is private.

LAB_NETNS_DIR=/run/netns

# The same decision as NamespaceGuard: ours must differ from process 1's; when that cannot be read,
# ours must hold nothing but loopback and lab-made (tvl*) interfaces.
lab_require_private() {
    local self machine names name foreign=""
    self=$(readlink /proc/self/ns/net 2>/dev/null) || self=""
    if [ -z "$self" ]; then
        echo "lab: refusing to run: cannot read this process's network namespace" >&2
        return 3
    fi
    machine=$(readlink /proc/1/ns/net 2>/dev/null) || machine=""
    if [ -n "$machine" ]; then
        if [ "$machine" = "$self" ]; then
            echo "lab: refusing to run: this is the machine's own network namespace ($self)" >&2
            return 3
        fi
        return 0
    fi
    if ! names=$(ip -o link show 2>/dev/null | awk -F': ' '{ sub(/@.*/, "", $2); print $2 }'); then
        echo "lab: refusing to run: cannot list the interfaces of this namespace" >&2
        return 3
    fi
    for name in $names; do
        case "$name" in
            lo | tvl?*) ;;
            *) foreign="$foreign $name" ;;
        esac
    done
    if [ -n "$foreign" ]; then
        echo "lab: refusing to run: the machine's namespace cannot be read and this one holds interfaces" \
             "the lab did not make (${foreign# }): probably the machine's own" >&2
        return 3
    fi
    return 0
}

lab_init() {
    lab_require_private || exit 3
    LAB_PREFIX="tavlin-$$-"
    LAB_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-lab-sh-XXXXXX") || exit 1
    chmod 1777 "$LAB_DIR"
    : >"$LAB_DIR/pids"
    : >"$LAB_DIR/links"
    export LAB_PREFIX LAB_DIR
    mkdir -p "$LAB_NETNS_DIR"
    _lab_accept_foreign_sources ""
    trap lab_teardown EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# Full namespace name of HOST; empty for the pc.
_lab_ns() {
    case "$1" in
        "") echo "" ;;
        "$LAB_PREFIX"*) echo "$1" ;;
        *) echo "$LAB_PREFIX$1" ;;
    esac
}

# ip in namespace NS ("" = the pc).
_lab_ip() {
    local ns=$1
    shift
    if [ -z "$ns" ]; then
        ip "$@"
    else
        ip -n "$ns" "$@"
    fi
}

# A camera outside the PC's subnet answers across one segment: accept sources without a route back.
_lab_accept_foreign_sources() {
    local ns=$1 key
    for key in all default; do
        if [ -z "$ns" ]; then
            echo 0 >"/proc/sys/net/ipv4/conf/$key/rp_filter"
        else
            ip netns exec "$ns" sh -c "echo 0 > /proc/sys/net/ipv4/conf/$key/rp_filter"
        fi
    done
}

# The first name PREFIX<n> that namespace NS does not use yet.
_lab_next_if() {
    local ns=$1 prefix=$2 n=0
    while _lab_ip "$ns" link show dev "$prefix$n" >/dev/null 2>&1; do
        n=$((n + 1))
    done
    echo "$prefix$n"
}

_lab_up() {
    local ns=$1 ifname=$2 cidr=$3
    if [ -n "$cidr" ]; then
        _lab_ip "$ns" address add "$cidr" broadcast + dev "$ifname" || return 1
    fi
    _lab_ip "$ns" link set "$ifname" up
}

_lab_new_ns() {
    local ns
    ns=$(_lab_ns "$1")
    case "$1" in
        "" | *[!A-Za-z0-9_-]*)
            echo "lab: not a valid host name: '$1'" >&2
            return 1
            ;;
    esac
    ip netns add "$ns" || return 1
    ip -n "$ns" link set lo up || return 1
    _lab_accept_foreign_sources "$ns" || return 1
    echo "$ns"
}

lab_add_host() { _lab_new_ns "$1"; }

lab_add_segment() {
    local ns
    ns=$(_lab_new_ns "$1") || return 1
    ip -n "$ns" link add name tvl-br0 type bridge || return 1
    ip -n "$ns" link set tvl-br0 up || return 1
    echo "$ns"
}

lab_link() {
    local ns pcif hostif
    ns=$(_lab_ns "$1")
    [ -n "$ns" ] || { echo "lab_link: give a host" >&2; return 1; }
    pcif=$(_lab_next_if "" tvl)
    hostif=$(_lab_next_if "$ns" tvl-eth)
    ip link add name "$pcif" type veth peer name "$hostif" netns "$ns" || return 1
    echo "$pcif" >>"$LAB_DIR/links"
    _lab_up "" "$pcif" "$2" || return 1
    _lab_up "$ns" "$hostif" "$3" || return 1
    echo "$pcif"
}

lab_attach() {
    local seg ns port end
    seg=$(_lab_ns "$1")
    ns=$(_lab_ns "$2")
    port=$(_lab_next_if "$seg" tvl-p)
    if [ -z "$ns" ]; then
        end=$(_lab_next_if "" tvl)
        # The pc is this shell's namespace: name it by the shell's pid.
        ip -n "$seg" link add name "$port" type veth peer name "$end" netns "$$" || return 1
        echo "$end" >>"$LAB_DIR/links"
    else
        end=$(_lab_next_if "$ns" tvl-eth)
        ip -n "$seg" link add name "$port" type veth peer name "$end" netns "$ns" || return 1
    fi
    ip -n "$seg" link set "$port" master tvl-br0 || return 1
    ip -n "$seg" link set "$port" up || return 1
    _lab_up "$ns" "$end" "$3" || return 1
    echo "$end"
}

lab_add_address() {
    _lab_ip "$(_lab_ns "$1")" address add "$3" broadcast + dev "$2"
}

lab_exec() {
    local ns
    ns=$(_lab_ns "$1")
    shift
    if [ -z "$ns" ]; then
        "$@"
    else
        ip netns exec "$ns" "$@"
    fi
}

lab_spawn() {
    local ns=$(_lab_ns "$1") log=$2 pid
    shift 2
    if [ -z "$ns" ]; then
        "$@" </dev/null >"$log" 2>&1 &
    else
        # ip netns exec replaces itself with the program: the pid is the program's.
        ip netns exec "$ns" "$@" </dev/null >"$log" 2>&1 &
    fi
    pid=$!
    echo "$pid" >>"$LAB_DIR/pids"
    echo "$pid"
}

lab_wait_file() {
    local path=$1 tenths=$(($2 * 10))
    while [ ! -e "$path" ]; do
        [ "$tenths" -gt 0 ] || return 1
        sleep 0.1
        tenths=$((tenths - 1))
    done
}

lab_teardown() {
    local pid ns tries pcif
    [ -n "${LAB_DIR:-}" ] || return 0
    if [ -f "$LAB_DIR/pids" ]; then
        while read -r pid; do
            kill -TERM "$pid" 2>/dev/null || continue
            for tries in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -KILL "$pid" 2>/dev/null
        done <"$LAB_DIR/pids"
    fi
    # The pc ends go at once; the namespaces take the rest of each pair with them.
    if [ -f "$LAB_DIR/links" ]; then
        while read -r pcif; do
            ip link delete "$pcif" 2>/dev/null
        done <"$LAB_DIR/links"
    fi
    for ns in "$LAB_NETNS_DIR/$LAB_PREFIX"*; do
        [ -e "$ns" ] && ip netns delete "${ns##*/}"
    done
    if [ -z "${TAVLIN_LAB_KEEP:-}" ]; then
        rm -rf "$LAB_DIR"
    fi
    LAB_DIR=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
        check)
            lab_require_private && echo "lab: this is a private network namespace"
            ;;
        *)
            echo "usage: lab.sh check   (or source it: see the comment at its top)" >&2
            exit 2
            ;;
    esac
fi
