#!/bin/sh
# Installs the Debian package on this machine, tries it as a user would, and removes it.
#   sudo sh tools/package-check.sh [build]
# Needs root (dpkg) and xvfb-run; takes about a minute. Leaves nothing behind but
# its scratch folder's removal.
set -eu
BUILD="${1:-build}"
DEB=$(ls "$BUILD"/tcese_*.deb 2>/dev/null | tail -n 1)
[ -n "$DEB" ] || { echo "Nenhum pacote em $BUILD: rode make package." >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "Rode como root (dpkg -i)." >&2; exit 2; }
if dpkg-query -W -f='${Status}' tcese 2>/dev/null | grep -q "install ok installed"; then
  echo "O pacote tcese já está instalado; remova-o antes (dpkg -r tcese)." >&2
  exit 2
fi

SCRATCH=$(mktemp -d /tmp/tcese-pkg-XXXXXX)
chmod 755 "$SCRATCH"
GUI_PID=""
cleanup() {
  [ -z "$GUI_PID" ] || kill "$GUI_PID" 2>/dev/null || true
  rm -rf "$SCRATCH"
}
trap cleanup EXIT
step() { printf '\n== %s\n' "$*"; }

step "dpkg -i $DEB"
dpkg-deb --info "$DEB" | sed -n '/Package:/,$p'
dpkg -i "$DEB" || apt-get install -f -y --no-install-recommends
dpkg -L tcese > "$SCRATCH/files"
grep -v '/$' "$SCRATCH/files" | while read -r f; do [ -d "$f" ] || echo "$f"; done

step "tcese --version, from another folder, with a fresh home"
export HOME="$SCRATCH/home"
mkdir -p "$HOME"
unset TCESE_INI XDG_CONFIG_HOME
cd /
command -v tcese tcese-gui
tcese --version

step "no settings anywhere: the places looked at"
rc=0
tcese export --month 03 --out "$HOME/x" || rc=$?
[ "$rc" -eq 2 ] || { echo "esperado 2, veio $rc" >&2; exit 1; }

step "tcese demo --dir ~/demo && tcese export --month 03 --out ~/demo/saida --ini ~/demo/Vora.ini"
tcese demo --dir ~/demo
rc=0
tcese export --month 03 --out ~/demo/saida --ini ~/demo/Vora.ini --quiet || rc=$?
echo "saída $rc; $(ls ~/demo/saida/Mensal | wc -l) arquivos em ~/demo/saida/Mensal"
[ "$rc" -le 1 ] || exit 1

step "settings found in ~/.config/tcese/Vora.ini"
mkdir -p ~/.config/tcese
cp ~/demo/Vora.ini ~/.config/tcese/Vora.ini
rc=0
tcese export --month 14 --out ~/demo/saida --quiet || rc=$?
echo "saída $rc; $(ls ~/demo/saida/Anual | wc -l) arquivos em ~/demo/saida/Anual"
[ "$rc" -le 1 ] || exit 1

step "an ordinary user in the group firebird (the embedded engine's lock folder)"
USERHOME="$SCRATCH/nobody"
mkdir -p "$USERHOME"
chown nobody "$USERHOME"
rc=0
runuser -u nobody -G firebird -- env HOME="$USERHOME" USER=nobody sh -c \
  'cd / && tcese demo --dir ~/demo >/dev/null && tcese export --month 03 --out ~/demo/saida --ini ~/demo/Vora.ini --quiet' || rc=$?
echo "saída $rc"
[ "$rc" -le 1 ] || exit 1

step "the window under Xvfb"
# The window's own id: stopping it lets xvfb-run stop its X server.
xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'tcese-gui & echo $! > "$1"; wait' sh "$SCRATCH/gui.pid" \
  > "$SCRATCH/gui.log" 2>&1 &
XVFB_RUN=$!
sleep 8
GUI_PID=$(cat "$SCRATCH/gui.pid" 2>/dev/null || true)
if [ -n "$GUI_PID" ] && kill -0 "$GUI_PID" 2>/dev/null && ! grep -q Erro "$SCRATCH/gui.log"; then
  echo "tcese-gui em execução após 8 s, sem mensagem de erro"
  kill "$GUI_PID"
  GUI_PID=""
  wait "$XVFB_RUN" 2>/dev/null || true
else
  echo "tcese-gui terminou ou mostrou um erro:" >&2
  cat "$SCRATCH/gui.log" >&2
  exit 1
fi

step "man tcese, desktop entry, icons"
man -w tcese tcese-gui
MANWIDTH=80 man tcese 2>/dev/null | head -n 12
desktop-file-validate /usr/share/applications/tcese-gui.desktop && echo "tcese-gui.desktop válido"
ls /usr/share/icons/hicolor/*/apps/tcese.png

step "dpkg -r tcese, then purge"
dpkg -r tcese
left=""
while read -r f; do
  [ -d "$f" ] && continue
  [ -e "$f" ] && left="$left $f"
done < "$SCRATCH/files"
# Folders the package brought and nobody else uses must be gone too.
for d in /usr/share/doc/tcese; do [ -e "$d" ] && left="$left $d"; done
if dpkg-query -W -f='${Status}' tcese 2>/dev/null | grep -q config-files; then
  dpkg -P tcese
else
  echo "Nada a purgar: o pacote não tem arquivos de configuração."
fi
if [ -n "$left" ]; then echo "Ficaram:$left" >&2; exit 1; fi
dpkg-query -W tcese 2>/dev/null && { echo "o pacote ainda consta no dpkg" >&2; exit 1; }
echo "Nada do pacote ficou no sistema."
