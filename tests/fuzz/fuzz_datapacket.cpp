// Fuzz target of the datapacket reader: any bytes are either refused with a
// DatapacketError that names the file, or give a table that every operation of the
// program can use and that the writer writes back to the same table.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/datapacket.h"

using namespace tcese;

namespace {

constexpr std::string_view kSource = "FUZZ.XML";

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "invariante violada: %s\n", what.c_str());
    std::abort();
}

void check(bool ok, const std::string& what) {
    if (!ok) broken(what);
}

void sameTable(const RecordSet& a, const RecordSet& b) {
    check(a.fieldCount() == b.fieldCount(), "número de campos depois de gravar e ler");
    for (int f = 0; f < a.fieldCount(); ++f) {
        const FieldDef& x = a.fields()[static_cast<std::size_t>(f)];
        const FieldDef& y = b.fields()[static_cast<std::size_t>(f)];
        check(x.name == y.name && x.type == y.type && x.width == y.width && x.decimals == y.decimals &&
                  x.readonly == y.readonly && x.required == y.required && x.hidden == y.hidden &&
                  x.linkfield == y.linkfield,
              "definição do campo " + x.name + " depois de gravar e ler");
    }
    check(a.recordCount() == b.recordCount(), "número de registros depois de gravar e ler");
    for (int r = 0; r < a.recordCount(); ++r)
        for (int f = 0; f < a.fieldCount(); ++f)
            check(a.valueAt(r, f) == b.valueAt(r, f),
                  "valor do registro " + std::to_string(r + 1) + ", campo " + a.fields()[static_cast<std::size_t>(f)].name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RecordSet rs("CdsXml");
    try {
        loadDatapacketFromString(rs, bytes, kSource);
    } catch (const DatapacketError& e) {
        check(std::string_view(e.what()).find(kSource) != std::string_view::npos, "mensagem sem o arquivo: " + std::string(e.what()));
        return 0;
    }

    // One value per field in every row.
    const auto width = static_cast<std::size_t>(rs.fieldCount());
    for (const auto& row : rs.rows()) check(row.values.size() == width, "registro com número de valores diferente");

    // Every field of every row, as the generators read them.
    for (rs.first(); !rs.eof(); rs.next())
        for (int f = 0; f < rs.fieldCount(); ++f) {
            Field field = rs.field(f);
            (void)field.asString();
            (void)field.isNull();
            (void)rs.field(field.name()).value();
        }

    // Read, write, read: the same table.
    const std::string written = datapacketToString(rs);
    RecordSet back("BACK");
    try {
        loadDatapacketFromString(back, written, "BACK.XML");
    } catch (const DatapacketError& e) {
        broken(std::string("o que foi gravado não é lido: ") + e.what());
    }
    sameTable(rs, back);

    // Every field as an index, and a search for a value of each row.
    for (int f = 0; f < rs.fieldCount(); ++f) {
        const std::string name = rs.fields()[static_cast<std::size_t>(f)].name;
        if (name.find(';') != std::string::npos || name.find_first_not_of(" \t") == std::string::npos ||
            name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t')
            continue;  // a name an index list cannot spell
        rs.setIndexFieldNames(name);
        check(rs.recordCount() == back.recordCount(), "índice mudou o número de registros");
        for (int r = 0; r < rs.recordCount() && r < 8; ++r) {
            const std::string wanted = valueToText(rs.valueAt(r, f));
            for (unsigned options : {0u, unsigned(LocateCaseInsensitive), unsigned(LocatePartialKey),
                                     unsigned(LocateCaseInsensitive | LocatePartialKey)}) {
                rs.first();
                check(rs.locate(name, wanted, options), "locate não achou o valor de um registro no campo " + name);
                check(!rs.eof(), "locate deixou o cursor no fim");
            }
            check(rs.locate(name, wanted) && valueToText(rs.field(f).value()) == wanted,
                  "locate parou em outro valor no campo " + name);
        }
        rs.setIndexFieldNames("");
    }
    return 0;
}
