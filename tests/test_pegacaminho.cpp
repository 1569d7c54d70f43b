#include "config/pegacaminho.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

using namespace tcese;
namespace fs = std::filesystem;

namespace {

class PegaCaminhoTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tcese-caminho-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
    }
    void TearDown() override { fs::remove_all(root); }

    // A folder under the temp root, created with its parents; with a trailing "/".
    std::string folder(const std::string& rel) {
        fs::create_directories(root / rel);
        return (root / rel).string() + "/";
    }

    fs::path root;
};

std::set<std::string> tree(const fs::path& root) {
    std::set<std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(root)) all.insert(e.path().string());
    return all;
}

struct Row {
    const char* code;
    std::string expected;
    std::string created;  // the folder the call must create, or empty
};

// Every code against the expected path and the one folder it may create.
void checkRows(const fs::path& root, const Settings& s, const std::vector<Row>& rows) {
    for (const auto& r : rows) {
        const auto before = tree(root);
        EXPECT_EQ(PegaCaminho(r.code, s), r.expected) << "code " << r.code;
        auto after = tree(root);
        if (!r.created.empty()) {
            EXPECT_TRUE(fs::is_directory(r.created)) << "code " << r.code;
            after.erase(fs::path(r.created).parent_path().string());
        }
        EXPECT_EQ(after, before) << "code " << r.code << " created something else";
        if (!r.created.empty()) fs::remove(r.created);
    }
}

}  // namespace

TEST(PegaCaminhoExamples, WorkedExamples) {
    Settings local;
    local.Ano = "2007";
    local.Caminho_Base_Dados = "/home/x/VORA_8/CIDADES/X/";
    EXPECT_EQ(PegaCaminho("B", local), "/home/x/VORA_8/CIDADES/X/ARQ2007/");
    EXPECT_EQ(PegaCaminho("D", local), "/home/x/VORA_8/CIDADES/X/ARQ2007/");
    EXPECT_EQ(PegaCaminho("TD", local), "/home/x/VORA_8/TABDEF/");
    EXPECT_EQ(PegaCaminho("DA", local), "/home/x/VORA_8/CIDADES/X/ARQ2006/");
    EXPECT_EQ(ConexaoBeforeConnect(local), "/home/x/VORA_8/CIDADES/X/ARQ2007/VORA2007.FDB");

    Settings server = local;
    server.Servidor = "server1";
    server.SO_Servidor = "LINUX";
    server.Caminho_Base_Dados = "/dados/VORA_8/CIDADES/X/";
    server.Diretorio_Servidor = "/mnt/server1/VORA_8/CIDADES/X/";
    EXPECT_EQ(PegaCaminho("B", server), "server1:/dados/VORA_8/CIDADES/X/ARQ2007/");
    EXPECT_EQ(PegaCaminho("D", server), "/mnt/server1/VORA_8/CIDADES/X/ARQ2007/");
    EXPECT_EQ(PegaCaminho("TD", server), "/mnt/server1/VORA_8/TABDEF/");
    EXPECT_EQ(ConexaoBeforeConnect(server), "server1:/dados/VORA_8/CIDADES/X/ARQ2007/VORA2007.FDB");
}

