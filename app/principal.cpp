#include "app/principal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "app/marquee.h"
#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/datetime.h"
#include "generators/catalogue.h"
#include "version.h"

// The icons are compiled into this static library: the linker keeps them only
// when someone asks for them by name.
static void loadResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::app {

namespace fs = std::filesystem;

namespace {

const char* const kLaterVersion = " (disponível em uma próxima versão)";

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString qs(const char* s) { return QString::fromUtf8(s); }

const char* const kStateIcons[4] = {":/icons/estado0.png", ":/icons/estado1.png", ":/icons/estado2.png",
                                    ":/icons/estado3.png"};

// The first file in `dir` named `name` in any case (files copied from Windows keep their case).
fs::path findFileNoCase(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::is_regular_file(dir / name, ec)) return dir / name;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (iequals(it->path().filename().string(), name) && it->is_regular_file(ec)) return it->path();
    }
    return {};
}

void clickable(QLabel* label, bool on) { label->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor); }

}  // namespace

StartOptions StartOptions::fromEnvironment() {
    StartOptions o;
    o.programDir = tcese::programDir();
    const char* ini = std::getenv("TCESE_INI");
    if (ini && *ini) o.iniFile = ini;
    return o;
}

QString GetBuildInfo() { return QStringLiteral(TCESE_VERSION); }

QString windowCaption(const fs::path& programDir) {
    const fs::path quenda = findFileNoCase(programDir, "quenda8.exe");
    if (quenda.empty()) return QStringLiteral("FrmPrincipalSE");
    const QDateTime m = QFileInfo(QString::fromStdString(quenda.string())).lastModified();
    const QDate d = m.date();
    const QTime t = m.time();
    const DateTime stamp{makeDate(d.year(), d.month(), d.day()), TimeOfDay::of(t.hour(), t.minute(), t.second())};
    return QStringLiteral("VORA 8.0 - MODULO TCE - SE - Atualizado dia ") + qs(dateTimeToText(stamp)) +
           QStringLiteral(" - Versão: ") + GetBuildInfo();
}

QIcon stateIcon(int state) {
    loadResources();
    // Loaded once: 125 rows share them.
    static const QIcon icons[4] = {QIcon(QString::fromLatin1(kStateIcons[0])), QIcon(QString::fromLatin1(kStateIcons[1])),
                                   QIcon(QString::fromLatin1(kStateIcons[2])), QIcon(QString::fromLatin1(kStateIcons[3]))};
    return (state >= 0 && state < 4) ? icons[state] : QIcon();
}

