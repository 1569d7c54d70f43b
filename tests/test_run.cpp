// A whole run: the steps of "&Gerar", the catalogue and the log.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "data/datapacket.h"
#include "engine/run.h"
#include "generators/catalogue.h"
#include "generators/vazios.h"
#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.exec("insert into CADCLI (MEXER) values ('2007'); commit;");
        db.connect(dm);
        ex = std::make_unique<Exporter>(dm, obs, ini);
    }
    RunRequest request(const char* month) { return RunRequest{month, "01 - PREFEITURA", out.str()}; }
    std::filesystem::path logFile(const char* month) { return db.dir() / "ARQ2007" / (std::string("LOG") + month + "2007.XML"); }

    TestDatabase db;
    TempDir out;
    std::filesystem::path ini;
    DataModule dm;
    RecordingObserver obs;
    std::unique_ptr<Exporter> ex;
};

// Three files without records: enough to see the run's own behaviour.
const CatalogueStep kSmall[] = {
    {1, "SbGovPre", "SbGovPre", emptyFile, nullptr},
    {2, "CertCont", "CertCont", emptyFileFullBar, nullptr},
    {3, "TerAnu", "TerAnu", emptyFile, nullptr},
};

// Counts TABEMPRESA, then a colleague posts an entity: every step must see the first count.
DataModule* gColleague = nullptr;
std::string gCounts;
int gPosted = 0;
void countThenPost(Exporter& ex, std::string_view) {
    ex.dm.Conexao.open(ex.dm.CdsAux, "select count(*) from TABEMPRESA");
    gCounts += ex.dm.CdsAux.field(0).asString() + ",";
    ++gPosted;
    gColleague->Conexao.execute("insert into TABEMPRESA (EMPRESA, NOME) values (" + std::to_string(gPosted) +
                                ", 'X')");
}
const CatalogueStep kPosting[] = {
    {1, "SbGovPre", "SbGovPre", countThenPost, nullptr},
    {2, "CertCont", "CertCont", countThenPost, nullptr},
    {3, "TerAnu", "TerAnu", countThenPost, nullptr},
};

}  // namespace

TEST_F(RunTest, EveryStepReadsTheSnapshotTakenWhenTheRunStarts) {
    DataModule colleague;
    db.connect(colleague);
    gColleague = &colleague;
    gCounts.clear();
    gPosted = 0;
    EXPECT_EQ(gerarClick(*ex, request("03 - MARÇO"), kPosting, kPosting).outcome, RunOutcome::Completed);
    EXPECT_EQ(gCounts, "0,0,0,");
    EXPECT_FALSE(dm.Conexao.inTransaction());
    dm.Conexao.open(dm.CdsAux, "select count(*) from TABEMPRESA");
    EXPECT_EQ(dm.CdsAux.field(0).asString(), "3");

    // A second run starts a new snapshot.
    gCounts.clear();
    EXPECT_EQ(gerarClick(*ex, request("03 - MARÇO"), kPosting, kPosting).outcome, RunOutcome::Completed);
    EXPECT_EQ(gCounts, "3,3,3,");
    gColleague = nullptr;
}

TEST_F(RunTest, MissingMonthOrFolderOnlyWarns) {
    struct Case {
        RunRequest req;
        RunOutcome outcome;
        const char* text;
    };
    const Case cases[] = {
        {{"", "01 - X", out.str()}, RunOutcome::NoMonth, "Selecione o Mês de Referência!"},
        {{"03 - MARÇO", "01 - X", "   "}, RunOutcome::NoFolder, "Selecione o Local onde os Arquivos serão Gerados!"},
    };
    for (const Case& c : cases) {
        obs.messages.clear();
        const RunResult r = gerarClick(*ex, c.req, kSmall, kSmall);
        EXPECT_EQ(r.outcome, c.outcome);
        ASSERT_EQ(obs.messages.size(), 1u);
        EXPECT_EQ(obs.messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(obs.messages[0].text, c.text);
        EXPECT_TRUE(obs.runStates.empty());
        EXPECT_TRUE(obs.created.empty());
    }
}

TEST_F(RunTest, CleanRunWritesEveryStepAndSavesAnEmptyLog) {
    const RunResult r = gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_FALSE(r.hadErrors);
    EXPECT_EQ(ex->ctx.fiscalYear, "2007");
    EXPECT_EQ(ex->ctx.entityCode, "01");
    EXPECT_EQ(ex->ctx.monthEnd, "31");
    for (const char* f : {"SbGovPre.txt", "CertCont.txt", "TerAnu.txt"}) {
        EXPECT_EQ(readBytes(out.path() / "Mensal" / f), "1200703\r\n3000000\r\n") << f;
    }
    EXPECT_EQ(obs.closed.size(), 3u);
    EXPECT_EQ(obs.lastOverall, 3);
    EXPECT_EQ(obs.lastOverallMax, 3);
    ASSERT_FALSE(obs.messages.empty());
    EXPECT_EQ(obs.messages.back().kind, MessageKind::Info);
    EXPECT_EQ(obs.messages.back().text, "Arquivos Gerados com Sucesso!");
    EXPECT_EQ((std::vector<bool>{true, false}), obs.runStates);
    RecordSet log;
    loadDatapacket(log, logFile("03"));
    EXPECT_EQ(log.fieldCount(), 7);
    EXPECT_EQ(log.recordCount(), 0);
}

TEST_F(RunTest, AnnualRunGoesToAnualFolder) {
    const RunResult r = gerarClick(*ex, request("14 - ORÇAMENTO ANUAL"), kSmall, {});
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(out.path() / "Anual" / "TerAnu.txt"));
    EXPECT_EQ(readBytes(out.path() / "Anual" / "TerAnu.txt"), "1200714\r\n3000000\r\n");
    EXPECT_EQ(ex->ctx.monthEnd, "");
    EXPECT_TRUE(std::filesystem::exists(logFile("14")));
}