TEST_F(PegaCaminhoTest, EveryCodeInLocalMode) {
    Settings s;
    s.Ano = "2007";
    const std::string top = folder("VORA_8");
    const std::string base = folder("VORA_8/CIDADES/X");
    const std::string year = folder("VORA_8/CIDADES/X/ARQ2007");
    s.Caminho_Base_Dados = base;
    checkRows(root, s,
              {
                  {"B", year, ""},
                  {"D", year, ""},
                  {"BK", year, ""},
                  {"b", year, ""},
                  {"BA", base + "ARQ2006/", ""},
                  {"DA", base + "ARQ2006/", ""},
                  {"DA2", base + "ARQ2005/", ""},
                  {"ba3", base + "ARQ2004/", ""},
                  {"DA0", base + "ARQ2007/", ""},
                  {"AP", base, ""},
                  {"BKAD", year + "BCK/", year + "BCK/"},
                  {"BKAB", year + "BCK/", year + "BCK/"},
                  {"TPB", year + "TEMP/", year + "TEMP/"},
                  {"tpd", year + "TEMP/", year + "TEMP/"},
                  {"DE", year + "EXPORTA/", year + "EXPORTA/"},
                  {"DI", year + "IMPORTA/", year + "IMPORTA/"},
                  {"RTM", base + "RTM/", base + "RTM/"},
                  {"EXE", top, ""},
                  {"TD", top + "TABDEF/", ""},
                  {"TB", top + "TABDEF/", ""},
                  {"XYZ", top + "TABDEF/", ""},
                  {"", top + "TABDEF/", ""},
              });
}

TEST_F(PegaCaminhoTest, EveryCodeInServerModeWithLinuxServer) {
    Settings s;
    s.Ano = "2007";
    s.Servidor = "server1";
    s.SO_Servidor = "LINUX";
    s.Caminho_Base_Dados = "/dados/VORA_8/CIDADES/X/";
    const std::string top = folder("share/VORA_8");
    const std::string dir = folder("share/VORA_8/CIDADES/X");
    const std::string year = folder("share/VORA_8/CIDADES/X/ARQ2007");
    s.Diretorio_Servidor = dir;
    const std::string db = "/dados/VORA_8/CIDADES/X/";
    checkRows(root, s,
              {
                  {"D", year, ""},
                  {"B", "server1:" + db + "ARQ2007/", ""},
                  {"DA", dir + "ARQ2006/", ""},
                  {"da2", dir + "ARQ2005/", ""},
                  {"BA", "server1:" + db + "ARQ2006/", ""},
                  {"BA3", "server1:" + db + "ARQ2004/", ""},
                  {"TD", top + "TABDEF/", ""},
                  {"TB", "server1:/dados/VORA_8/TABDEF/", ""},
                  {"BK", db + "ARQ2007/", ""},
                  {"BKAD", year + "BCK/", year + "BCK/"},
                  {"BKAB", db + "ARQ2007/BCK/", year + "BCK/"},
                  {"AP", dir, ""},
                  {"TPD", year + "TEMP/", year + "TEMP/"},
                  {"TPB", db + "ARQ2007/TEMP/", year + "TEMP/"},
                  {"DE", year + "EXPORTA/", year + "EXPORTA/"},
                  {"DI", year + "IMPORTA/", year + "IMPORTA/"},
                  {"rtm", dir + "RTM/", dir + "RTM/"},
                  {"EXE", top, ""},
                  {"XYZ", "", ""},
                  {"", "", ""},
              });
}

TEST(PegaCaminhoServer, ServerSideSeparatorFollowsSoServidor) {
    Settings s;
    s.Ano = "2007";
    s.Servidor = "server1";
    s.Caminho_Base_Dados = "C:\\VORA_8\\CIDADES\\X\\";
    s.Diretorio_Servidor = "/mnt/server1/VORA_8/CIDADES/X/";
    struct Case {
        const char* so;
        const char* code;
        const char* expected;
    };
    const Case cases[] = {
        {"WINDOWS", "B", "server1:C:\\VORA_8\\CIDADES\\X\\ARQ2007\\"},
        {"WINDOWS", "BA", "server1:C:\\VORA_8\\CIDADES\\X\\ARQ2006\\"},
        {"WINDOWS", "BK", "C:\\VORA_8\\CIDADES\\X\\ARQ2007\\"},
        {"WINDOWS", "TB", "server1:C:\\VORA_8\\TABDEF\\"},
        {"linux", "B", "server1:C:\\VORA_8\\CIDADES\\X\\ARQ2007\\"},
        {"Linux", "TB", "server1:C:\\VORA_8\\TABDEF\\"},
        {"", "BK", "C:\\VORA_8\\CIDADES\\X\\ARQ2007\\"},
        // the workstation side keeps its own separator
        {"WINDOWS", "D", "/mnt/server1/VORA_8/CIDADES/X/ARQ2007/"},
        {"WINDOWS", "TD", "/mnt/server1/VORA_8/TABDEF/"},
    };
    for (const auto& c : cases) {
        s.SO_Servidor = c.so;
        EXPECT_EQ(PegaCaminho(c.code, s), c.expected) << c.so << " " << c.code;
    }
    Settings byDefault;  // SO_Servidor "WINDOWS"
    byDefault.Servidor = "s";
    byDefault.Caminho_Base_Dados = "C:\\V\\";
    EXPECT_EQ(PegaCaminho("B", byDefault), "s:C:\\V\\ARQ\\");
}

