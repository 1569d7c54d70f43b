// The program itself, started as a user would.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include "engine_support.h"

using tcese::testing::TempDir;

namespace {

// Starts tcese-gui offscreen with `ini`; returns once its stderr holds `waitFor`.
bool startUntil(QProcess& p, const std::filesystem::path& ini, const QStringList& args, const QString& waitFor) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TCESE_INI", QString::fromStdString(ini.string()));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TCESE_GUI_EXE), args);
    if (!p.waitForStarted(10000)) return false;
    QByteArray err;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        p.waitForReadyRead(200);
        err += p.readAllStandardError();
        if (QString::fromUtf8(err).contains(waitFor)) return true;
        if (p.state() == QProcess::NotRunning) return false;
    }
    return false;
}

}  // namespace

// The connection message is modal; a terminate signal while it is up ends the
// program cleanly, with the failed connection's status.
TEST(Program, FailedConnectionEndsWithNonZeroStatus) {
    TempDir dir;
    tcese::testing::writeBytes(dir.path() / "Vora.ini", "[VORA]\nAno=2031\nCaminho_Base_Dados=" + dir.str() + "\n");
    QProcess p;
    ASSERT_TRUE(startUntil(p, dir.path() / "Vora.ini", {}, QString::fromUtf8("O Módulo será Finalizado!!")));
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
}
