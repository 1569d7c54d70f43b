#!/bin/sh
# Starts a Firebird server on loopback (port 3050) with the program's login, for
# the server-mode test and for trying server mode by hand. Needs root and the
# package firebird3.0-server (tools/setup-deps.sh installs it). Idempotent.
# Exit 0 when a server answers with the program's login; 1, with the reason, otherwise.
set -u
LOGIN=VORADBA8
PASSWORD=mulx
SECURITY=/var/lib/firebird/3.0/system/security3.fdb

fail() {
    echo "firebird-server: $*" >&2
    exit 1
}

answers() {
    fbsvcmgr localhost:service_mgr -user "$LOGIN" -password "$PASSWORD" -info_server_version >/dev/null 2>&1
}

running() {
    for c in /proc/[0-9]*/comm; do
        [ "$(cat "$c" 2>/dev/null)" = firebird ] && return 0
    done
    return 1
}

answers && exit 0
[ "$(id -u)" -eq 0 ] || fail "sem servidor em localhost, e iniciar um exige root"
[ -x /usr/sbin/fbguard ] || fail "pacote firebird3.0-server não instalado (tools/setup-deps.sh)"

# What the service unit would prepare.
mkdir -p /tmp/firebird /run/firebird3.0
chown firebird:firebird /tmp/firebird /run/firebird3.0
chmod 0770 /tmp/firebird

sql="create or alter user $LOGIN password '$PASSWORD'; commit;"
if running; then
    # The server holds its security database: create the login through it.
    ISC_PASSWORD=
    . /etc/firebird/3.0/SYSDBA.password 2>/dev/null || true
    echo "$sql" | isql-fb -q -user SYSDBA -password "${ISC_PASSWORD:-}" "localhost:$SECURITY" >/dev/null 2>&1 ||
        fail "o servidor está no ar, mas não foi possível criar o login $LOGIN"
else
    echo "$sql" | isql-fb -q -user SYSDBA "$SECURITY" >/dev/null 2>&1 || fail "não foi possível criar o login $LOGIN"
    runuser -u firebird -- /usr/sbin/fbguard -daemon -forever || fail "fbguard não iniciou"
fi

i=0
while [ $i -lt 50 ]; do
    answers && { echo "firebird-server: servidor Firebird em localhost:3050, login $LOGIN"; exit 0; }
    sleep 0.2
    i=$((i + 1))
done
fail "o servidor não respondeu em 10 s (veja /var/log/firebird/firebird3.0.log)"
