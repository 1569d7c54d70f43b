#pragma once
// "&Visualizar Log ": the saved log of the selected month as the RelLog report.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "report/rellog.h"

#include <QString>

class QPrintPreviewDialog;
class QWidget;

namespace tcese {
struct DataModule;
}

namespace tcese::app {
class TFrmPrincipalSE;
}

namespace tcese::report {

// What the preview shows.
struct RelLogReport {
    std::vector<LogRow> rows;
    ReportHeader header;
    QString logName;  // "LOG032007": the log file's name without its extension
};

// The name the PDF export proposes: the log's name with ".pdf" ("LOG032007.pdf").
QString pdfFileName(const RelLogReport& report);

// Zooms the preview to `percent` the way its own zoom box does, so that the box
// shows the zoom the page is drawn at.
void setPreviewZoom(QPrintPreviewDialog& dialog, int percent);

// Shows the report and returns when the user closes it. Replaceable, so that tests
// can render the report instead of opening a modal preview.
using PreviewShower = std::function<void(QWidget* parent, const RelLogReport& report)>;

// The print preview: maximised, 80 % zoom, with print and PDF export.
void showPreview(QWidget* parent, const RelLogReport& report);

// Writes the report as PDF. Returns false when the file cannot be written.
bool exportPdf(const RelLogReport& report, const QString& file);

// The report of a month's saved log (PegaCaminho("D") + "LOG" + month + year + ".XML");
// nullopt when there is none. Database and log-file errors throw.
std::optional<RelLogReport> relLogReport(DataModule& dm, const std::filesystem::path& iniFile,
                                         const std::string& monthCode, const std::string& fiscalYear);

void btnLogClick(app::TFrmPrincipalSE& window, const PreviewShower& preview = showPreview);

}  // namespace tcese::report