TEST(PegaCaminhoServer, TableDatabaseServerAndBase) {
    struct Case {
        const char* so;
        const char* server;
        const char* base;
        const char* expected;
    };
    const Case cases[] = {
        {"LINUX", "tabsrv", "/tab/", "tabsrv:/tab/TABDEF/"},
        {"LINUX", "tabsrv", "/tab", "tabsrv:/tab/TABDEF/"},
        {"LINUX", "tabsrv", "/tab\\", "tabsrv:/tab\\TABDEF/"},
        {"WINDOWS", "tabsrv", "D:\\TAB\\", "tabsrv:D:\\TAB\\TABDEF\\"},
        {"WINDOWS", "tabsrv", "D:\\TAB", "tabsrv:D:\\TAB\\TABDEF\\"},
        {"LINUX", "", "", "server1:/dados/VORA_8/TABDEF/"},  // server and cut base
        {"LINUX", "", "/tab/", "server1:/tab/TABDEF/"},
    };
    for (const auto& c : cases) {
        Settings s;
        s.Ano = "2007";
        s.Servidor = "server1";
        s.SO_Servidor = c.so;
        s.Caminho_Base_Dados = "/dados/vora_8/CIDADES/X/";
        s.ServidorTABDEF = c.server;
        s.Caminho_Base_Dados_TABDEF = c.base;
        EXPECT_EQ(PegaCaminho("TB", s), c.expected) << c.so << " " << c.server << " " << c.base;
    }
}

TEST(PegaCaminhoCut, VoraFolderFoundInAnyCaseAndWrittenUpperCase) {
    struct Case {
        const char* base;
        const char* td;
        const char* exe;
    };
    const Case cases[] = {
        {"/home/x/vora_8/cidades/x/", "/home/x/VORA_8/TABDEF/", "/home/x/VORA_8/"},
        {"/home/x/Vora_8_old/VORA_8/x/", "/home/x/VORA_8/TABDEF/", "/home/x/VORA_8/"},
        {"/srv/contab/X/", "/srv/contab/X/TABDEF/", "/srv/contab/X/"},
        {"/srv/contab/X", "/srv/contab/X/TABDEF/", "/srv/contab/X/"},
        {"", "/TABDEF/", "/"},
    };
    for (const auto& c : cases) {
        Settings local;
        local.Caminho_Base_Dados = c.base;
        EXPECT_EQ(PegaCaminho("TD", local), c.td) << c.base;
        EXPECT_EQ(PegaCaminho("EXE", local), c.exe) << c.base;

        Settings server;
        server.Servidor = "server1";
        server.Diretorio_Servidor = c.base;
        EXPECT_EQ(PegaCaminho("TD", server), c.td) << c.base;
        EXPECT_EQ(PegaCaminho("EXE", server), c.exe) << c.base;
    }
}

TEST(PegaCaminhoServer, BlankServidorCountsAsServerMode) {
    Settings s;
    s.Ano = "2007";
    s.Servidor = "  ";
    s.Caminho_Base_Dados = "/dados/";
    EXPECT_EQ(PegaCaminho("B", s), "  :/dados/ARQ2007\\");
    EXPECT_EQ(PegaCaminho("XYZ", s), "");
}

