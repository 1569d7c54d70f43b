// Cancelling a statement that runs long: from another thread, through the attachment.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/run.h"
#include "generators/vazios.h"
#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

// Hundreds of millions of rows: minutes unless it is cancelled.
constexpr const char* kLongQuery =
    "select count(*) from rdb$relation_fields a, rdb$relation_fields b, rdb$relation_fields c";

// Cancels `db`'s running statement once it has had time to start.
std::thread cancelSoon(Connection& db) {
    return std::thread([&db] {
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (db.cancelOperation()) return;
        }
    });
}

void longStep(Exporter& ex, std::string_view fileName) {
    ex.CRIAR_ARQ(fileName);
    ex.HEADER();
    std::thread canceller = cancelSoon(ex.dm.Conexao);
    try {
        ex.dm.Conexao.open(ex.dm.CdsGeral, kLongQuery);
    } catch (...) {
        canceller.join();
        throw;
    }
    canceller.join();
}

const CatalogueStep kLong[] = {
    {1, "SbGovPre", "SbGovPre", emptyFile, nullptr},
    {2, "Longo", "Longo", longStep, nullptr},
    {3, "TerAnu", "TerAnu", emptyFile, nullptr},
};

}  // namespace

TEST(Cancel, AStatementStoppedFromAnotherThreadFailsAsCancelled) {
    TestDatabase db;
    DataModule dm;
    db.connect(dm);
    EXPECT_FALSE(dm.Conexao.cancelOperation()) << "nothing runs yet";
    std::thread canceller = cancelSoon(dm.Conexao);
    try {
        dm.Conexao.open(dm.CdsGeral, kLongQuery);
        ADD_FAILURE() << "the query was not cancelled";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.cancelled()) << e.what();
    }
    canceller.join();
    // The connection stays usable.
    dm.Conexao.open(dm.CdsGeral, "select 1 as UM from rdb$database");
    EXPECT_EQ(dm.CdsGeral.field("UM").asString(), "1");
}

TEST(Cancel, ARunWhoseStatementIsCancelledEndsAsCancelledWithoutSavingTheLog) {
    TestDatabase db;
    const auto ini = db.installAsYear("2007");
    db.exec("insert into CADCLI (MEXER) values ('2007'); commit;");
    DataModule dm;
    db.connect(dm);
    RecordingObserver obs;
    Exporter ex(dm, obs, ini);
    TempDir out;
    const RunResult r = gerarClick(ex, RunRequest{"03 - MARÇO", "01 - PREFEITURA", out.str()}, kLong, kLong);
    EXPECT_EQ(r.outcome, RunOutcome::Cancelled) << r.error;
    ASSERT_FALSE(obs.messages.empty());
    EXPECT_EQ(obs.messages.back().kind, MessageKind::Warning);
    EXPECT_EQ(obs.messages.back().text, "Operação Cancelada!");
    EXPECT_TRUE(ex.ctx.cancelRequested);
    // The file being written stays incomplete, the next one is never started, no log.
    EXPECT_EQ(readBytes(out.path() / "Mensal" / "Longo.txt"), "1200703\r\n");
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Mensal" / "TerAnu.txt"));
    EXPECT_FALSE(std::filesystem::exists(db.dir() / "ARQ2007" / "LOG032007.XML"));
}
