#!/bin/sh
# The main job on the demo installation: creates it once in $BUILD/demo, points the
# settings file beside the programs at it, and exports March of the demo year.
set -eu
BUILD="${1:-build}"
DEMO="$BUILD/demo"
OUT="$DEMO/saida"

if [ ! -f "$DEMO/Vora.ini" ]; then
  "$BUILD/tcese" demo --dir "$DEMO"
fi
cp "$DEMO/Vora.ini" "$BUILD/Vora.ini"

echo
echo "== tcese export --month 03 --out $OUT"
status=0
"$BUILD/tcese" export --month 03 --out "$OUT" || status=$?
echo
case $status in
  0) echo "Exportação concluída sem problemas." ;;
  1) echo "Exportação concluída; os problemas dos dados estão no log." ;;
  3) echo "Exportação concluída; arquivos ainda não disponíveis nesta versão foram listados acima." ;;
  *) echo "A exportação falhou (saída $status)."; exit "$status" ;;
esac
echo "Arquivos: $OUT/Mensal/"
echo "Log:      $(ls "$DEMO"/VORA_8/CIDADES/DEMO/ARQ*/LOG03*.XML 2>/dev/null || echo '-')"
