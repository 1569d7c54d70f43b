#!/bin/sh
# Makes a Firebird configuration in which several programs (the desktop program and
# the command line, say) can open the same database with the embedded engine.
# Usage: tools/firebird-shared.sh [DIR]   then   export FIREBIRD=DIR
# Every program that opens the database must use it: mixing modes fails.
set -eu
DIR="${1:-build/firebird-shared}"
SYS=/usr/lib/x86_64-linux-gnu/firebird/3.0
[ -d "$SYS" ] || SYS="$(dirname "$(dpkg -L firebird3.0-server-core | grep '/intl/fbintl.conf$')")/.."
mkdir -p "$DIR"
CONF=/etc/firebird/3.0/firebird.conf
[ -f "$CONF" ] || CONF="$SYS/firebird.conf"
grep -v '^[[:space:]]*ServerMode' "$CONF" > "$DIR/firebird.conf" || true
echo "ServerMode = SuperClassic" >> "$DIR/firebird.conf"
# The character sets must be a real copy: Firebird does not follow a link here.
rm -rf "$DIR/intl"
cp -rL "$SYS/intl" "$DIR/intl"
echo "export FIREBIRD=$(cd "$DIR" && pwd)"
