#include "config/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

using namespace tcese;
namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tcese-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    fs::path dir;
};

void expectDefaults(const Settings& s) {
    EXPECT_EQ(s.Ano, "");
    EXPECT_EQ(s.Servidor, "");
    EXPECT_EQ(s.ServidorTABDEF, "");
    EXPECT_EQ(s.SO_Servidor, "WINDOWS");
    EXPECT_EQ(s.Caminho_Base_Dados, "");
    EXPECT_EQ(s.Diretorio_Servidor, "");
    EXPECT_EQ(s.Caminho_Base_Dados_TABDEF, "");
}

}  // namespace

TEST_F(SettingsTest, ReadsEveryKeyOfSectionVoraInAnyCase) {
    const auto ini = write("Vora.ini",
                           "; product settings\r\n"
                           "[OUTRA]\r\n"
                           "Ano=1999\r\n"
                           "[vora]\r\n"
                           "ANO = 2007\r\n"
                           "  servidor=server1\r\n"
                           "SERVIDORTABDEF=tabsrv\r\n"
                           "so_servidor=LINUX\r\n"
                           "caminho_base_dados=/dados/VORA_8/CIDADES/X/\r\n"
                           "\tDiretorio_Servidor=/mnt/server1/VORA_8/CIDADES/X/\r\n"
                           "Caminho_Base_Dados_TABDEF=/tab/\r\n"
                           "Outra=ignorada\r\n"
                           "[Depois]\r\n"
                           "Servidor=nao\r\n");
    const Settings s = Settings::load(ini);
    EXPECT_EQ(s.Ano, "2007");
    EXPECT_EQ(s.Servidor, "server1");
    EXPECT_EQ(s.ServidorTABDEF, "tabsrv");
    EXPECT_EQ(s.SO_Servidor, "LINUX");
    EXPECT_EQ(s.Caminho_Base_Dados, "/dados/VORA_8/CIDADES/X/");
    EXPECT_EQ(s.Diretorio_Servidor, "/mnt/server1/VORA_8/CIDADES/X/");
    EXPECT_EQ(s.Caminho_Base_Dados_TABDEF, "/tab/");
}

TEST_F(SettingsTest, MissingFileSectionOrKeysKeepDefaults) {
    expectDefaults(Settings::load(dir / "nao-existe.ini"));
    expectDefaults(Settings::load(dir));  // a folder, not a file
    expectDefaults(Settings::load(write("vazio.ini", "")));
    expectDefaults(Settings::load(write("outra.ini", "[OUTRA]\nAno=2007\nServidor=x\n")));
    expectDefaults(Settings::load(write("sem.ini", "[VORA]\n; nada\nlixo sem igual\n")));

    const Settings partial = Settings::load(write("parcial.ini", "[VORA]\nAno=2007\n"));
    EXPECT_EQ(partial.Ano, "2007");
    EXPECT_EQ(partial.SO_Servidor, "WINDOWS");
    EXPECT_EQ(partial.Servidor, "");
}

TEST_F(SettingsTest, ValuesBecomeUtf8WhateverTheFileEncoding) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"Windows-1252", "[VORA]\r\nCaminho_Base_Dados=/home/jos\xE9/VORA_8/CONCEI\xC7\xC3O/\r\n",
         "/home/josé/VORA_8/CONCEIÇÃO/"},
        {"UTF-8", "[VORA]\nCaminho_Base_Dados=/home/josé/VORA_8/CONCEIÇÃO/\n",
         "/home/josé/VORA_8/CONCEIÇÃO/"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[VORA]\nCaminho_Base_Dados=/home/josé/\n", "/home/josé/"},
        {"BOM, then Windows-1252", "\xEF\xBB\xBF[VORA]\nCaminho_Base_Dados=/home/jos\xE9/\n",
         "/home/josé/"},
        {"Windows-1252 specials", "[VORA]\nCaminho_Base_Dados=/a\x96\x80/\n", "/a–€/"},
    };
    for (const auto& c : cases) {
        const Settings s = Settings::load(write("enc.ini", c.bytes));
        EXPECT_EQ(s.Caminho_Base_Dados, c.expected) << c.what;
    }
}

TEST_F(SettingsTest, ValueForms) {
    struct Case {
        const char* what;
        std::string line;
        std::string expected;
    };
    const std::string longPath = "/srv/" + std::string(300, 'p') + "/VORA_8/CIDADES/X/";
    const std::vector<Case> cases = {
        {"quotes dropped", "Servidor=\"server 1\"", "server 1"},
        {"single quotes dropped", "Servidor='server1'", "server1"},
        {"blanks kept inside quotes", "Servidor=\"   \"", "   "},
        {"unmatched quote kept", "Servidor=\"server1", "\"server1"},
        {"blank value", "Servidor=", ""},
        {"first occurrence counts", "Servidor=um\nServidor=dois", "um"},
        {"line longer than the parser's buffer", "Servidor=" + longPath, longPath},
        // A NUL carries nothing, and the lines after it are still read.
        {"a lone CR ends the line", "Servidor=srv\r/VORA", "srv"},
        {"NUL byte", std::string("Servidor=ser\0ver", 16), "server"},
        {"NUL byte in a long line", "Servidor=" + longPath.substr(0, 9) + std::string(1, '\0') + longPath.substr(9),
         longPath},
    };
    for (const auto& c : cases) {
        const Settings s = Settings::load(write("v.ini", "[VORA]\n" + c.line + "\nAno=2007\n"));
        EXPECT_EQ(s.Servidor, c.expected) << c.what;
        EXPECT_EQ(s.Ano, "2007") << c.what;
    }
}

