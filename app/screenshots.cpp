// tcese-screenshots: pictures of the main window for the documentation.
//   xvfb-run -a -s "-screen 0 1280x800x24" tcese-screenshots --ini DEMO/Vora.ini --out docs --folder DEMO/saida
// Shows the window idle, during a monthly run, after it, and after a cancelled
// run; message boxes are answered at once and printed instead of shown.
#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

#include "app/principal.h"
#include "app/translations.h"
#include "report/btnlog.h"
#include "screens/despesa.h"
#include "screens/orcamento.h"
#include "screens/pesdespesa.h"
#include "screens/planocontas.h"
#include "screens/comissao.h"
#include "screens/disp.h"
#include "screens/pescertidao.h"
#include "screens/pesconv.h"
#include "screens/pesfornec.h"
#include "screens/pesprod.h"
#include "screens/unidgestora.h"
#include "config/settings.h"
#include "engine/observer.h"

namespace {

using tcese::MessageKind;

class PrintingSink : public tcese::app::MessageSink {
public:
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        std::fprintf(stderr, "[%s] %s%s%s\n", tcese::messageCaption(kind), qPrintable(tcese::app::messageText(text)),
                     detail.isEmpty() ? "" : "\n  ", qPrintable(detail));
    }
};

bool save(QWidget& w, const QDir& out, const char* name) {
    QCoreApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(name));
    const bool ok = w.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// The expense-element screen in edit mode on the demo's unmapped ficha, and its
// lookup near a deactivated code.
bool despesaPictures(tcese::app::TFrmPrincipalSE& w, const QDir& out) {
    tcese::screens::TFrmDespesa f(w);
    f.show();
    f.Alterar->click();
    f.RadioButton4->setChecked(true);
    f.MaskEdit1->setText(QStringLiteral("24"));
    f.PesquisarClick();
    bool ok = save(f, out, "despesa.png");
    bool tookLookup = false;
    QTimer::singleShot(0, &f, [&] {
        if (auto* d = qobject_cast<tcese::screens::TFrmPesDespesa*>(QApplication::activeModalWidget())) {
            d->MaskEdit1->setText(QStringLiteral("33903"));
            d->PesquisarClick();
            tookLookup = save(*d, out, "pesdespesa.png");
            d->reject();
        }
    });
    f.Pesquisa->click();
    f.FecharClick();
    f.FecharClick();
    return ok && tookLookup;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TCE - SE"));
    tcese::app::installQtTranslations();
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOption({"ini", "settings file of the installation", "file"});
    cli.addOption({"out", "folder for the pictures", "dir", "docs"});
    cli.addOption({"folder", "folder the export files go to", "dir"});
    cli.addOption({"month", "month box entry index (3 = March)", "n", "3"});
    cli.addOption({"running-in", "file being written when the running picture is taken", "name", "Empenho.txt"});
    cli.addOption({"cancel-in", "file being written when the second run is cancelled", "name", "ItemEmp.txt"});
    cli.process(app);
    if (!cli.isSet("ini") || !cli.isSet("folder")) {
        std::fprintf(stderr, "--ini and --folder are needed\n");
        return 2;
    }
    const QDir out(cli.value("out"));
    QDir().mkpath(out.path());

    tcese::app::TFrmPrincipalSE w(
        tcese::app::StartOptions{cli.value("ini").toStdString(), tcese::programDir()});
    w.setMessageSink(std::make_unique<PrintingSink>());
    if (!w.FormCreate()) return 1;
    // Wired as in tcese-gui, so the pictures show the same buttons.
    w.setScreen(w.SbOrc, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmOrcamento f(p);
        f.exec();
    });
    w.setScreen(w.SbUnid, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmUnidGestora f(p);
        f.exec();
    });
    w.setScreen(w.SbPlano, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmPlano f(p);
        f.exec();
    });
    w.setScreen(w.sbdispensa, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmDisp f(p);
        f.exec();
    });
    w.setScreen(w.sbcomissao, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmComissao f(p);
        f.exec();
    });
    w.setScreen(w.SbDesp, [](tcese::app::TFrmPrincipalSE& p) {
        tcese::screens::TFrmDespesa f(p);
        f.exec();
    });
    w.setLogViewer([](tcese::app::TFrmPrincipalSE& p) { tcese::report::btnLogClick(p); });
    w.setGeometry(QRect(0, 0, 1280, 800));
    w.show();
    const QString folder = QDir(cli.value("folder")).absolutePath();
    w.setFolderChooser([folder](QWidget*, const QString&) { return folder; });

    bool ok = true;
    ok &= despesaPictures(w, out);
    w.sbgeraClick();
    w.cbmes->setCurrentIndex(cli.value("month").toInt());
    w.RzRapidFireButton1Click();
    ok &= save(w, out, "tela-inicial.png");

    // Pictures and the cancel are taken by a timer that fires whenever the run lets events through.
    const QString runningIn = cli.value("running-in");
    const QString cancelIn = cli.value("cancel-in");
    auto writing = [&w](const QString& name) {
        const int rows = w.lstArqs->topLevelItemCount();
        const QTreeWidgetItem* last = rows > 0 ? w.lstArqs->topLevelItem(rows - 1) : nullptr;
        return last && last->text(0) == name && last->data(0, tcese::app::kStateRole).toInt() == tcese::kStateFilling;
    };
    bool tookRunning = false;
    bool cancelling = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!tookRunning && writing(runningIn)) {
            tookRunning = true;
            ok &= save(w, out, "tela-gerando.png");
        }
        if (cancelling && writing(cancelIn) && w.runControlsActive()) {
            cancelling = false;
            w.Fechar->click();
        }
    });
    watch.start();
    w.gerar->click();
    ok &= tookRunning;
    // As the user sees it after scrolling back to the first files.
    w.lstArqs->scrollToTop();
    ok &= save(w, out, "tela-concluida.png");

    cancelling = true;
    w.gerar->click();
    watch.stop();
    ok &= !cancelling;
    ok &= save(w, out, "tela-cancelada.png");

    // The waiver and commission registers, on their second row, and the lookups.
    auto secondRow = [](tcese::screens::RecordSetView* grid) {
        const QModelIndex idx = grid->model()->index(1, 0);
        if (!idx.isValid()) return;
        grid->setCurrentIndex(idx);
        emit grid->clicked(idx);
    };
    {
        tcese::screens::TFrmDisp f(w);
        f.show();
        secondRow(f.DBGrid1);
        ok &= save(f, out, "disp.png");
        f.PageControl1->setCurrentWidget(f.TabItens);
        ok &= save(f, out, "disp-itens.png");
    }
    {
        tcese::screens::TFrmComissao f(w);
        f.show();
        ok &= save(f, out, "comissao.png");
    }
    auto lookup = [&](QDialog&& d, const char* name) {
        d.show();
        ok &= save(d, out, name);
    };
    lookup(tcese::screens::TFrmPesFornec(w.dataModule(), w.messageSink(), &w), "pesfornec.png");
    lookup(tcese::screens::TFrmPesprod(w.dataModule(), w.messageSink(), &w), "pesprod.png");
    lookup(tcese::screens::TFrmPesConv(w.dataModule(), w.messageSink(), &w), "pesconv.png");
    lookup(tcese::screens::TFrmPesCert(&w), "pescert.png");
    return ok ? 0 : 1;
}
