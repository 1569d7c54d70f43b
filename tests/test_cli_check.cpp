// "tcese check" on files written by hand and on a fresh export of the demo.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_support.h"
#include "engine_support.h"

using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// An Orgao.txt detail record: "2", year (4), body (5), name (120) = 130 characters.
std::string orgaoRecord() { return "2" + std::string("2007") + "01002" + std::string(120, 'N'); }

}  // namespace

TEST(CliCheck, NamesFileAndLineOfEachProblem) {
    struct Case {
        const char* name;
        std::string file;     // name of the file inside Anual/
        std::string content;  // bytes of the file
        std::string says;     // empty: no problem
    };
    const std::string rec = orgaoRecord();
    const Case cases[] = {
        {"sound file", "Orgao.txt", "1200714\r\n" + rec + "\r\n" + rec + "\r\n3000002\r\n", ""},
        {"name in other case", "ORGAO.TXT", "1200714\r\n3000000\r\n", ""},
        {"record one short", "Orgao.txt", "1200714\r\n" + rec + "\r\n" + rec.substr(1) + "\r\n3000002\r\n",
         "Orgao.txt:3: registro com 129 caracteres (esperado 130)"},
        {"record one long", "Orgao.txt", "1200714\r\n" + rec + "X\r\n3000001\r\n",
         "Orgao.txt:2: registro com 131 caracteres (esperado 130)"},
        {"trailer count wrong", "Orgao.txt", "1200714\r\n" + rec + "\r\n3000002\r\n",
         "Orgao.txt:3: o fechamento informa 2 registros, mas o arquivo tem 1"},
        {"trailer missing", "Orgao.txt", "1200714\r\n" + rec + "\r\n", "Orgao.txt:2: falta o registro de fechamento"},
        {"trailer short", "Orgao.txt", "1200714\r\n300000\r\n", "Orgao.txt:2: fechamento inválido"},
        {"line ended by LF", "Orgao.txt", "1200714\r\n" + rec + "\n3000001\r\n", "Orgao.txt:2: linha terminada só com LF"},
        {"last line without end", "Orgao.txt", "1200714\r\n3000000", "Orgao.txt:2: a última linha não termina"},
        {"tab inside", "Orgao.txt", "1200714\r\n2\t" + rec.substr(2) + "\r\n3000001\r\n",
         "Orgao.txt:2: caractere de controle 0x09 na coluna 2"},
        {"byte outside Windows-1252", "Orgao.txt", "1200714\r\n2\x81" + rec.substr(2) + "\r\n3000001\r\n",
         "Orgao.txt:2: byte 0x81 na coluna 2"},
        {"header of a month in Anual", "Orgao.txt", "1200703\r\n3000000\r\n", "Orgao.txt:1: cabeçalho do mês 03"},
        {"header short", "Orgao.txt", "12007\r\n3000000\r\n", "Orgao.txt:1: cabeçalho inválido"},
        {"unknown name", "Orgaos.txt", "1200714\r\n3000000\r\n", "Orgaos.txt:0: arquivo desconhecido"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        fs::create_directories(dir.path() / "Anual");
        writeBytes(dir.path() / "Anual" / c.file, c.content);
        const Outcome o = runTcese("check " + (dir.path() / "Anual" / c.file).string());
        EXPECT_EQ(o.status, c.says.empty() ? 0 : 1) << c.name << "\n" << o.output;
        if (!c.says.empty()) {
            EXPECT_NE(o.output.find(c.says), std::string::npos) << c.name << "\n" << o.output;
        }
    }
}

TEST(CliCheck, FileWithoutRecordsMustHaveNone) {
    TempDir dir;
    fs::create_directories(dir.path() / "Mensal");
    writeBytes(dir.path() / "Mensal" / "SbGovPre.txt", "1200703\r\n2X\r\n3000001\r\n");
    const Outcome o = runTcese("check " + (dir.path() / "Mensal" / "SbGovPre.txt").string());
    EXPECT_EQ(o.status, 1) << o.output;
    EXPECT_NE(o.output.find("SbGovPre.txt:2: registro de detalhe num arquivo que não tem registros"),
              std::string::npos)
        << o.output;
}

TEST(CliCheck, FolderWithoutExportSetIsAnError) {
    TempDir dir;
    fs::create_directories(dir.path() / "outra");
    for (const std::string& arg : {dir.str() + "outra", dir.str() + "nada"}) {
        const Outcome o = runTcese("check " + arg);
        EXPECT_EQ(o.status, 2) << arg << "\n" << o.output;
        EXPECT_NE(o.output.find("Erro: " + arg), std::string::npos) << o.output;
    }
}

TEST(CliCheck, FreshExportOfTheDemoPassesAndDamageIsFound) {
    TempDir dir;
    const std::string demo = dir.str() + "demo";
    ASSERT_EQ(runTcese("demo --dir " + demo).status, 0);
    const fs::path out = fs::path(demo) / "saida";
    for (const char* month : {"14", "03"}) {
        const Outcome run = runTcese("export -q --month " + std::string(month) + " --out " + out.string() +
                                     " --ini " + demo + "/Vora.ini");
        ASSERT_TRUE(run.status == 0 || run.status == 1) << run.output;
    }
    const Outcome fresh = runTcese("check " + out.string());
    EXPECT_EQ(fresh.status, 0) << fresh.output;

    // Missing file, and a monthly Orgao.txt (same name as the annual one) cut by one character.
    fs::remove(out / "Mensal" / "Bolsa.txt");
    const fs::path orgao = out / "Mensal" / "Orgao.txt";
    std::string bytes = readBytes(orgao);
    const auto end = bytes.find("\r\n", 9);
    ASSERT_EQ(end, 9u + 130u) << "the demo's Orgao.txt has a record";
    bytes.erase(end - 1, 1);
    writeBytes(orgao, bytes);
    const Outcome damaged = runTcese("check " + out.string());
    EXPECT_EQ(damaged.status, 1) << damaged.output;
    EXPECT_NE(damaged.output.find(orgao.string() + ":2: registro com 129 caracteres (esperado 130)"),
              std::string::npos)
        << damaged.output;
    EXPECT_NE(damaged.output.find((out / "Mensal" / "Bolsa.txt").string() + ":0: arquivo ausente"), std::string::npos)
        << damaged.output;
}
