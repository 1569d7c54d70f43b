#pragma once
// The main window: header band, side bar, generation panel and status bar. It
// owns the database connection, its record sets and the run's side (Exporter),
// and shows a run as its RunObserver.
#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <span>

#include "app/messagesink.h"
#include "config/settings.h"
#include "data/datamodule.h"
#include "engine/catalogue.h"
#include "engine/exporter.h"
#include "engine/observer.h"
#include "engine/run.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tcese::app {

class Marquee;

// The court's site (the court logo) and the maker's site (the maker's logo and
// labels; empty: they open nothing).
inline constexpr const char* kCourtSite = "https://www.tce.se.gov.br";
inline constexpr const char* kMakerSite = "";

inline constexpr const char* kConnectError = "Erro ao Conectar com a Base de Dados!\rO Módulo será Finalizado!!";

// The item data role of a file row that holds its state icon index (0..3).
inline constexpr int kStateRole = Qt::UserRole;

// Where the window finds its settings file and the program's folder.
struct StartOptions {
    std::filesystem::path iniFile;  // empty: the first found in `settingsPlaces`
    std::filesystem::path programDir;
    SettingsPlaces settingsPlaces = SettingsPlaces::standard();
    // TCESE_INI when set, else looked for.
    static StartOptions fromEnvironment();
};

// "8.0.0.3": the program's version.
QString GetBuildInfo();

// The caption: with "quenda8.exe" in `programDir`, "VORA 8.0 - MODULO TCE - SE - Atualizado dia "
// + its modification date and time + " - Versão: " + version; else "FrmPrincipalSE".
QString windowCaption(const std::filesystem::path& programDir);

// The icon of a file state (0..3).
QIcon stateIcon(int state);

class TFrmPrincipalSE : public QMainWindow, private RunObserver {
    Q_OBJECT
public:
    explicit TFrmPrincipalSE(StartOptions options = StartOptions::fromEnvironment(), QWidget* parent = nullptr);
    ~TFrmPrincipalSE() override;

    // Caption, connection, version pane. False when the connection failed: the
    // message was shown and the program must end.
    bool FormCreate();
    // Entity list and entityCode; runs on the first show.
    void FormShow();

    // A registration screen opens from its side-bar button; until one is set the
    // button stays disabled with a hint that the screen comes in a later version.
    using ScreenOpener = std::function<void(TFrmPrincipalSE&)>;
    void setScreen(QPushButton* button, ScreenOpener open);
    // The log report behind "&Visualizar Log ".
    void setLogViewer(ScreenOpener open);

    // Replaceable for tests: message boxes, the folder dialog and the web browser.
    void setMessageSink(std::unique_ptr<MessageSink> sink);
    MessageSink& messageSink() { return *sink_; }
    using FolderChooser = std::function<QString(QWidget* parent, const QString& title)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    using UrlOpener = std::function<void(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
    void setCatalogues(std::span<const CatalogueStep> annual, std::span<const CatalogueStep> monthly);

    DataModule& dataModule() { return dm_; }
    Exporter* exporter() { return exporter_.get(); }
    const std::filesystem::path& iniFile() const { return options_.iniFile; }
    const RunResult& lastRun() const { return lastRun_; }
    // The controls are as during a run (a run is going on, or one stopped by an error).
    bool runControlsActive() const { return runControls_; }

    // Components, by the program's names.
    QWidget* pnPrinc = nullptr;
    QComboBox* cbmes = nullptr;
    QComboBox* CbEnt = nullptr;
    QLineEdit* edtLocal = nullptr;
    QToolButton* RzRapidFireButton1 = nullptr;
    QTreeWidget* lstArqs = nullptr;
    QLabel* lblResumo = nullptr;  // under the list: the files of the last run by state
    QProgressBar* p1 = nullptr;
    QProgressBar* p2 = nullptr;
    QPushButton* btnLog = nullptr;
    QPushButton* gerar = nullptr;
    QPushButton* Fechar = nullptr;
    QPushButton* sbgera = nullptr;
    QPushButton* SbUnid = nullptr;
    QPushButton* SbOrc = nullptr;
    QPushButton* SbPlano = nullptr;
    QPushButton* SbDesp = nullptr;
    QPushButton* sbcomissao = nullptr;
    QPushButton* sbdispensa = nullptr;
    QLabel* Image1 = nullptr;  // maker's logo
    QLabel* Label4 = nullptr;  // maker's name
    QLabel* Label5 = nullptr;  // maker's web address
    QLabel* Image2 = nullptr;  // court's logo
    Marquee* marquee = nullptr;
    QLabel* Exerc = nullptr;
    QLabel* clockPane = nullptr;
    QLabel* datePane = nullptr;
    QLabel* Vrs = nullptr;
    QLabel* makerPane = nullptr;

public slots:
    void sbgeraClick();
    void gerarClick();
    void FecharClick();
    void RzRapidFireButton1Click();
    void Image1Click();
    void Image2Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // RunObserver: the run shown in the panel.
    void fileListCleared() override;
    void fileCreated(int row, const FileRow& r) override;
    void fileClosed(int row, const FileRow& r) override;
    void fileProgress(long position, long maximum) override;
    void overallProgress(int position, int maximum) override;
    void processEvents() override;
    void message(MessageKind kind, const std::string& text) override;
    void runStateChanged(bool running) override;

    QWidget* buildHeader();
    QWidget* buildSideBar();
    QWidget* buildPanel();
    void buildStatusBar();
    QPushButton* sideButton(const char* name, const char* caption, const char* hint, const char* icon);
    void setRunControls(bool running);
    void showRow(QTreeWidgetItem* item, const FileRow& r);
    // After a run: the count of files by state, and the first file with errors in view.
    void showRunSummary();
    void tick();
    void showMessage(MessageKind kind, const QString& text, const QString& detail = {});

    StartOptions options_;
    DataModule dm_;
    std::unique_ptr<Exporter> exporter_;
    std::unique_ptr<MessageSink> sink_;
    FolderChooser chooseFolder_;
    UrlOpener openUrl_;
    std::span<const CatalogueStep> annual_;
    std::span<const CatalogueStep> monthly_;
    std::vector<std::pair<QPushButton*, ScreenOpener>> screens_;
    ScreenOpener logViewer_;
    QTimer clockTimer_;
    RunResult lastRun_;
    bool shown_ = false;
    bool inRun_ = false;        // gerarClick is on the stack
    bool runControls_ = false;  // controls as during a run
    bool closeAfterRun_ = false;
};

}  // namespace tcese::app
