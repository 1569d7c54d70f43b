// Ret: fields per second by kind.
#include <benchmark/benchmark.h>

#include "engine/ret.h"

using namespace tcese;

static void BM_RetText(benchmark::State& st) {
    RunContext ctx;
    for (auto _ : st) benchmark::DoNotOptimize(Ret(ctx, 60, "PREFEITURA MUNICIPAL DE CONCEIÇÃO", "S", "T"));
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_RetText);

static void BM_RetIdentifier(benchmark::State& st) {
    RunContext ctx;
    for (auto _ : st) benchmark::DoNotOptimize(Ret(ctx, 14, "12.345.678/0001-90", "S", "I"));
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_RetIdentifier);

static void BM_RetAmount(benchmark::State& st) {
    RunContext ctx;
    for (auto _ : st) benchmark::DoNotOptimize(Ret(ctx, 16, "1234567.89", "S", "V2"));
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_RetAmount);

static void BM_RetDate(benchmark::State& st) {
    RunContext ctx;
    for (auto _ : st) benchmark::DoNotOptimize(Ret(ctx, 8, "31/01/2007", "S", "D"));
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_RetDate);