TFrmPrincipalSE::TFrmPrincipalSE(StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      sink_(std::make_unique<MessageSink>()),
      chooseFolder_([](QWidget* p, const QString& title) { return QFileDialog::getExistingDirectory(p, title); }),
      openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      annual_(annualCatalogue()),
      monthly_(monthlyCatalogue()) {
    loadResources();
    setObjectName(QStringLiteral("FrmPrincipalSE"));
    setWindowTitle(QStringLiteral("FrmPrincipalSE"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/programa.png")));
    setMinimumSize(900, 640);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(buildHeader());
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(buildSideBar());
    auto* work = new QWidget(central);
    work->setObjectName(QStringLiteral("workArea"));
    auto* workLayout = new QVBoxLayout(work);
    workLayout->setContentsMargins(8, 8, 8, 8);
    workLayout->addWidget(buildPanel());
    body->addWidget(work, 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);
    buildStatusBar();

    setStyleSheet(QStringLiteral(
        "#header { background: #008080; }"
        "#header QLabel { color: white; }"
        "#sideBar { background: #008080; }"
        "#sideBar QLabel[group=\"true\"] { background: #005a5a; color: white; font-weight: bold;"
        "  padding: 5px 8px; border-top: 1px solid #2aa; }"
        "#sideBar QPushButton { color: white; text-align: left; padding: 6px 10px; border: none;"
        "  background: transparent; }"
        "#sideBar QPushButton:hover { background: #0a9a9a; }"
        "#sideBar QPushButton:pressed { background: #006868; }"
        "#sideBar QPushButton:disabled { color: #8fc4c4; }"
        "#workArea { background: #e8eded; }"));

    connect(&clockTimer_, &QTimer::timeout, this, &TFrmPrincipalSE::tick);
    clockTimer_.start(100);
    tick();
}

TFrmPrincipalSE::~TFrmPrincipalSE() = default;

QWidget* TFrmPrincipalSE::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    header->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(14, 8, 14, 8);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    auto* court = new QLabel(QStringLiteral("Tribunal de Contas do Estado do Sergipe"), header);
    court->setObjectName(QStringLiteral("lblTribunal"));
    QFont f = court->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    court->setFont(f);
    auto* product = new QLabel(QStringLiteral("VORA - Sistema de Contabilidade Pública - VERSÃO EXPORTAÇÃO (SISAP) "), header);
    product->setObjectName(QStringLiteral("lblProduto"));
    titles->addWidget(court);
    titles->addWidget(product);
    row->addLayout(titles, 1);

    Image1 = new QLabel(header);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QIcon(QStringLiteral(":/icons/fabricante.png")).pixmap(40, 40));
    auto* maker = new QVBoxLayout;
    maker->setSpacing(0);
    Label4 = new QLabel(QStringLiteral("Tavrel S/C Software Ltda."), header);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label5 = new QLabel(qs(kMakerSite), header);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setVisible(*kMakerSite != '\0');
    maker->addStretch();
    maker->addWidget(Label4);
    maker->addWidget(Label5);
    maker->addStretch();
    row->addWidget(Image1);
    row->addLayout(maker);
    const bool makerLink = *kMakerSite != '\0';
    for (QLabel* l : {Image1, Label4, Label5}) {
        clickable(l, makerLink);
        l->installEventFilter(this);
    }
    return header;
}

QPushButton* TFrmPrincipalSE::sideButton(const char* name, const char* caption, const char* hint, const char* icon) {
    auto* b = new QPushButton(qs(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(qs(hint));
    b->setProperty("hint", qs(hint));
    b->setIcon(QIcon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(24, 24));
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QWidget* TFrmPrincipalSE::buildSideBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("sideBar"));
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setFixedWidth(190);
    auto* col = new QVBoxLayout(bar);
    col->setContentsMargins(0, 0, 0, 10);
    col->setSpacing(1);

    auto group = [&](const char* title) {
        auto* l = new QLabel(qs(title), bar);
        l->setProperty("group", true);
        col->addWidget(l);
    };
    group("Arquivos");
    sbgera = sideButton("sbgera", "Gerar Arquivos", "Gerador de Arquivos para Importação no SISAP",
                        ":/icons/sb_gerar.png");
    col->addWidget(sbgera);
    connect(sbgera, &QPushButton::clicked, this, &TFrmPrincipalSE::sbgeraClick);

    col->addSpacing(8);
    group("Cadastros/Relac.");
    SbUnid = sideButton("SbUnid", "&Unid. Gestora", "Cadastro da Unidade Gestora", ":/icons/sb_unid.png");
    SbOrc = sideButton("SbOrc", "&Orçamento", "Parâmetros do Orçamento do TCE/SE", ":/icons/sb_orc.png");
    SbPlano = sideButton("SbPlano", "&Plano de Contas", "Plano de Contas do TCE/SE", ":/icons/sb_plano.png");
    SbDesp = sideButton("SbDesp", "Relac. &Despesas", "Relacionamento de Despesas", ":/icons/sb_desp.png");
    sbcomissao = sideButton("sbcomissao", "Comissão", "Cadastro de Dispensa/Inexigilidade", ":/icons/sb_comissao.png");
    sbdispensa = sideButton("sbdispensa", "Dispensa/Inexig.", "Cadastro de Dispensa/Inexigilidade",
                            ":/icons/sb_dispensa.png");
    for (QPushButton* b : {SbUnid, SbOrc, SbPlano, SbDesp, sbcomissao, sbdispensa}) {
        col->addWidget(b);
        screens_.emplace_back(b, nullptr);
        b->setEnabled(false);
        b->setToolTip(b->property("hint").toString() + qs(kLaterVersion));
        connect(b, &QPushButton::clicked, this, [this, b] {
            for (auto& [button, open] : screens_) {
                if (button == b && open) open(*this);
            }
        });
    }
    col->addStretch(1);

    Image2 = new QLabel(bar);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(QIcon(QStringLiteral(":/icons/tribunal.png")).pixmap(96, 96));
    Image2->setAlignment(Qt::AlignCenter);
    Image2->setToolTip(qs(kCourtSite));
    clickable(Image2, true);
    Image2->installEventFilter(this);
    col->addWidget(Image2);
    return bar;
}

QWidget* TFrmPrincipalSE::buildPanel() {
    pnPrinc = new QWidget(this);
    pnPrinc->setObjectName(QStringLiteral("pnPrinc"));
    auto* col = new QVBoxLayout(pnPrinc);
    col->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    auto* gbMes = new QGroupBox(QStringLiteral("Mês de Referência"), pnPrinc);
    cbmes = new QComboBox(gbMes);
    cbmes->setObjectName(QStringLiteral("cbmes"));
    for (const char* e : kMonthEntries) cbmes->addItem(qs(e));
    cbmes->setMaxVisibleItems(14);
    cbmes->setCurrentIndex(-1);
    (new QVBoxLayout(gbMes))->addWidget(cbmes);
    auto* gbEnt = new QGroupBox(QStringLiteral("Selecione a Entidade"), pnPrinc);
    CbEnt = new QComboBox(gbEnt);
    CbEnt->setObjectName(QStringLiteral("CbEnt"));
    CbEnt->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CbEnt->setMinimumContentsLength(30);
    (new QVBoxLayout(gbEnt))->addWidget(CbEnt);
    top->addWidget(gbMes, 1);
    top->addWidget(gbEnt, 2);
    col->addLayout(top);

    auto* gbLocal = new QGroupBox(QStringLiteral("Local onde os Arquivos serão Gerados"), pnPrinc);
    auto* localRow = new QHBoxLayout(gbLocal);
    edtLocal = new QLineEdit(gbLocal);
    edtLocal->setObjectName(QStringLiteral("edtLocal"));
    edtLocal->setReadOnly(true);
    RzRapidFireButton1 = new QToolButton(gbLocal);
    RzRapidFireButton1->setObjectName(QStringLiteral("RzRapidFireButton1"));
    RzRapidFireButton1->setIcon(QIcon(QStringLiteral(":/icons/pasta.png")));
    RzRapidFireButton1->setToolTip(QStringLiteral("Selecione a Pasta onde os Arquivos Serão Gerados"));
    localRow->addWidget(edtLocal, 1);
    localRow->addWidget(RzRapidFireButton1);
    connect(RzRapidFireButton1, &QToolButton::clicked, this, &TFrmPrincipalSE::RzRapidFireButton1Click);
    col->addWidget(gbLocal);

    lstArqs = new QTreeWidget(pnPrinc);
    lstArqs->setObjectName(QStringLiteral("lstArqs"));
    lstArqs->setColumnCount(4);
    lstArqs->setHeaderLabels({QStringLiteral("Arquivo Gerado"), QStringLiteral("Linhas"), QStringLiteral("Data"),
                              QStringLiteral("Tamanho")});
    lstArqs->setRootIsDecorated(false);
    lstArqs->setUniformRowHeights(true);
    lstArqs->setItemsExpandable(false);
    lstArqs->setSelectionMode(QAbstractItemView::SingleSelection);
    lstArqs->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstArqs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstArqs->setAllColumnsShowFocus(true);
    lstArqs->header()->setStretchLastSection(false);
    lstArqs->header()->setSectionsMovable(false);
    lstArqs->setColumnWidth(0, 370);
    lstArqs->setColumnWidth(1, 60);
    lstArqs->setColumnWidth(2, 80);
    lstArqs->setColumnWidth(3, 100);
    lstArqs->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    lstArqs->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    col->addWidget(lstArqs, 1);
    lblResumo = new QLabel(pnPrinc);
    lblResumo->setObjectName(QStringLiteral("lblResumo"));
    col->addWidget(lblResumo);

    auto* legend = new QHBoxLayout;
    for (int s = 0; s < 4; ++s) {
        auto* icon = new QLabel(pnPrinc);
        icon->setPixmap(stateIcon(s).pixmap(16, 16));
        auto* text = new QLabel(qs(fileStateLegend(s)), pnPrinc);
        text->setObjectName(QStringLiteral("legenda%1").arg(s));
        legend->addWidget(icon);
        legend->addWidget(text);
        legend->addSpacing(18);
    }
    legend->addStretch(1);
    col->addLayout(legend);

    auto bar = [&](const char* name, const char* label) {
        col->addWidget(new QLabel(qs(label), pnPrinc));
        auto* b = new QProgressBar(pnPrinc);
        b->setObjectName(QString::fromLatin1(name));
        b->setRange(0, 100);
        b->setValue(0);
        col->addWidget(b);
        return b;
    };
    p1 = bar("p1", "Arquivo Atual");
    p2 = bar("p2", "Progresso Geral de Criação dos Arquivos de Envio ao Tribunal de Contas");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnLog = new QPushButton(QStringLiteral("&Visualizar Log "), pnPrinc);
    btnLog->setObjectName(QStringLiteral("btnLog"));
    btnLog->setIcon(QIcon(QStringLiteral(":/icons/log.png")));
    btnLog->setEnabled(false);
    btnLog->setToolTip(QStringLiteral("Relatório do log") + qs(kLaterVersion));
    connect(btnLog, &QPushButton::clicked, this, [this] {
        if (logViewer_ && !runControls_) logViewer_(*this);
    });
    gerar = new QPushButton(QStringLiteral("&Gerar"), pnPrinc);
    gerar->setObjectName(QStringLiteral("gerar"));
    gerar->setIcon(QIcon(QStringLiteral(":/icons/gerar.png")));
    connect(gerar, &QPushButton::clicked, this, &TFrmPrincipalSE::gerarClick);
    Fechar = new QPushButton(QStringLiteral("&Fechar"), pnPrinc);
    Fechar->setObjectName(QStringLiteral("Fechar"));
    Fechar->setIcon(QIcon(QStringLiteral(":/icons/fechar.png")));
    connect(Fechar, &QPushButton::clicked, this, &TFrmPrincipalSE::FecharClick);
    for (QPushButton* b : {btnLog, gerar, Fechar}) {
        b->setIconSize(QSize(24, 24));
        b->setMinimumWidth(130);
        buttons->addWidget(b);
    }
    col->addLayout(buttons);

    pnPrinc->hide();
    pnPrinc->setEnabled(false);
    return pnPrinc;
}

void TFrmPrincipalSE::buildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setSizeGripEnabled(false);
    auto pane = [&](const char* name, const QString& text, int stretch) {
        auto* l = new QLabel(text, sb);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setContentsMargins(6, 0, 6, 0);
        sb->addWidget(l, stretch);
        return l;
    };
    marquee = new Marquee(QStringLiteral("Tribunal de Contas do Estado do Sergipe"), 50, sb);
    marquee->setObjectName(QStringLiteral("marquee"));
    marquee->setMinimumWidth(marquee->sizeHint().width());
    sb->addWidget(marquee);
    Exerc = pane("Exerc", QString(), 0);
    Exerc->setMinimumWidth(Exerc->fontMetrics().horizontalAdvance(QStringLiteral("Ex: 0000")) + 16);
    clockPane = pane("clockPane", QString(), 0);
    clockPane->setMinimumWidth(clockPane->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    clockPane->setAlignment(Qt::AlignCenter);
    datePane = pane("datePane", QString(), 0);
    datePane->setMinimumWidth(
        datePane->fontMetrics().horizontalAdvance(QStringLiteral("quarta-feira, 30 de setembro de 2000")) + 16);
    datePane->setAlignment(Qt::AlignCenter);
    Vrs = pane("Vrs", QString(), 0);
    Vrs->setMinimumWidth(Vrs->fontMetrics().horizontalAdvance(QStringLiteral("Vrs: 8.0.0.3")) + 16);
    makerPane = pane("makerPane", QStringLiteral("Tavrel SC Ltda. - Software"), 1);
}

void TFrmPrincipalSE::tick() {
    const QDateTime n = QDateTime::currentDateTime();
    clockPane->setText(n.time().toString(QStringLiteral("H:mm:ss")));
    datePane->setText(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n.date(), QLocale::LongFormat));
}

void TFrmPrincipalSE::setMessageSink(std::unique_ptr<MessageSink> sink) {
    sink_ = sink ? std::move(sink) : std::make_unique<MessageSink>();
}

void TFrmPrincipalSE::showMessage(MessageKind kind, const QString& text, const QString& detail) {
    sink_->show(this, kind, text, detail);
}

void TFrmPrincipalSE::setCatalogues(std::span<const CatalogueStep> annual, std::span<const CatalogueStep> monthly) {
    annual_ = annual;
    monthly_ = monthly;
}

void TFrmPrincipalSE::setScreen(QPushButton* button, ScreenOpener open) {
    for (auto& [b, o] : screens_) {
        if (b != button) continue;
        o = std::move(open);
        b->setToolTip(b->property("hint").toString() + (o ? QString() : qs(kLaterVersion)));
        b->setEnabled(o && !runControls_);
    }
}

void TFrmPrincipalSE::setLogViewer(ScreenOpener open) {
    logViewer_ = std::move(open);
    btnLog->setToolTip(logViewer_ ? QString() : QStringLiteral("Relatório do log") + qs(kLaterVersion));
    btnLog->setEnabled(logViewer_ && !runControls_);
}

bool TFrmPrincipalSE::FormCreate() {
    setWindowTitle(windowCaption(options_.programDir));
    dm_.closeDataSets();
    try {
        options_.iniFile = locateSettings(
            options_.iniFile, "Indique o arquivo com a variável TCESE_INI ou copie-o para um desses lugares.",
            options_.settingsPlaces);
    } catch (const SettingsError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        showMessage(MessageKind::Error, qs(e.what()));
        return false;
    }
    try {
        const Settings settings = Settings::load(options_.iniFile);
        dm_.Conexao.setBeforeConnect([this, settings](Connection& c) {
            Exerc->setText(QStringLiteral("Ex: ") + qs(settings.Ano));
            c.setDatabase(ConexaoBeforeConnect(settings));
        });
        dm_.Conexao.connect();
    } catch (const std::exception& e) {
        // Also on stderr: whoever starts the program from a terminal or a script sees why.
        std::fprintf(stderr, "%s\n%s\n", qPrintable(messageText(qs(kConnectError))), e.what());
        // Advice on what to do goes in the box itself; the engine's text under the details.
        const auto* db = dynamic_cast<const DatabaseError*>(&e);
        if (db && !db->advice().empty()) {
            showMessage(MessageKind::Error, qs(kConnectError) + QStringLiteral("\r\r") + qs(db->advice()),
                        qs(db->technical()));
        } else {
            showMessage(MessageKind::Error, qs(kConnectError), qs(e.what()));
        }
        return false;
    }
    Vrs->setText(QStringLiteral("Vrs: ") + GetBuildInfo());
    exporter_ = std::make_unique<Exporter>(dm_, static_cast<RunObserver&>(*this), options_.iniFile);
    return true;
}

void TFrmPrincipalSE::FormShow() {
    CbEnt->clear();
    if (!exporter_) return;
    exporter_->ctx.entityCode.clear();
    try {
        for (const std::string& e : entityEntries(dm_)) CbEnt->addItem(qs(e));
    } catch (const std::exception& e) {
        showMessage(MessageKind::Error, qs(e.what()));
    }
    if (CbEnt->count() > 0) {
        CbEnt->setCurrentIndex(0);
        exporter_->ctx.entityCode = std::string(utf8Prefix(CbEnt->currentText().toStdString(), 2));
    }
}

void TFrmPrincipalSE::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmPrincipalSE::closeEvent(QCloseEvent* e) {
    if (inRun_) {
        // The run is still on the stack: stop it and close once it has returned.
        e->ignore();
        closeAfterRun_ = true;
        if (exporter_) exporter_->cancel();
        return;
    }
    QMainWindow::closeEvent(e);
}

bool TFrmPrincipalSE::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) {
        if (watched == Image2) {
            Image2Click();
            return true;
        }
        if (watched == Image1 || watched == Label4 || watched == Label5) {
            Image1Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TFrmPrincipalSE::Image1Click() {
    if (*kMakerSite != '\0') openUrl_(QUrl(qs(kMakerSite)));
}

void TFrmPrincipalSE::Image2Click() { openUrl_(QUrl(qs(kCourtSite))); }

void TFrmPrincipalSE::sbgeraClick() {
    pnPrinc->setEnabled(true);
    pnPrinc->show();
}

void TFrmPrincipalSE::RzRapidFireButton1Click() {
    const QString dir = chooseFolder_(this, QStringLiteral("Selecione a Pasta onde os Arquivos Serão Gerados"));
    if (dir.isEmpty()) return;
    edtLocal->setText(dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'));
}

void TFrmPrincipalSE::gerarClick() {
    // A click that reaches us while a cancelled run is still unwinding waits for nothing: it is dropped.
    if (inRun_ || !exporter_) return;
    const RunRequest req{cbmes->currentIndex() >= 0 ? cbmes->currentText().toStdString() : std::string(),
                         CbEnt->currentText().toStdString(), edtLocal->text().toStdString()};
    inRun_ = true;
    try {
        lastRun_ = tcese::gerarClick(*exporter_, req, annual_, monthly_);
    } catch (const std::exception& e) {
        // Stopped by an error outside the generators: shown, controls as the run left them.
        lastRun_ = RunResult{};
        lastRun_.error = e.what();
        showMessage(MessageKind::Error, qs(e.what()));
    }
    inRun_ = false;
    showRunSummary();
    if (lastRun_.outcome == RunOutcome::NoMonth) cbmes->setFocus();
    if (lastRun_.outcome == RunOutcome::NoFolder) edtLocal->setFocus();
    if (closeAfterRun_) close();
}

void TFrmPrincipalSE::FecharClick() {
    if (!runControls_) {
        // Hidden and disabled; the controls keep their own state for the next show.
        pnPrinc->hide();
        pnPrinc->setEnabled(false);
        return;
    }
    if (!exporter_ || exporter_->ctx.cancelRequested) return;
    setRunControls(false);
    exporter_->cancel();  // flags the run, marks the file and closes it
    showMessage(MessageKind::Warning, QStringLiteral("Operação Cancelada!"));
}

void TFrmPrincipalSE::setRunControls(bool running) {
    runControls_ = running;
    gerar->setEnabled(!running);
    if (running) {
        Fechar->setText(QStringLiteral("Cancela&r"));
        Fechar->setIcon(QIcon(QStringLiteral(":/icons/cancelar.png")));
    } else {
        Fechar->setText(QStringLiteral("Fecha&r"));
        Fechar->setIcon(QIcon(QStringLiteral(":/icons/fechar.png")));
    }
    sbgera->setEnabled(!running);
    for (auto& [b, open] : screens_) b->setEnabled(!running && open);
    // The run's values must not change while it runs.
    cbmes->setEnabled(!running);
    CbEnt->setEnabled(!running);
    RzRapidFireButton1->setEnabled(!running);
    btnLog->setEnabled(!running && logViewer_);
}

// --- the run, as the window shows it

void TFrmPrincipalSE::fileListCleared() {
    lstArqs->clear();
    lblResumo->clear();
}

void TFrmPrincipalSE::showRunSummary() {
    int count[4] = {0, 0, 0, 0};
    QTreeWidgetItem* firstWithErrors = nullptr;
    for (int i = 0; i < lstArqs->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstArqs->topLevelItem(i);
        const int state = item->data(0, kStateRole).toInt();
        if (state >= 0 && state < 4) ++count[state];
        if (state == kStateWithErrors && !firstWithErrors) firstWithErrors = item;
    }
    if (lstArqs->topLevelItemCount() == 0) {
        lblResumo->clear();
        return;
    }
    auto many = [](int n, const char* one, const char* more) {
        return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : more);
    };
    QStringList parts = {many(count[kStateWithErrors], "com erros", "com erros"),
                         many(count[kStateSuccess], "gerado com sucesso", "gerados com sucesso"),
                         many(count[kStateNoRecords], "sem registros", "sem registros")};
    if (count[kStateFilling] > 0) parts << many(count[kStateFilling], "incompleto", "incompletos");
    lblResumo->setText(QStringLiteral("Arquivos: ") + parts.join(QStringLiteral(", ")));
    // After a complete run the user goes first to what needs correcting; after a
    // cancel or an error the list stays on the file where the run stopped.
    if (firstWithErrors && lastRun_.outcome == RunOutcome::Completed) {
        lstArqs->setCurrentItem(firstWithErrors);
        lstArqs->scrollToItem(firstWithErrors, QAbstractItemView::PositionAtTop);
    }
}

void TFrmPrincipalSE::showRow(QTreeWidgetItem* item, const FileRow& r) {
    item->setText(0, qs(r.fileName));
    item->setText(1, qs(r.lines));
    item->setText(2, qs(r.date));
    item->setText(3, qs(r.size));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    item->setIcon(0, stateIcon(r.stateIndex));
    item->setData(0, kStateRole, r.stateIndex);
}

void TFrmPrincipalSE::fileCreated(int row, const FileRow& r) {
    auto* item = new QTreeWidgetItem;
    showRow(item, r);
    lstArqs->insertTopLevelItem(std::clamp(row, 0, lstArqs->topLevelItemCount()), item);
    lstArqs->scrollToItem(item);
    lstArqs->setFocus();
}

void TFrmPrincipalSE::fileClosed(int row, const FileRow& r) {
    if (QTreeWidgetItem* item = lstArqs->topLevelItem(row)) showRow(item, r);
}

void TFrmPrincipalSE::fileProgress(long position, long maximum) {
    if (maximum <= 0) {
        p1->setRange(0, 100);  // 0..0 would make the bar a busy indicator
        p1->setValue(0);
        return;
    }
    const long top = std::min<long>(maximum, std::numeric_limits<int>::max());
    p1->setRange(0, static_cast<int>(top));
    p1->setValue(static_cast<int>(std::clamp<long>(position, 0, top)));
}

void TFrmPrincipalSE::overallProgress(int position, int maximum) {
    p2->setRange(0, maximum > 0 ? maximum : 100);
    p2->setValue(maximum > 0 ? std::min(position, maximum) : 0);
}

void TFrmPrincipalSE::processEvents() { QCoreApplication::processEvents(); }

void TFrmPrincipalSE::message(MessageKind kind, const std::string& text) { showMessage(kind, qs(text)); }

void TFrmPrincipalSE::runStateChanged(bool running) { setRunControls(running); }

}  // namespace tcese::app
