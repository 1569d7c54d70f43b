// Reading a query result: the hot path of every export file.
//
// By default a temporary database gets a 20-column table of TCESE_BENCH_ROWS rows
// (200000). To measure a real database instead:
//   TCESE_BENCH_DB=/dados/VORA2007.FDB TCESE_BENCH_SQL="select * from DESPES" bench_fetch
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "data/connection.h"

using namespace tcese;
namespace fs = std::filesystem;

namespace {

const char* env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

const char* kCreate =
    "create table WIDE (ID integer not null primary key, NOME varchar(60), ENDERECO varchar(50),"
    " BAIRRO varchar(30), CIDADE varchar(30), HISTORICO varchar(120), CPF char(14),"
    " VALOR numeric(15,2), ANULADO numeric(15,2), PAGO numeric(15,2), SALDO numeric(15,2), RETIDO numeric(15,2),"
    " EMISSAO date, VENCIMENTO date, PAGAMENTO date, ALTERADO timestamp,"
    " EMPRESA smallint, FICHA integer, ELEMENTO integer, TIPO char(1))";

struct Data {
    fs::path dir;  // empty when the database is the user's
    Connection db;
    std::string sql;
    long rows = 0;

    ~Data() {
        db.close();
        if (!dir.empty()) fs::remove_all(dir);
    }

    void fill(long count) {
        db.execute(kCreate);
        Statement ins = db.prepare("insert into WIDE values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        db.startTransaction();
        std::vector<Value> v(20);
        for (long i = 1; i <= count; ++i) {
            v[0] = std::int64_t{i};
            v[1] = std::string("FORNECEDOR DE MATERIAL E SERVIÇOS Nº ") + std::to_string(i);
            v[2] = std::string("RUA JOSÉ DA CONCEIÇÃO, ") + std::to_string(i % 1000);
            v[3] = std::string("CENTRO");
            v[4] = std::string("ARACAJU");
            v[5] = std::string("PAGAMENTO REFERENTE AO EMPENHO ") + std::to_string(i) + " DO EXERCÍCIO";
            v[6] = std::string("123.456.789-09");
            v[7] = Decimal::fromScaled(i * 12345 % 100000000 * 100);
            v[8] = Decimal::fromScaled(0);
            v[9] = Decimal::fromScaled(i * 999 % 10000000 * 100);
            v[10] = Decimal::fromScaled(-(i % 5000) * 100);
            v[11] = i % 3 ? Value{} : Value{Decimal::fromScaled(1500)};
            v[12] = makeDate(2007, 1 + i % 12, 1 + i % 28);
            v[13] = makeDate(2007, 1 + (i + 1) % 12, 1 + i % 28);
            v[14] = i % 4 ? Value{makeDate(2007, 12, 31)} : Value{};
            v[15] = DateTime{makeDate(2008, 1, 2), TimeOfDay::of(10, 11, 12)};
            v[16] = std::int64_t{1 + i % 5};
            v[17] = std::int64_t{i * 7 % 100000};
            v[18] = std::int64_t{33903900 + i % 50};
            v[19] = std::string(i % 2 ? "O" : "E");
            ins.execute(v);
        }
        db.commit();
    }
};

Data& data() {
    static std::unique_ptr<Data> d = [] {
        auto p = std::make_unique<Data>();
        if (const char* path = std::getenv("TCESE_BENCH_DB"); path && *path) {
            p->db.setDatabase(path);
            p->db.connect();
            p->sql = env("TCESE_BENCH_SQL", "select * from CADCLI");
        } else {
            std::string tmpl = (fs::temp_directory_path() / "tcese-bench-XXXXXX").string();
            if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
            p->dir = tmpl;
            const std::string file = (p->dir / "bench.fdb").string();
            Connection::createDatabase(file);
            p->db.setDatabase(file);
            p->db.connect();
            p->fill(std::atol(env("TCESE_BENCH_ROWS", "200000")));
            p->sql = env("TCESE_BENCH_SQL", "select * from WIDE");
        }
        Cursor c = p->db.openCursor(p->sql);
        while (c.fetch()) ++p->rows;
        std::cerr << "bench_fetch: " << p->rows << " rows of: " << p->sql << "\n";
        return p;
    }();
    return *d;
}

// Connection::open: every row fetched and decoded into a RecordSet.
void BM_OpenRecordSet(benchmark::State& state) {
    Data& d = data();
    RecordSet rs("CdsGeral");
    for (auto _ : state) {
        d.db.open(rs, d.sql);
        benchmark::DoNotOptimize(rs.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * d.rows);
}
BENCHMARK(BM_OpenRecordSet)->Unit(benchmark::kMillisecond);

// The same query fetched through the same API without decoding: the engine's share.
void BM_BareFetch(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        long n = 0;
        Cursor c = d.db.openCursor(d.sql);
        while (c.fetch()) ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * d.rows);
}
BENCHMARK(BM_BareFetch)->Unit(benchmark::kMillisecond);

// The prepared insert the demo installer uses, 10000 rows a transaction (rolled back).
void BM_PreparedInsert(benchmark::State& state) {
    Data& d = data();
    if (!d.dir.empty()) {
        d.db.execute("recreate table NARROW (ID integer, NOME varchar(60), VALOR numeric(15,2), DATA date)");
    } else {
        state.SkipWithError("only on the temporary database");
        return;
    }
    Statement ins = d.db.prepare("insert into NARROW values (?, ?, ?, ?)");
    std::vector<Value> v(4);
    for (auto _ : state) {
        d.db.startTransaction();
        for (int i = 0; i < 10000; ++i) {
            v[0] = std::int64_t{i};
            v[1] = std::string("FORNECEDOR ") + std::to_string(i);
            v[2] = Decimal::fromScaled(i * 100);
            v[3] = makeDate(2007, 1 + i % 12, 1 + i % 28);
            ins.execute(v);
        }
        d.db.rollback();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_PreparedInsert)->Unit(benchmark::kMillisecond);

}  // namespace