TEST(PegaCaminhoYears, NonNumericYearOrOffsetIsAnError) {
    struct Case {
        const char* servidor;
        const char* ano;
        const char* code;
        const char* mention;
    };
    const Case cases[] = {
        {"", "abc", "DA", "'abc'"},
        {"", "", "BA", "''"},
        {"server1", "20O7", "BA2", "'20O7'"},
        {"", "2007", "DAX", "'DAX'"},
        {"server1", "2007", "da1x", "'DA1X'"},
    };
    for (const auto& c : cases) {
        Settings s;
        s.Servidor = c.servidor;
        s.Ano = c.ano;
        try {
            PegaCaminho(c.code, s);
            ADD_FAILURE() << c.code << " with Ano '" << c.ano << "' did not fail";
        } catch (const PathError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mention), std::string::npos) << e.what();
        }
    }
    // The other codes do not convert Ano.
    Settings s;
    s.Ano = "abc";
    EXPECT_EQ(PegaCaminho("B", s), "ARQabc/");
    EXPECT_EQ(PegaCaminho("TD", s), "/TABDEF/");
}

TEST_F(PegaCaminhoTest, FolderCreatedOnceAndFailureNamesTheFolder) {
    Settings s;
    s.Ano = "2007";
    s.Caminho_Base_Dados = folder("VORA_8/CIDADES/X");
    folder("VORA_8/CIDADES/X/ARQ2007");
    const std::string bck = s.Caminho_Base_Dados + "ARQ2007/BCK/";
    EXPECT_EQ(PegaCaminho("BKAD", s), bck);
    std::ofstream(bck + "copia.fbk") << "dados";
    EXPECT_EQ(PegaCaminho("BKAB", s), bck);  // already there: kept as it is
    EXPECT_TRUE(fs::exists(bck + "copia.fbk"));

    struct Case {
        const char* what;
        std::string base;
        const char* code;
        std::string folder;
    };
    const std::string missing = (root / "falta").string() + "/";
    const std::string withFile = folder("comarq");
    std::ofstream(withFile + "RTM") << "sou um arquivo";
    const std::vector<Case> cases = {
        {"parent missing", missing, "BKAD", missing + "ARQ2007/BCK/"},
        {"parent missing", missing, "DE", missing + "ARQ2007/EXPORTA/"},
        {"a file in the way", withFile, "RTM", withFile + "RTM/"},
    };
    for (const auto& c : cases) {
        s.Caminho_Base_Dados = c.base;
        try {
            PegaCaminho(c.code, s);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const PathError& e) {
            EXPECT_EQ(std::string(e.what()), "Não é possível criar o diretório: " + c.folder)
                << c.what;
        }
    }
    EXPECT_FALSE(fs::exists(missing));

    Settings server;
    server.Servidor = "server1";
    server.Ano = "2007";
    server.Diretorio_Servidor = missing;
    EXPECT_THROW(PegaCaminho("TPB", server), PathError);
}

TEST_F(PegaCaminhoTest, SettingsFileReadAgainOnEveryCall) {
    const fs::path ini = root / "Vora.ini";
    std::ofstream(ini) << "[VORA]\nAno=2007\nCaminho_Base_Dados=/home/x/VORA_8/CIDADES/X/\n";
    EXPECT_EQ(PegaCaminho("d", ini), "/home/x/VORA_8/CIDADES/X/ARQ2007/");
    std::ofstream(ini) << "[VORA]\nAno=2008\nCaminho_Base_Dados=/home/x/VORA_8/CIDADES/Y/\n";
    EXPECT_EQ(PegaCaminho("D", ini), "/home/x/VORA_8/CIDADES/Y/ARQ2008/");

    // No settings file: only the year-folder prefix and the file name remain.
    const Settings none = Settings::load(root / "nao-existe.ini");
    EXPECT_EQ(ConexaoBeforeConnect(none), "ARQ/VORA.FDB");
}
