#!/bin/bash
# The versions install-deps names when wine32:i386 does not go in beside
# what is installed: a machine whose amd64 libraries came from
# bookworm-security while the mirror served that suite's i386 index to
# nobody. apt-cache and dpkg-query answer from the tables below.
set -u
native=amd64
packages_32=(wine32:i386)
. "$(dirname "$0")/../../tools/apt-twins"

# package arch Multi-Arch source version
installed_table='libc6 amd64 same glibc 2.36-9+deb12u13
libsystemd0 amd64 same systemd 252.38-1~deb12u1
systemd amd64 no systemd 252.38-1~deb12u1
libssl3 amd64 same openssl 3.0.22-1~deb12u2
libssl-dev amd64 same openssl 3.0.22-1~deb12u2'
# package arch version suite
offered_table='libc6 amd64 2.36-9+deb12u13 bookworm
libc6 i386 2.36-9+deb12u13 bookworm
libsystemd0 amd64 254.26-1~bpo12+1 bookworm-backports
libsystemd0 amd64 252.39-1~deb12u2 bookworm
libsystemd0 amd64 252.38-1~deb12u1 bookworm-security
libsystemd0 i386 254.26-1~bpo12+1 bookworm-backports
libsystemd0 i386 252.39-1~deb12u2 bookworm
systemd amd64 254.26-1~bpo12+1 bookworm-backports
systemd amd64 252.39-1~deb12u2 bookworm
libssl3 amd64 3.0.22-1~deb12u2 bookworm-security
libssl3 amd64 3.0.20-1~deb12u2 bookworm
libssl3 i386 3.0.20-1~deb12u2 bookworm
libssl-dev amd64 3.0.22-1~deb12u2 bookworm-security
libssl-dev amd64 3.0.20-1~deb12u2 bookworm'

apt-cache() {
    case $1 in
    madison) awk -v p="${2%:*}" -v a="${2#*:}" '$1 == p && $2 == a {
                 printf " %s | %s | http://deb.debian.org/debian %s/main %s Packages\n", $1, $3, $4, $2 }' \
                 <<<"$offered_table" ;;
    depends) printf '%s\n' wine32:i386 '  Depends: libc6:i386' libc6:i386 libsystemd0:i386 libssl3:i386 ;;
    esac
}
dpkg-query() {
    local f=${2#-f=} p=${3:-} row
    if [ -z "$p" ]; then
        awk '{ print $1 ($3 == "same" ? ":" $2 : ""), $4, $5, $2 }' <<<"$installed_table"
        return
    fi
    row=$(awk -v p="${p%:*}" '$1 == p' <<<"$installed_table")
    [ -n "$row" ] && [ "${p#*:}" != i386 ] || return 1
    set -- $row
    case $f in
    '${Status}') echo "install ok installed" ;;
    '${Multi-Arch}') echo "$3" ;;
    '${source:Package}') echo "$4" ;;
    '${Version}') echo "$5" ;;
    esac
}

matching_pins
got=$(printf '%s\n' "${PINS[@]}" | sort -u)
want=$(sort <<'W'
libc6:i386=2.36-9+deb12u13
libsystemd0:amd64=252.39-1~deb12u2
libsystemd0:i386=252.39-1~deb12u2
systemd:amd64=252.39-1~deb12u2
libssl3:amd64=3.0.20-1~deb12u2
libssl3:i386=3.0.20-1~deb12u2
libssl-dev:amd64=3.0.20-1~deb12u2
W
)
# Debian 12's own shared version wins over backports, the installed
# packages of the same source go along, the rest keep their version.
if [ "$got" != "$want" ]; then
    echo "FAIL: pins"; diff <(echo "$want") <(echo "$got"); exit 1
fi
echo "pass"
