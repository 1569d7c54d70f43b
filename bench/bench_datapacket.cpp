// Datapacket reader and writer on a log of 100 000 rows (the log's seven fields).
#include <benchmark/benchmark.h>

#include "data/datapacket.h"

using namespace tcese;

namespace {

constexpr int kRows = 100000;

const RecordSet& bigLog() {
    static const RecordSet log = [] {
        RecordSet rs("CdsLog");
        rs.addField({"ARQUIVO", FieldType::String, 50});
        rs.addField({"STATUS", FieldType::String, 100});
        rs.addField({"LINHA", FieldType::Int32});
        rs.addField({"DESCRICAO", FieldType::String, 5000});
        rs.addField({"RESOLVER", FieldType::String, 5000});
        rs.addField({"DATA", FieldType::Date});
        rs.addField({"HORA", FieldType::Time});
        rs.createDataSet();
        for (int i = 0; i < kRows; ++i) {
            rs.append();
            rs.field(0).setValue(std::string(i % 2 ? "EMPENHO.TXT" : "LIQUIDACAO.TXT"));
            rs.field(1).setValue(std::string("ERRO"));
            rs.field(2).setValue(std::int64_t{i + 2});
            rs.field(3).setValue(std::string("CNPJ/CPF DO CREDOR \"" + std::to_string(i) + "\" NÃO PODE FICAR EM BRANCO"));
            rs.field(4).setValue(std::string("VERIFIQUE O CADASTRO DE FORNECEDORES NO MENU CADASTROS > FORNECEDORES"));
            rs.field(5).setValue(makeDate(2007, 3, 31));
            rs.field(6).setValue(TimeOfDay::of(10, 22, i % 60, i % 1000));
            rs.post();
        }
        return rs;
    }();
    return log;
}

void BM_ReadLog(benchmark::State& state) {
    const std::string xml = datapacketToString(bigLog());
    for (auto _ : state) {
        RecordSet rs;
        loadDatapacketFromString(rs, xml);
        benchmark::DoNotOptimize(rs.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(xml.size()));
}
BENCHMARK(BM_ReadLog)->Unit(benchmark::kMillisecond);

void BM_WriteLog(benchmark::State& state) {
    const RecordSet& log = bigLog();
    for (auto _ : state) {
        std::string xml = datapacketToString(log);
        benchmark::DoNotOptimize(xml.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WriteLog)->Unit(benchmark::kMillisecond);

}  // namespace
