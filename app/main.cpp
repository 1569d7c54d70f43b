// tcese-gui: the desktop program.
//   tcese-gui [design]
// The settings file is Vora.ini beside the program, or the file named by the
// environment variable TCESE_INI.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

#include "app/packform.h"
#include "app/principal.h"
#include "app/terminate.h"
#include "app/translations.h"
#include "report/btnlog.h"
#include "screens/despesa.h"
#include "screens/orcamento.h"
#include "screens/planocontas.h"
#include "screens/comissao.h"
#include "screens/disp.h"
#include "screens/unidgestora.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TCE - SE"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tcese-gui"));
    if (!tcese::app::installQtTranslations())
        std::fprintf(stderr, "Traduções do Qt não encontradas (qtbase_pt_BR.qm): os diálogos ficam em inglês.\n");
    tcese::app::installTerminateHandler();
    auto ended = [] { return 128 + tcese::app::terminateSignal(); };

    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args.at(1) == QLatin1String("design")) {
        tcese::app::TFPackage package;
        package.exec();
        if (tcese::app::terminateSignal()) return ended();
    }

    tcese::app::TFrmPrincipalSE window;
    if (!window.FormCreate()) return 1;
    window.setScreen(window.SbOrc, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmOrcamento f(p);
        f.exec();
    });
    window.setScreen(window.SbUnid, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmUnidGestora f(p);
        f.exec();
    });
    window.setScreen(window.SbPlano, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmPlano f(p);
        f.exec();
    });
    window.setScreen(window.sbdispensa, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmDisp f(p);
        f.exec();
    });
    window.setScreen(window.sbcomissao, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmComissao f(p);
        f.exec();
    });
    window.setScreen(window.SbDesp, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmDespesa f(p);
        f.exec();
    });
    window.setLogViewer([](tcese::app::TFrmPrincipalSE& p) { tcese::report::btnLogClick(p); });
    if (tcese::app::terminateSignal()) return ended();
    // Without a window manager (a bare X server) maximising does nothing: take the screen.
    if (const QScreen* s = QGuiApplication::primaryScreen()) window.setGeometry(s->availableGeometry());
    window.showMaximized();
    const int rc = app.exec();
    return tcese::app::terminateSignal() ? ended() : rc;
}
