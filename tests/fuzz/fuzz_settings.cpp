// Fuzz target of the settings reader: any bytes give settings (nothing is refused),
// each value one line of valid UTF-8, and the same bytes always the same settings.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/encoding.h"
#include "config/settings.h"

using namespace tcese;

namespace {

void check(bool ok, const char* what, const std::string& value) {
    if (ok) return;
    std::fprintf(stderr, "invariante violada: %s: '%s'\n", what, value.c_str());
    std::abort();
}

bool validUtf8(std::string_view s) {
    try {
        std::size_t i = 0;
        while (i < s.size()) utf8Next(s, i);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Settings s = Settings::parse(bytes);
    const std::string* values[] = {&s.Ano, &s.Servidor, &s.ServidorTABDEF, &s.SO_Servidor, &s.Caminho_Base_Dados,
                                   &s.Diretorio_Servidor, &s.Caminho_Base_Dados_TABDEF};
    for (const std::string* v : values) {
        check(validUtf8(*v), "valor com UTF-8 inválido", *v);
        check(v->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos, "valor com quebra de linha", *v);
    }
    const Settings again = Settings::parse(bytes);
    check(again.Ano == s.Ano && again.Servidor == s.Servidor && again.Caminho_Base_Dados == s.Caminho_Base_Dados &&
              again.Diretorio_Servidor == s.Diretorio_Servidor && again.SO_Servidor == s.SO_Servidor,
          "mesmos bytes, outras configurações", s.Ano);
    return 0;
}
