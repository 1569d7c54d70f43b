// Records per second through Ret, the record buffer, the write and the flush of
// every record, as a generator writes them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "engine/filegenerator.h"

namespace {

constexpr tcese::FieldSpec kFields[] = {
    {"NUMERO", 10, "I"}, {"DATA", 8, "D"},   {"VALOR", 16, "V2"},     {"NOME", 60, "T"}, {"CNPJ", 14, "I"},
    {"ELEM", 8, "I"},    {"HIST", 255, "T"}, {"QUANT", 15, "V3"},   {"UNID", 10, "T"}, {"FONTE", 4, "I"},
};
const tcese::Layout kLayout{kFields};

struct Quiet : tcese::RunObserver {};

void BM_WriteRecords(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / ("tcese-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    tcese::DataModule dm;
    Quiet obs;
    tcese::Exporter ex(dm, obs, dir / "Vora.ini");
    ex.ctx.fiscalYear = "2007";
    ex.ctx.monthCode = "03";
    ex.ctx.outputDir = dir.string() + "/";
    ex.CRIAR_ARQ("Bench");
    ex.HEADER();
    long line = 1;
    for (auto _ : state) {
        tcese::Record rec(ex, kLayout, ++line);
        rec.add("NUMERO", "2007000123")
            .add("DATA", "31/03/2007")
            .add("VALOR", "123456.78")
            .add("NOME", "CONSTRUTORA CONCEIÇÃO LTDA")
            .add("CNPJ", "12.345.678/0001-90")
            .add("ELEM", "3.3.90.30")
            .add("HIST", "AQUISIÇÃO DE MATERIAL DE EXPEDIENTE PARA A SECRETARIA DE EDUCAÇÃO")
            .add("QUANT", "10.5")
            .add("UNID", "UN")
            .add("FONTE", "01");
        ex.writeRecord(rec.text());
        ex.processMessages();
    }
    ex.TRAILER(line - 1);
    ex.Fecha_arq();
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WriteRecords);

}  // namespace