TEST_F(SettingsTest, FindsTheSettingsFileInAnyCase) {
    EXPECT_EQ(findSettingsFile(dir), dir / "Vora.ini");  // none there yet

    fs::create_directory(dir / "vora.ini");  // a folder of that name is no settings file
    EXPECT_EQ(findSettingsFile(dir), dir / "Vora.ini");

    write("VORA.INI", "[VORA]\nAno=2007\n");
    EXPECT_EQ(findSettingsFile(dir), dir / "VORA.INI");
    EXPECT_EQ(Settings::load(findSettingsFile(dir)).Ano, "2007");

    write("Vora.ini", "[VORA]\nAno=2008\n");
    EXPECT_EQ(findSettingsFile(dir), dir / "Vora.ini");
}

TEST(SettingsLocation, ProgramDirIsTheFolderOfTheRunningProgram) {
    EXPECT_TRUE(fs::exists(programDir() / "test_config"));
    EXPECT_EQ(defaultSettingsFile().parent_path(), programDir());
}

TEST_F(SettingsTest, LooksForTheSettingsFileInOrder) {
    const SettingsPlaces places{dir / "bin", dir / "home/.config/tcese", dir / "etc/tcese"};
    for (const fs::path& d : places.folders()) fs::create_directories(d);
    const std::string how = "Indique o arquivo.";
    const fs::path chosen = write("escolhido.ini", "[VORA]\nAno=2007\n");

    // Each case adds a file and expects the first of the order to win.
    struct Case {
        const char* add;  // relative to dir
        fs::path chosen;
        const char* expected;
    };
    const Case cases[] = {
        {"etc/tcese/Vora.ini", {}, "etc/tcese/Vora.ini"},
        {"home/.config/tcese/VORA.INI", {}, "home/.config/tcese/VORA.INI"},
        {"bin/vora.ini", {}, "bin/vora.ini"},
        {nullptr, chosen, "escolhido.ini"},
    };
    for (const Case& c : cases) {
        if (c.add) write(c.add, "[VORA]\n");
        EXPECT_EQ(locateSettings(c.chosen, how, places), dir / c.expected) << (c.add ? c.add : "chosen");
    }
}

TEST_F(SettingsTest, AnUnusableSettingsFileSaysWhatIsWrong) {
    const SettingsPlaces places{dir / "bin", dir / "user", dir / "etc"};
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "user/vora.ini");  // a folder of that name is no settings file
    struct Case {
        fs::path chosen;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {{},
         {"Vora.ini não encontrado", (dir / "bin/Vora.ini").string() + "\n", (dir / "user/Vora.ini").string() + "\n",
          (dir / "etc/Vora.ini").string() + "\n", "Indique o arquivo."}},
        {dir / "nenhum.ini", {(dir / "nenhum.ini").string(), "não existe"}},
        {dir / "bin", {(dir / "bin").string(), "é uma pasta", (dir / "bin/Vora.ini").string()}},
    };
    for (const Case& c : cases) {
        try {
            locateSettings(c.chosen, "Indique o arquivo.", places);
            ADD_FAILURE() << "no error for " << c.chosen;
        } catch (const SettingsError& e) {
            const std::string text = e.what();
            for (const std::string& s : c.says) EXPECT_NE(text.find(s), std::string::npos) << s << " in\n" << text;
        }
    }
    // The places are listed in the order they are tried.
    try {
        locateSettings({}, "", places);
    } catch (const SettingsError& e) {
        const std::string text = e.what();
        EXPECT_LT(text.find("/bin/"), text.find("/user/"));
        EXPECT_LT(text.find("/user/"), text.find("/etc/"));
    }
}

TEST(SettingsLocation, UserFolderFollowsXdgConfigHome) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    struct Case {
        const char* xdg;  // nullptr: unset
        const char* expected;
    };
    const Case cases[] = {
        {"/srv/config", "/srv/config/tcese"},
        {nullptr, "/home/contabil/.config/tcese"},
        {"", "/home/contabil/.config/tcese"},
        {"relativo", "/home/contabil/.config/tcese"},  // a relative value is ignored
    };
    ::setenv("HOME", "/home/contabil", 1);
    for (const Case& c : cases) {
        if (c.xdg) ::setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else ::unsetenv("XDG_CONFIG_HOME");
        const SettingsPlaces p = SettingsPlaces::standard();
        EXPECT_EQ(p.userDir, fs::path(c.expected)) << (c.xdg ? c.xdg : "unset");
        EXPECT_EQ(p.programDir, programDir());
        EXPECT_EQ(p.systemDir, fs::path("/etc/tcese"));
    }
    if (xdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    if (home) ::setenv("HOME", savedHome.c_str(), 1);
}
