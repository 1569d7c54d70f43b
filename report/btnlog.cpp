#include "report/btnlog.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QTime>
#include <QTimer>
#include <QToolBar>

#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "app/principal.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"

namespace tcese::report {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString fieldText(RecordSet& rs, const char* name) {
    return rs.active() && rs.recordCount() > 0 && rs.fieldIndex(name) >= 0 ? qs(rs.field(name).asString()) : QString();
}

// CdsAux, CdsRelLog, CdsCliente and CdsLogo are closed however the click ends.
struct CloseOnExit {
    DataModule& dm;
    ~CloseOnExit() {
        for (RecordSet* rs : {&dm.CdsAux, &dm.CdsRelLog, &dm.CdsCliente, &dm.CdsLogo}) rs->close();
    }
};

}  // namespace

QString pdfFileName(const RelLogReport& report) {
    return (report.logName.isEmpty() ? QStringLiteral("LOG") : report.logName) + QStringLiteral(".pdf");
}

void setPreviewZoom(QPrintPreviewDialog& dialog, int percent) {
    auto* view = dialog.findChild<QPrintPreviewWidget*>();
    QComboBox* box = nullptr;
    if (auto* bar = dialog.findChild<QToolBar*>()) box = bar->findChild<QComboBox*>();
    if (box && box->isEditable() && box->lineEdit()) {
        // Through the box: the dialog then sets the zoom, leaves "fit" mode and
        // shows the same number (setting it on the view alone leaves the box as it was).
        box->lineEdit()->setText(QString::number(percent) + QLatin1Char('%'));
        emit box->lineEdit()->editingFinished();
    } else if (view) {
        view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        view->setZoomFactor(percent / 100.0);
    }
}

bool exportPdf(const RelLogReport& report, const QString& file) {
    // Written aside and renamed into place: a failed export leaves no half file.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter pdf(&out);
        pdf.setResolution(600);
        pdf.setTitle(QStringLiteral("ARQUIVO DE LOG DA GERAÇÃO DOS ARQUIVOS"));
        pdf.setCreator(QStringLiteral("VORA 8.0 - MODULO TCE - SE"));
        if (!printRelLog(report.rows, report.header, pdf)) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

void showPreview(QWidget* parent, const RelLogReport& report) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setDocName(QStringLiteral("RelLog"));

    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("ARQUIVO DE LOG DA GERAÇÃO DOS ARQUIVOS"));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&report](QPrinter* p) { printRelLog(report.rows, report.header, *p); });
    if (auto* bar = dlg.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("Exportar PDF"));
        QObject::connect(pdf, &QAction::triggered, &dlg, [&dlg, &report] {
            const QString file = QFileDialog::getSaveFileName(&dlg, QStringLiteral("Exportar PDF"), pdfFileName(report),
                                                              QStringLiteral("PDF (*.pdf)"));
            if (file.isEmpty()) return;
            if (!exportPdf(report, file))
                QMessageBox::warning(&dlg, QStringLiteral("Atenção"), QStringLiteral("Não foi possível gravar o arquivo: ") + file);
        });
    }
    // The dialog fits the page when shown: our zoom goes after it.
    QTimer::singleShot(0, &dlg, [&dlg] { setPreviewZoom(dlg, 80); });
    dlg.setWindowState(dlg.windowState() | Qt::WindowMaximized);
    dlg.exec();
}

std::optional<RelLogReport> relLogReport(DataModule& dm, const std::filesystem::path& iniFile,
                                         const std::string& monthCode, const std::string& fiscalYear) {
    const std::filesystem::path file(PegaCaminho("D", iniFile) + "LOG" + monthCode + fiscalYear + ".XML");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;

    dm.CdsLogo.close();
    dm.Conexao.open(dm.CdsLogo, "select * from logo");
    dm.CdsCliente.close();
    dm.Conexao.open(dm.CdsCliente, "select * from cadcli");
    dm.CdsRelLog.close();
    loadDatapacket(dm.CdsRelLog, file);

    RelLogReport report;
    report.rows = logRows(dm.CdsRelLog);
    if (dm.CdsLogo.active() && dm.CdsLogo.recordCount() > 0 && dm.CdsLogo.fieldIndex("LOGO") >= 0) {
        const std::string bytes = dm.CdsLogo.field("LOGO").asString();
        report.header.logo.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    }
    report.header.name = fieldText(dm.CdsCliente, "CLNT1");
    report.header.address = fieldText(dm.CdsCliente, "ENDERE");
    report.header.cnpj = fieldText(dm.CdsCliente, "CGC");
    report.header.title = periodTitle(qs(monthCode), qs(fiscalYear));
    report.logName = QStringLiteral("LOG") + qs(monthCode) + qs(fiscalYear);
    report.header.printDate = QDate::currentDate();
    report.header.printTime = QTime::currentTime();
    return report;
}

void btnLogClick(app::TFrmPrincipalSE& w, const PreviewShower& preview) {
    auto warn = [&w](const char* text) { w.messageSink().show(&w, MessageKind::Warning, QString::fromUtf8(text)); };
    if (w.cbmes->currentIndex() < 0) {
        warn("Selecione o Mês de Referência!");
        w.cbmes->setFocus();
        w.cbmes->showPopup();
        return;
    }
    DataModule& dm = w.dataModule();
    CloseOnExit closer{dm};
    try {
        const std::string monthCode = w.cbmes->currentText().left(2).toStdString();
        dm.Conexao.open(dm.CdsAux, "select * from cadcli");
        const std::string fiscalYear = fieldText(dm.CdsAux, "mexer").toStdString();
        if (Exporter* ex = w.exporter()) {
            ex->ctx.monthCode = monthCode;
            ex->ctx.fiscalYear = fiscalYear;
        }

        const std::optional<RelLogReport> report = relLogReport(dm, w.iniFile(), monthCode, fiscalYear);
        if (!report) {
            warn("Arquivo de Log não encontrado!");
            return;
        }
        preview(&w, *report);
    } catch (const std::exception& e) {
        w.messageSink().show(&w, MessageKind::Error, qs(e.what()));
    }
}

}  // namespace tcese::report