TEST_F(RunTest, CancelBetweenFilesStopsWithoutSavingTheLog) {
    obs.onEvents = [&] {
        if (obs.closed.size() == 1 && !ex->ctx.cancelRequested) ex->cancel();
    };
    const RunResult r = gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall);
    EXPECT_EQ(r.outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(std::filesystem::exists(out.path() / "Mensal" / "SbGovPre.txt"));
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Mensal" / "CertCont.txt"));
    EXPECT_FALSE(std::filesystem::exists(logFile("03")));
    EXPECT_TRUE(obs.messages.empty());  // the final message is not shown

    // The next run clears the cancel, the list and the log.
    obs.onEvents = nullptr;
    EXPECT_EQ(gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall).outcome, RunOutcome::Completed);
    EXPECT_EQ(obs.closed.size(), 3u);
}

TEST_F(RunTest, CancelAfterTheLastFileStillEndsTheRun) {
    obs.onEvents = [&] {
        if (obs.closed.size() == 3 && !ex->ctx.cancelRequested) ex->cancel();
    };
    const RunResult r = gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(logFile("03")));
}

TEST_F(RunTest, SecondRunReplacesTheLogAndAFailedSaveKeepsIt) {
    ASSERT_EQ(gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall).outcome, RunOutcome::Completed);
    const std::string first = readBytes(logFile("03"));

    // A step that logs a problem makes the second log differ.
    static const CatalogueStep withProblem[] = {
        {1, "Prob", "Prob",
         [](Exporter& e, std::string_view name) {
             e.CRIAR_ARQ(name);
             e.HEADER();
             e.Log("PROB.TXT", "ERRO", "DESCRIÇÃO \"X\"", "RESOLVA", 2);
             e.TRAILER(0);
             e.Fecha_arq();
         },
         nullptr},
    };
    RunResult r = gerarClick(*ex, request("03 - MARÇO"), withProblem, withProblem);
    EXPECT_TRUE(r.hadErrors);
    EXPECT_EQ(obs.messages.back().text, "Arquivos Gerados com Erro!");
    EXPECT_EQ(obs.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(obs.closed.back().second.stateIndex, kStateNoRecords);
    const std::string second = readBytes(logFile("03"));
    EXPECT_NE(second, first);

    // The save cannot write its new file: the error is shown and the old log stays.
    std::filesystem::create_directories(logFile("03").string() + ".tmp");
    r = gerarClick(*ex, request("03 - MARÇO"), kSmall, kSmall);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(obs.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(readBytes(logFile("03")), second);
}

TEST_F(RunTest, ErrorInAGeneratorStopsTheRunWhereItWas) {
    static const CatalogueStep failing[] = {
        {1, "SbGovPre", "SbGovPre", emptyFile, nullptr},
        {2, "Falha", "Falha",
         [](Exporter& e, std::string_view name) {
             e.CRIAR_ARQ(name);
             e.HEADER();
             (void)e.Ret(10, "abc", "S", "V2");
         },
         nullptr},
        {3, "TerAnu", "TerAnu", emptyFile, nullptr},
    };
    const RunResult r = gerarClick(*ex, request("03 - MARÇO"), failing, failing);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_NE(r.error.find("abc"), std::string::npos) << r.error;
    EXPECT_EQ(obs.closed.size(), 1u);  // the completed file stays complete
    EXPECT_EQ(ex->fileRows().back().stateIndex, kStateFilling);
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Mensal" / "TerAnu.txt"));
    EXPECT_FALSE(std::filesystem::exists(logFile("03")));
}

TEST_F(RunTest, StepsNotAvailableAreListedNotSkippedSilently) {
    static const CatalogueStep partial[] = {
        {1, "SbGovPre", "SbGovPre", emptyFile, nullptr},
        {2, "Empenho", "Empenho", nullptr, nullptr},
    };
    const RunResult r = gerarClick(*ex, request("03 - MARÇO"), partial, partial);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_EQ(r.unavailable, std::vector<std::string>{"Empenho.txt"});
    bool listed = false;
    for (const auto& m : obs.messages) listed |= m.text.find("Empenho.txt") != std::string::npos;
    EXPECT_TRUE(listed);
}

TEST(Catalogue, MonthlyAndAnnualStepsInOrder) {
    const auto annual = annualCatalogue();
    const auto monthly = monthlyCatalogue();
    ASSERT_EQ(annual.size(), 7u);
    ASSERT_EQ(monthly.size(), 125u);
    const char* const annualFiles[] = {"Orcmto", "PrevRec", "UnidOrc", "Projativ", "Programa", "Orgao", "Dotacao"};
    for (std::size_t i = 0; i < annual.size(); ++i) {
        EXPECT_EQ(annual[i].step, static_cast<int>(i) + 1);
        EXPECT_EQ(annual[i].fileName, annualFiles[i]);
    }
    const char* const monthlyOps =
        "AtUnGest Ordena RespCont SbGovPre SbDepVer MesaDir MesaMemb Comissao ComMemb CadLegis CadPart Contratos "
        "AditCont CertCont CnvCont CnvOCont CancCont PartCont Convenio AditConv PartConv CertConv CancConv Bolsa "
        "CancBols Conta FundAlt UnidOrc_mensal Projativ_Mensal Programa_Mensal Orgao_Mensal FonteRec AltOrc Licit "
        "PublLic ItemLic ConviLic PartLic CertLic ItemPart CnvLicit CnvOLici DotLicit CancLic DispInex PartDisp "
        "ItemDisp CertDisp CnvDisp CnvODisp CancDisp RespDisp Empenho ItemEmp AnulaEmp CancRest NotaPag CertPag "
        "CtaPag RetenEmp EstNotPg EstNotCt NotaLiq Nota Recibo Folha Diaria Bilhete DocDiv Repasse EstLiqPg MovCont "
        "Agencia ContaBan Concilia ValConc FundDiv Fundada MovFund ArrecRec DespEmpr NotaEmpr RecEmpr FolhEmpr "
        "DiarEmpr BilhEmpr DocEmpr RepEmpr CtPgEmpr ReteEmpr CertEmpr EstEmpr ObraServ LocObra EmprObra RespObra "
        "ObraArt OrdServ AcomObra OrdParal TermObra ComTermo ObraConv ObraOCnv ObraCont ObraOCnt AltObra Aliena "
        "PublAli LoteAli ArremAli LtArAli GuiaRcLt RepConc Parcela RepPrest Comprov LeiResp Reajuste ReGovPre "
        "ReVerDep BaixExtOrcReten BaixExtOrcContPag TerAnu TerAnuMo";
    std::istringstream ops(monthlyOps);
    const std::map<std::string, std::string> renamed = {
        {"AtUnGest", "ATUNGEST"},  {"Contratos", "Contrato"},        {"UnidOrc_mensal", "UnidOrc"},
        {"Projativ_Mensal", "Projativ"}, {"Programa_Mensal", "Programa"}, {"Orgao_Mensal", "Orgao"},
        {"CnvODisp", "CnvODis"},   {"ObraOCnv", "ObraOConv"},       {"ObraOCnt", "ObraOCont"},
    };
    std::string op;
    std::set<std::string> files;
    for (std::size_t i = 0; ops >> op; ++i) {
        ASSERT_LT(i, monthly.size());
        EXPECT_EQ(monthly[i].step, static_cast<int>(i) + 1);
        EXPECT_EQ(monthly[i].operation, op);
        const auto it = renamed.find(op);
        EXPECT_EQ(monthly[i].fileName, it == renamed.end() ? op : it->second);
        files.insert(std::string(monthly[i].fileName));
    }
    EXPECT_EQ(files.size(), 125u);  // no two steps write the same file
}

TEST(Catalogue, EmptyFileFamilyHasFiftyNineMembers) {
    int empty = 0, fullBar = 0;
    for (const auto& s : monthlyCatalogue()) {
        empty += s.run == emptyFile || s.run == emptyFileFullBar;
        fullBar += s.run == emptyFileFullBar;
        if (s.run == emptyFileFullBar) {
            EXPECT_TRUE(s.operation == "CertCont" || s.operation == "CnvCont" || s.operation == "CnvOCont");
        }
    }
    EXPECT_EQ(empty, 59);
    EXPECT_EQ(fullBar, 3);
}
