#!/bin/sh
# Builds and runs the fuzz targets of tests/fuzz with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, in build-fuzz/ (apart from the normal build).
#
#   tools/fuzz.sh build                        builds build-fuzz/fuzz_datapacket and fuzz_settings
#   tools/fuzz.sh run TARGET [libFuzzer args]  fuzzes one target, e.g.
#                                              tools/fuzz.sh run datapacket -runs=5000000
#
# A run starts from the seeds in tests/fuzz/corpus/TARGET and its earlier finds in
# build-fuzz/corpus/TARGET (where new inputs go; the seeds stay as they are). It uses
# one core. An input that breaks the target is left in build-fuzz/crash/TARGET/: fix
# the fault, then copy the input to tests/fuzz/regressions/TARGET/ so that every test
# run (the replay tests fuzz_replay_*) goes through it again.
set -eu
cd "$(dirname "$0")/.."
OUT=build-fuzz
CXX="${CXX_FUZZ:-clang++}"
SOURCES="config/encoding.cpp config/settings.cpp data/numbers.cpp data/datetime.cpp data/recordset.cpp
data/datapacket.cpp"
TARGETS="datapacket settings"

need() {
  if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "clang++ não encontrado: instale os pacotes clang e libclang-rt-dev (apt-get install clang libclang-rt-dev)" >&2
    exit 2
  fi
}

build() {
  need
  mkdir -p "$OUT/obj"
  FLAGS="-std=c++20 -g -O1 -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
  objs=""
  for s in $SOURCES; do
    o="$OUT/obj/$(echo "$s" | tr / _).o"
    if [ ! -f "$o" ] || [ "$s" -nt "$o" ] || [ "${s%.cpp}.h" -nt "$o" ]; then
      echo "  $s"
      # shellcheck disable=SC2086
      "$CXX" $FLAGS -c "$s" -o "$o"
    fi
    objs="$objs $o"
  done
  for target in $TARGETS; do
    echo "  tests/fuzz/fuzz_$target.cpp"
    # shellcheck disable=SC2086
    "$CXX" $FLAGS "tests/fuzz/fuzz_$target.cpp" $objs -lexpat -linih -o "$OUT/fuzz_$target"
  done
}

case "${1:-}" in
  build)
    build
    ;;
  run)
    [ $# -ge 2 ] || { echo "uso: tools/fuzz.sh run TARGET [opções do libFuzzer]" >&2; exit 2; }
    t="$2"
    shift 2
    [ -f "tests/fuzz/fuzz_$t.cpp" ] || { echo "alvo desconhecido: $t (alvos: $TARGETS)" >&2; exit 2; }
    build
    mkdir -p "$OUT/corpus/$t" "$OUT/crash/$t"
    src="$(pwd)"
    cd "$OUT"  # libFuzzer's -jobs logs (fuzz-N.log) go here
    exec "./fuzz_$t" -dict="$src/tests/fuzz/$t.dict" -max_len=4096 -artifact_prefix="crash/$t/" "$@" \
      "corpus/$t" "$src/tests/fuzz/corpus/$t"
    ;;
  *)
    echo "uso: tools/fuzz.sh build | tools/fuzz.sh run TARGET [opções do libFuzzer]" >&2
    exit 2
    ;;
esac
