#include "screens/disp.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/messagesink.h"
#include "app/principal.h"
#include "screens/datebox.h"
#include "screens/funcoes.h"
#include "screens/pescertidao.h"
#include "screens/pesconv.h"
#include "screens/pesfornec.h"
#include "screens/pesprod.h"

static void loadDispResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::screens {

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string us(const QString& s) { return s.toStdString(); }

const char* const kRoman[] = {"I",    "II",  "III",  "IV",  "V",    "VI",    "VII",  "VIII",
                              "IX",   "X",   "XI",   "XII", "XIII", "XIV",   "XV",   "XVI",
                              "XVII", "XVIII", "XIX", "XX", "XXI",  "XXII", "XXIII", "XXIV"};

enum PartColumn { PartItem, PartCodif, PartCadpro, PartQuant, PartValor };
enum CertColumn { CertCodif, CertNcert, CertTipo, CertDtCert, CertDtVali, CertEspecif };

// The product code is typed through its mask; the dots are stored.
class CadproDelegate : public RecordSetDelegate {
public:
    using RecordSetDelegate::RecordSetDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* w = RecordSetDelegate::createEditor(parent, option, index);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setMaxLength(32767);
            e->setInputMask(QStringLiteral("999.999.999;_"));
        }
        return w;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* e = qobject_cast<QLineEdit*>(editor)) e->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* e = qobject_cast<QLineEdit*>(editor);
        if (!e) return;
        QString text = e->text();
        text.remove(QLatin1Char('_'));
        bool anyDigit = false;
        for (QChar c : text) anyDigit = anyDigit || c.isDigit();
        model->setData(index, anyDigit ? text : QString(), Qt::EditRole);
    }
};

// The process list shows the amount as currency (the column is a float).
class DispModel : public RecordSetModel {
public:
    using RecordSetModel::RecordSetModel;
    QVariant data(const QModelIndex& index, int role) const override {
        QVariant v = RecordSetModel::data(index, role);
        if (role == Qt::DisplayRole && index.column() == 4) {
            QString text = v.toString();
            text.replace(QLatin1Char(','), QLatin1Char('.'));
            if (const auto d = Decimal::tryParse(text.toStdString()))
                return QString::fromStdString(d->toFixed(2)).replace(QLatin1Char('.'), QLatin1Char(','));
        }
        return v;
    }
};

// A row with nothing typed (only the process key) is not a row to save.
bool blankDetail(RecordSet& rs) {
    for (int f = 0; f < rs.fieldCount(); ++f) {
        if (rs.fields()[static_cast<std::size_t>(f)].name == "CODIGO") continue;
        if (!rs.field(f).isNull()) return false;
    }
    return true;
}

void markBound(QWidget* w, const char* field) { w->setProperty(kDataFieldProperty, QString::fromLatin1(field)); }

}  // namespace

QStringList TFrmDisp::modalidades() { return {QStringLiteral("08 - Dispensa"), QStringLiteral("09 - Inexigibilidade")}; }

QStringList TFrmDisp::tiposFundamento() {
    return {QStringLiteral("01 - DECRETO"), QStringLiteral("02 - PORTARIA"),        QStringLiteral("03 - RESOLUCAO"),
            QStringLiteral("05 - LEI"),     QStringLiteral("06 - ATO LEGISLATIVO"), QStringLiteral("07 - DECRETO LEGISLATIVO")};
}

QStringList TFrmDisp::basesLegais() {
    QStringList l;
    for (int i = 0; i < 24; ++i)
        l << QStringLiteral("%1 - DISPENSAVEL, ART. 24, INCISO %2, LEI 8.666/93")
                 .arg(i + 1, 2, 10, QLatin1Char('0'))
                 .arg(QLatin1String(kRoman[i]));
    l << QString::fromUtf8("26 - DISPENSAVEL, ART. 17, PARAGRAFO 2º, LEI 8.666/93")
      << QString::fromUtf8("27 - DISPENSAVEL, ART. 17, PARAGRAFO 4º, LEI 8.666/93")
      << QStringLiteral("28 - INEXIGIVEL, ART. 25, CAPUT LEI 8.666/93")
      << QStringLiteral("29 - INEXIGIVEL, ART. 25, INCISO I, LEI 8.666/93")
      << QStringLiteral("30 - INEXIGIVEL, ART. 25, INCISO II, LEI 8.666/93")
      << QStringLiteral("31 - INEXIGIVEL, ART. 25, INCISO III, LEI 8.666/93")
      << QStringLiteral("32 - DISPENSADO\t2000\t")
      << QStringLiteral("33 - CONCORRENCIA, ART.22, INCISO I, LEI 8.666/93")
      << QString::fromUtf8("34 - TOMADA PREÇOS, ART.22 INCISO II, LEI 8.666/93")
      << QStringLiteral("35 - CONVITE, ART. 22 INCISO III LEI 8.666/93")
      << QString::fromUtf8("36 - ART.42 PARAGRAFO 5º, LEI 8.666/93")
      << QString::fromUtf8("37 - ART.116 PARAGAFO 1º LEI 8.666/93")
      << QString::fromUtf8("38 - PREGÃO - LEI 10520 de 17.07.2002")
      << QStringLiteral("39 - DISPENSAVEL, ART. 24, INCISO XXV, LEI 8.666/93")
      << QStringLiteral("40 - DISPENSAVEL, ART. 24, INCISO XXVI, LEI 8.666/93")
      << QStringLiteral("41 - DISPENSAVEL, ART. 24, INCISO XXVII, LEI 8.666/93")
      << QStringLiteral("42 - DACAO EM PAGAMENTO, ARTIGO 14, LEI 5666/05");
    return l;
}

TFrmDisp::TFrmDisp(app::TFrmPrincipalSE& owner) : TFrmDisp(owner.dataModule(), owner.messageSink(), &owner) {}

TFrmDisp::TFrmDisp(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), dm_(dm), sink_(sink) {
    loadDispResources();
    build();
    // The screen sees the keys of its fields and grids before they do.
    qApp->installEventFilter(this);
}

TFrmDisp::~TFrmDisp() {
    qApp->removeEventFilter(this);
    for (RecordSetModel* m : {dispModel_, partModel_, certModel_}) m->setRecordSet(nullptr);
    if (editMode_ && dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
}

void TFrmDisp::build() {
    setObjectName(QStringLiteral("FrmDisp"));
    setWindowTitle(QString::fromUtf8("Dispensas/Inexigibilidades de Licitações"));
    setModal(true);
    resize(1000, 720);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);
    pnTitulo = titlePanel(this, QString::fromUtf8("Dispensas/Inexigibilidades de Licitações"));
    outer->addWidget(pnTitulo);

    auto drawStriped = [](RecordSetView* grid) {
        grid->delegate()->setDrawColumnCell([grid](const QModelIndex& index, CellState state) {
            return stripedCellStyle(index.row() + 1, state, grid->palette().color(QPalette::Base));
        });
    };

    dispModel_ = new DispModel({{"CODIGO", QString::fromUtf8("Código")},
                                     {"NUMDISP", QString::fromUtf8("N.º Disp./Inexig.")},
                                     {"MODALIDADE", QStringLiteral("Modalidade")},
                                     {"OBJETO", QStringLiteral("Objeto")},
                                     {"VALOR", QStringLiteral("Valor")}},
                                    this);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(dispModel_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    DBGrid1->setMinimumHeight(150);
    drawStriped(DBGrid1);
    auto* listRow = new QHBoxLayout;
    listRow->setContentsMargins(8, 0, 8, 0);
    listRow->addWidget(DBGrid1);
    outer->addLayout(listRow, 2);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabCadastro = new QWidget;
    TabItens = new QWidget;
    TabCertidoes = new QWidget;
    PageControl1->addTab(TabCadastro, QStringLiteral("Cadastro"));
    PageControl1->addTab(TabItens, QStringLiteral("Itens/Participantes"));
    PageControl1->addTab(TabCertidoes, QString::fromUtf8("Certidões"));
    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(8, 0, 8, 0);
    tabRow->addWidget(PageControl1);
    outer->addLayout(tabRow, 3);

    // ---- Cadastro
    auto* grid = new QGridLayout(TabCadastro);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    auto edit = [this](const char* field, const char* name) {
        auto* e = new QLineEdit(TabCadastro);
        e->setObjectName(QString::fromLatin1(name));
        markBound(e, field);
        return e;
    };
    auto dateBox = [this](QWidget* parent, const char* field, const char* name) {
        auto* d = new DateBox(parent);
        d->setObjectName(QString::fromLatin1(name));
        markBound(d, field);
        return d;
    };
    auto combo = [this](const char* field, const char* name, const QStringList& items) {
        auto* c = new QComboBox(TabCadastro);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(false);
        c->addItems(items);
        c->setCurrentIndex(-1);
        markBound(c, field);
        return c;
    };
    // A caption over its field, as in the product's screens.
    auto place = [grid, this](const QString& caption, QWidget* field, int row, int col, int span = 1) {
        auto* l = new QLabel(caption, TabCadastro);
        l->setBuddy(field);
        grid->addWidget(l, row * 2, col, 1, span);
        grid->addWidget(field, row * 2 + 1, col, 1, span);
    };

    edtCodigo = edit("CODIGO", "edtCodigo");
    edtCodigo->setReadOnly(true);
    edtCodigo->setMaximumWidth(90);
    edtNumDisp = edit("NUMDISP", "edtNumDisp");
    edtNumDisp->setInputMask(QStringLiteral("9999/99;_"));
    edtNumDisp->setMaximumWidth(110);
    cbModalidade = combo("MODALIDADE", "cbModalidade", modalidades());
    cbTipoFundam = combo("TIPO_FUNDAM", "cbTipoFundam", tiposFundamento());
    edtNumFundam = edit("NUM_FUNDAM", "edtNumFundam");
    edtNumComissao = edit("NUM_COMISSAO", "edtNumComissao");
    edtDtInicio = dateBox(TabCadastro, "DT_INICIO", "edtDtInicio");
    edtObjeto = edit("OBJETO", "edtObjeto");
    cbBaseLegal = combo("BALSE_LEGAL", "cbBaseLegal", basesLegais());
    edtValor = edit("VALOR", "edtValor");
    edtValor->setAlignment(Qt::AlignRight);
    edtValor->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.,]*")), edtValor));
    edtDtRetif = dateBox(TabCadastro, "DT_RETIF", "edtDtRetif");
    edtDtPubl = dateBox(TabCadastro, "DT_PUBL", "edtDtPubl");
    edtVeicPubl = edit("VEIC_PUBL", "edtVeicPubl");
    DBEdit7 = edit("NUMCONV", "DBEdit7");
    DBEdit7->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), DBEdit7));
    DBEdit7->setMaximumWidth(110);
    SpeedButton2 = new QToolButton(TabCadastro);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    SpeedButton2->setToolTip(QString::fromUtf8("Pesquisar Convênio"));
    edtCpfResp = edit("CPF_RESP", "edtCpfResp");
    edtNomeResp = edit("NOME_RESP", "edtNomeResp");
    edtCargoResp = edit("CARGO_RESP", "edtCargoResp");
    edtDescrResp = edit("DESCR_RESP", "edtDescrResp");
    cbEntidade = combo("EMPRESA", "cbEntidade", {});

    place(QString::fromUtf8("Código"), edtCodigo, 0, 0);
    place(QString::fromUtf8("Nº Disp/Inex."), edtNumDisp, 0, 1);
    place(QStringLiteral("Modalidade"), cbModalidade, 0, 2);
    place(QStringLiteral("Tipo de Fundamento"), cbTipoFundam, 0, 3);
    place(QString::fromUtf8("Nº Ato Fundamento"), edtNumFundam, 0, 4);
    place(QString::fromUtf8("Ato Comissão"), edtNumComissao, 0, 5);
    place(QString::fromUtf8("Dt.Início"), edtDtInicio, 1, 0, 2);
    place(QStringLiteral("Objeto"), edtObjeto, 1, 2, 4);
    place(QStringLiteral("Base Legal"), cbBaseLegal, 2, 0, 4);
    place(QStringLiteral("Valor Previsto"), edtValor, 2, 4);
    place(QStringLiteral("Dt.Ratif.Ord."), edtDtRetif, 2, 5);
    place(QStringLiteral("Data Public."), edtDtPubl, 3, 0, 2);
    place(QString::fromUtf8("Veic. Publicação"), edtVeicPubl, 3, 2, 3);
    auto* conv = new QWidget(TabCadastro);
    auto* convRow = new QHBoxLayout(conv);
    convRow->setContentsMargins(0, 0, 0, 0);
    convRow->addWidget(DBEdit7);
    convRow->addWidget(SpeedButton2);
    convRow->addStretch();
    {
        auto* l = new QLabel(QString::fromUtf8("Convênio"), TabCadastro);
        l->setBuddy(DBEdit7);
        grid->addWidget(l, 6, 5);
        grid->addWidget(conv, 7, 5);
    }
    place(QString::fromUtf8("CPF Responsável"), edtCpfResp, 4, 0, 2);
    place(QString::fromUtf8("Nome Responsável"), edtNomeResp, 4, 2, 2);
    place(QStringLiteral("Cargo"), edtCargoResp, 4, 4, 2);
    place(QString::fromUtf8("Formação Profissional"), edtDescrResp, 5, 0, 4);
    place(QStringLiteral("Entidade"), cbEntidade, 5, 4, 2);

    GroupBoxCancelada = new QGroupBox(TabCadastro);
    GroupBoxCancelada->setObjectName(QStringLiteral("GroupBoxCancelada"));
    auto* canc = new QGridLayout(GroupBoxCancelada);
    chkCancelado = new QCheckBox(QStringLiteral("     Dispensa/Inexigibilidade Cancelada"), GroupBoxCancelada);
    chkCancelado->setObjectName(QStringLiteral("chkCancelado"));
    markBound(chkCancelado, "CANCELADO");
    edtMotCanc = new QLineEdit(GroupBoxCancelada);
    edtMotCanc->setObjectName(QStringLiteral("edtMotCanc"));
    markBound(edtMotCanc, "MOT_CANC");
    edtDtPublCanc = dateBox(GroupBoxCancelada, "DT_PUBL_CANC", "edtDtPublCanc");
    canc->addWidget(chkCancelado, 0, 0, 1, 2);
    auto* lm = new QLabel(QStringLiteral("Motivo"), GroupBoxCancelada);
    lm->setBuddy(edtMotCanc);
    auto* ld = new QLabel(QStringLiteral("Data Public."), GroupBoxCancelada);
    ld->setBuddy(edtDtPublCanc);
    canc->addWidget(lm, 1, 0);
    canc->addWidget(ld, 1, 1);
    canc->addWidget(edtMotCanc, 2, 0);
    canc->addWidget(edtDtPublCanc, 2, 1);
    canc->setColumnStretch(0, 1);
    grid->addWidget(GroupBoxCancelada, 12, 0, 1, 6);
    for (int c = 0; c < 6; ++c) grid->setColumnStretch(c, c == 3 ? 2 : 1);
    grid->setRowStretch(13, 1);

    order_ = {edtNumDisp,  cbModalidade, cbTipoFundam, edtNumFundam, edtNumComissao, edtDtInicio,
              edtObjeto,   cbBaseLegal,  edtValor,     edtDtRetif,   edtDtPubl,      edtVeicPubl,
              DBEdit7,     edtCpfResp,   edtNomeResp,  edtCargoResp, edtDescrResp,   cbEntidade,
              chkCancelado, edtMotCanc,  edtDtPublCanc};

    // ---- Itens/Participantes and Certidões
    partModel_ = new RecordSetModel({{"ITEM", QStringLiteral("Item")},
                                     {"CODIF", QStringLiteral("Cód.Fornec. (F2)")},
                                     {"CADPRO", QStringLiteral("Cód.Produto (F3)")},
                                     {"QUANT", QStringLiteral("Quantidade")},
                                     {"VALOR_TOTAL", QStringLiteral("Valor Total(R$)")}},
                                    this);
    DBGrid2 = new RecordSetView(TabItens);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setRecordSetModel(partModel_);
    drawStriped(DBGrid2);
    auto* cadpro = new CadproDelegate(DBGrid2);
    cadpro->setDrawColumnCell([this](const QModelIndex& index, CellState state) {
        return DBGrid2->delegate()->cellStyle(index, state);
    });
    DBGrid2->setItemDelegateForColumn(PartCadpro, cadpro);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    auto* itens = new QVBoxLayout(TabItens);
    itens->addWidget(DBGrid2);
    auto* hintItens = new QLabel(QString::fromUtf8("F2: fornecedor   F3: produto   Seta para baixo na última linha: novo item"),
                                 TabItens);
    itens->addWidget(hintItens);

    certModel_ = new RecordSetModel({{"CODIF", QStringLiteral("Cód.Fornec. (F2)")},
                                     {"NCERT", QString::fromUtf8("Certidão")},
                                     {"TIPO", QStringLiteral("Tipo (F4)")},
                                     {"DT_CERT", QString::fromUtf8("Data Certidão")},
                                     {"DT_VALI", QStringLiteral("Data Validade")},
                                     {"ESPECIF", QString::fromUtf8("Especificação da Certidão")}},
                                    this);
    DBGrid3 = new RecordSetView(TabCertidoes);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setRecordSetModel(certModel_);
    drawStriped(DBGrid3);
    DBGrid3->horizontalHeader()->setStretchLastSection(true);
    auto* certs = new QVBoxLayout(TabCertidoes);
    certs->addWidget(DBGrid3);
    certs->addWidget(new QLabel(
        QString::fromUtf8("F2: fornecedor   F4: tipo de certidão   Seta para baixo na última linha: nova certidão"),
        TabCertidoes));

    for (RecordSetModel* m : {partModel_, certModel_, dispModel_})
        connect(m, &RecordSetModel::dataError, this, &TFrmDisp::dataError);

    // ---- buttons
    auto button = [this](const char* name, const char* caption, const QIcon& icon) {
        QPushButton* b = actionButton(this, name, QString::fromUtf8(caption), icon);
        b->setProperty(kSelfManagedProperty, true);
        return b;
    };
    BTNINCLUIR = button("BTNINCLUIR", "&Incluir", style()->standardIcon(QStyle::SP_FileIcon));
    btnAlterar = button("btnAlterar", "&Alterar", style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Btnexcluir = button("Btnexcluir", "&Excluir", style()->standardIcon(QStyle::SP_TrashIcon));
    Confirmar = button("Confirmar", "&Confirmar", style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = button("Fechar", "Fecha&r", QIcon(QStringLiteral(":/icons/fechar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    for (QPushButton* b : {BTNINCLUIR, btnAlterar, Btnexcluir}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(BTNINCLUIR, &QPushButton::clicked, this, &TFrmDisp::BTNINCLUIRClick);
    connect(btnAlterar, &QPushButton::clicked, this, &TFrmDisp::btnAlterarClick);
    connect(Btnexcluir, &QPushButton::clicked, this, &TFrmDisp::BtnexcluirClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmDisp::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmDisp::FecharClick);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFrmDisp::SpeedButton2Click);
    // A click or a key that reaches another row of the list shows that row's details.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { DBGrid1CellClick(); });
    setButtons(false);
}

void TFrmDisp::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmDisp::FormShow() {
    BloqueiaCampos(this);
    cbEntidade->clear();
    try {
        dm_.Conexao.open(CdsEmpresa_, "SELECT * FROM TABEMPRESA ORDER BY NOME ASCENDING");
        for (CdsEmpresa_.first(); !CdsEmpresa_.eof(); CdsEmpresa_.next())
            cbEntidade->addItem(qs(CdsEmpresa_.field("NOME").asString()),
                                QVariant::fromValue<qlonglong>(CdsEmpresa_.field("EMPRESA").asInteger()));
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    cbEntidade->setCurrentIndex(-1);
    openProcesses();
    setButtons(false);
    setDetailEditing(false);
}

void TFrmDisp::openProcesses() {
    DBGrid1->cancelEditing();
    dispModel_->setRecordSet(nullptr);
    try {
        dm_.Conexao.open(CdsDisp_, "SELECT * FROM DISPINEX ORDER BY CODIGO ASCENDING");
    } catch (const std::exception& e) {
        CdsDisp_.close();
        showError(QString::fromUtf8(e.what()));
    }
    dispModel_->setRecordSet(CdsDisp_.active() ? &CdsDisp_ : nullptr);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    DBGrid1->followCursor();
    openDetails(currentCodigo());
    showProcess();
}

std::int64_t TFrmDisp::currentCodigo() {
    if (!CdsDisp_.active() || (CdsDisp_.recordCount() == 0 && CdsDisp_.mode() != RecordSet::Mode::Insert)) return 0;
    try {
        return CdsDisp_.field("CODIGO").asInteger();
    } catch (const std::exception&) {
        return 0;
    }
}

void TFrmDisp::openDetails(std::int64_t codigo) {
    struct Detail {
        RecordSet& rs;
        RecordSetModel* model;
        RecordSetView* grid;
        const char* sql;
    };
    for (Detail d : {Detail{CdsPart_, partModel_, DBGrid2, "SELECT * FROM PARTDISP WHERE CODIGO = ?"},
                     Detail{CdsCert_, certModel_, DBGrid3, "SELECT * FROM CERTDISP WHERE CODIGO = ?"}}) {
        d.grid->cancelEditing();
        d.model->setRecordSet(nullptr);
        try {
            dm_.Conexao.open(d.rs, d.sql, {Value(codigo)});
        } catch (const std::exception& e) {
            d.rs.close();
            showError(QString::fromUtf8(e.what()));
        }
        d.model->setRecordSet(d.rs.active() ? &d.rs : nullptr);
        d.grid->resizeColumnsToContents();
        for (int c = 0; c < d.model->columnCount(); ++c) d.grid->setColumnWidth(c, std::max(d.grid->columnWidth(c), 110));
        d.grid->followCursor();
    }
}

void TFrmDisp::showProcess() {
    const bool any = CdsDisp_.active() && (CdsDisp_.recordCount() > 0 || CdsDisp_.mode() == RecordSet::Mode::Insert);
    auto text = [&](const char* field) -> QString {
        if (!any) return {};
        return qs(CdsDisp_.field(field).asString());
    };
    auto maxLength = [&](QLineEdit* e, const char* field) {
        const FieldDef* def = CdsDisp_.active() ? CdsDisp_.findFieldDef(field) : nullptr;
        if (def && def->type == FieldType::String && def->width > 0) e->setMaxLength(def->width);
    };
    for (auto [e, f] : std::initializer_list<std::pair<QLineEdit*, const char*>>{
             {edtNumFundam, "NUM_FUNDAM"}, {edtNumComissao, "NUM_COMISSAO"}, {edtObjeto, "OBJETO"},
             {edtVeicPubl, "VEIC_PUBL"},   {edtCpfResp, "CPF_RESP"},         {edtNomeResp, "NOME_RESP"},
             {edtCargoResp, "CARGO_RESP"}, {edtDescrResp, "DESCR_RESP"},     {edtMotCanc, "MOT_CANC"}}) {
        maxLength(e, f);
        e->setText(text(f));
        e->setCursorPosition(0);
    }
    edtCodigo->setText(text("CODIGO"));
    edtNumDisp->setText(text("NUMDISP"));
    edtNumDisp->setCursorPosition(0);  // typing starts at the first digit of the mask
    DBEdit7->setText(text("NUMCONV"));
    // The amount as currency: two decimals and a decimal comma.
    QString valor = text("VALOR");
    if (const auto d = Decimal::tryParse(valor.toStdString())) valor = qs(d->toFixed(2)).replace('.', ',');
    edtValor->setText(valor);
    for (auto [d, f] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtDtInicio, "DT_INICIO"}, {edtDtRetif, "DT_RETIF"}, {edtDtPubl, "DT_PUBL"}, {edtDtPublCanc, "DT_PUBL_CANC"}})
        d->setDate(any ? CdsDisp_.field(f).asDate() : std::nullopt);
    chkCancelado->setChecked(text("CANCELADO") == QLatin1String("S"));

    // Stored texts are cut: the lists are chosen by their code.
    auto byCode = [](QComboBox* c, const QString& stored) {
        const QString code = stored.left(2);
        int found = -1;
        for (int i = 0; code.size() == 2 && i < c->count(); ++i)
            if (c->itemText(i).left(2) == code) {
                found = i;
                break;
            }
        c->setCurrentIndex(found);
    };
    byCode(cbModalidade, text("MODALIDADE"));
    byCode(cbTipoFundam, text("TIPO_FUNDAM"));
    byCode(cbBaseLegal, text("BALSE_LEGAL"));
    const QString empresa = text("EMPRESA");
    cbEntidade->setCurrentIndex(empresa.isEmpty() ? -1 : cbEntidade->findData(QVariant::fromValue(empresa.toLongLong())));
}

void TFrmDisp::setButtons(bool edit) {
    BTNINCLUIR->setEnabled(!edit);
    btnAlterar->setEnabled(!edit);
    Btnexcluir->setEnabled(!edit);
    Confirmar->setEnabled(edit);
    Fechar->setEnabled(true);
    Fechar->setText(edit ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(edit ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
}

void TFrmDisp::setDetailEditing(bool on) {
    for (RecordSetView* g : {DBGrid2, DBGrid3}) {
        g->setEnabled(true);
        g->setEditing(on);
    }
}

void TFrmDisp::DBGrid1CellClick() {
    if (editMode_) return;
    openDetails(currentCodigo());
    showProcess();
}

void TFrmDisp::enterEditMode(bool inserting) {
    LiberaCampos(this);
    // The code is given by the save: it stays grey.
    QPalette grey = edtCodigo->palette();
    grey.setColor(QPalette::Base, QColor(kLockedColour));
    edtCodigo->setPalette(grey);
    editMode_ = true;
    inserting_ = inserting;
    pendingError_.clear();
    setButtons(true);
    try {
        if (inserting) {
            CdsDisp_.append();
            CdsDispNewRecord();
            dispModel_->refresh();
            DBGrid1->followCursor();
            openDetails(0);
        } else {
            CdsDisp_.edit();
            openDetails(currentCodigo());
        }
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    setDetailEditing(true);
    // An empty grid offers a row to type in; left blank, it is not saved.
    for (RecordSetView* g : {DBGrid2, DBGrid3}) {
        RecordSet* rs = g->recordSetModel()->recordSet();
        if (rs && rs->active() && rs->recordCount() == 0 && rs->mode() == RecordSet::Mode::Browse) appendDetail(g);
    }
    PageControl1->setCurrentWidget(TabCadastro);
    showProcess();
    edtNumDisp->setFocus();
}

void TFrmDisp::CdsDispNewRecord() {
    CdsDisp_.field("CODIGO").setAsInteger(0);
}

void TFrmDisp::BTNINCLUIRClick() {
    if (editMode_ || !CdsDisp_.active()) return;
    enterEditMode(true);
}

void TFrmDisp::btnAlterarClick() {
    if (editMode_ || !CdsDisp_.active()) return;
    if (CdsDisp_.recordCount() == 0) {
        sink_.show(this, MessageKind::Warning, QString::fromUtf8("Não existem registros para alterar!"));
        return;
    }
    enterEditMode(false);
}

void TFrmDisp::leaveEditMode() {
    BloqueiaCampos(this);
    editMode_ = false;
    inserting_ = false;
    setButtons(false);
    for (RecordSetView* g : {DBGrid1, DBGrid2, DBGrid3}) g->cancelEditing();
    if (CdsDisp_.active() && CdsDisp_.mode() != RecordSet::Mode::Browse) CdsDisp_.cancel();
    try {
        if (dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    setDetailEditing(false);
    openProcesses();
}

void TFrmDisp::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    leaveEditMode();
}

void TFrmDisp::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

void TFrmDisp::closeEvent(QCloseEvent* e) {
    // The close box closes in either mode; nothing typed is saved.
    if (editMode_) {
        editMode_ = false;
        for (RecordSetView* g : {DBGrid1, DBGrid2, DBGrid3}) g->cancelEditing();
        if (CdsDisp_.active() && CdsDisp_.mode() != RecordSet::Mode::Browse) CdsDisp_.cancel();
        try {
            if (dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
        } catch (const std::exception&) {
        }
    }
    e->accept();
    QDialog::done(QDialog::Rejected);
}

void TFrmDisp::fail(QWidget* focus, const QString& text) {
    sink_.show(this, MessageKind::Warning, text);
    PageControl1->setCurrentWidget(TabCadastro);
    focus->setFocus();
}

bool TFrmDisp::checkFields() {
    const QString numero = edtNumDisp->text().trimmed();
    // Only a complete number gives the year and number the files are keyed by.
    static const QRegularExpression complete(QStringLiteral("^\\d{4}/\\d{2}$"));
    if (numero == QLatin1String("/") || numero.isEmpty() || !complete.match(numero).hasMatch()) {
        fail(edtNumDisp, QString::fromUtf8("Campo Número da Dispensa/Inexigibilidade Inválido!"));
        return false;
    }
    if (cbModalidade->currentIndex() < 0) {
        fail(cbModalidade, QString::fromUtf8("Campo Modalidade Inválido!"));
        return false;
    }
    if (cbTipoFundam->currentIndex() < 0) {
        fail(cbTipoFundam, QString::fromUtf8("Campo Tipo de Fundamento Inválido!"));
        return false;
    }
    if (cbBaseLegal->currentIndex() < 0) {
        fail(cbBaseLegal, QString::fromUtf8("Campo Base Legal Inválido!"));
        return false;
    }
    if (edtObjeto->text().trimmed().isEmpty()) {
        fail(edtObjeto, QString::fromUtf8("Campo Objeto Inválido!"));
        return false;
    }
    if (edtValor->text().trimmed().isEmpty() || !parseAmount(edtValor->text())) {
        fail(edtValor, QString::fromUtf8("Campo Valor Previsto Inválido!"));
        return false;
    }
    // The month the process is delivered in.
    if (!edtDtInicio->date()) {
        fail(edtDtInicio, QString::fromUtf8("Campo Data de Início Inválido!"));
        return false;
    }
    if (cbEntidade->currentIndex() < 0) {
        fail(cbEntidade, QString::fromUtf8("Campo Entidade Inválido!"));
        return false;
    }
    for (auto [d, caption] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtDtRetif, "Dt.Ratif.Ord."}, {edtDtPubl, "Data Public."}, {edtDtPublCanc, "Data Public. do Cancelamento"}}) {
        if (!d->isValidInput()) {
            fail(d, QString::fromUtf8("Campo %1 Inválido!").arg(QString::fromUtf8(caption)));
            return false;
        }
    }
    return true;
}

std::optional<std::string> TFrmDisp::parseAmount(const QString& typed) {
    QString t = typed.trimmed();
    // "1.234,56" as typed in Brazil, or a plain "1234.56".
    if (t.contains(QLatin1Char(','))) {
        t.remove(QLatin1Char('.'));
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    const auto d = Decimal::tryParse(t.toStdString());
    if (!d) return std::nullopt;
    return d->toString();
}

void TFrmDisp::storeProcess() {
    auto setText = [this](const char* field, const QString& v) {
        Field f = CdsDisp_.field(field);
        if (v.isEmpty()) f.setNull();
        else f.setAsString(us(v));
    };
    setText("NUMDISP", edtNumDisp->text().trimmed());
    setText("MODALIDADE", cbModalidade->currentText().left(2));
    setText("TIPO_FUNDAM", cbTipoFundam->currentText());
    setText("NUM_FUNDAM", edtNumFundam->text());
    setText("NUM_COMISSAO", edtNumComissao->text());
    setText("OBJETO", edtObjeto->text());
    setText("BALSE_LEGAL", cbBaseLegal->currentText().left(35));
    setText("VALOR", qs(parseAmount(edtValor->text()).value_or(std::string())));
    setText("VEIC_PUBL", edtVeicPubl->text());
    setText("NUMCONV", DBEdit7->text().trimmed());
    setText("CPF_RESP", edtCpfResp->text());
    setText("NOME_RESP", edtNomeResp->text());
    setText("CARGO_RESP", edtCargoResp->text());
    setText("DESCR_RESP", edtDescrResp->text());
    setText("CANCELADO", chkCancelado->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    setText("MOT_CANC", edtMotCanc->text());
    setText("EMPRESA", cbEntidade->currentIndex() < 0 ? QString() : cbEntidade->currentData().toString());
    for (auto [d, f] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtDtInicio, "DT_INICIO"}, {edtDtRetif, "DT_RETIF"}, {edtDtPubl, "DT_PUBL"}, {edtDtPublCanc, "DT_PUBL_CANC"}}) {
        if (const auto date = d->date()) CdsDisp_.field(f).setValue(*date);
        else CdsDisp_.field(f).setNull();
    }
}

bool TFrmDisp::checkDetails() {
    struct Check {
        RecordSet& rs;
        RecordSetView* grid;
        QWidget* tab;
        const char* tabName;
        std::vector<std::pair<const char*, int>> required;  // field and its column
        std::vector<const char*> captions;
    };
    Check checks[] = {
        {CdsPart_, DBGrid2, TabItens, "Itens/Participantes", {{"ITEM", PartItem}, {"CODIF", PartCodif}}, {"Item", "Cód.Fornec."}},
        {CdsCert_, DBGrid3, TabCertidoes, "Certidões", {{"CODIF", CertCodif}, {"NCERT", CertNcert}}, {"Cód.Fornec.", "Certidão"}},
    };
    for (Check& c : checks) {
        if (!c.rs.active()) continue;
        // A new row left blank is dropped, as a grid does.
        if (c.rs.mode() == RecordSet::Mode::Insert && blankDetail(c.rs)) c.rs.cancel();
        if (c.rs.mode() != RecordSet::Mode::Browse) c.rs.post();
        for (int row = 0; row < c.rs.recordCount(); ++row) {
            for (std::size_t k = 0; k < c.required.size(); ++k) {
                const int col = c.rs.fieldIndex(c.required[k].first);
                if (col >= 0 && !isNull(c.rs.valueAt(row, col))) continue;
                sink_.show(this, MessageKind::Warning,
                           QString::fromUtf8("Campo %1 Inválido na linha %2 de %3!")
                               .arg(QString::fromUtf8(c.captions[k]))
                               .arg(row + 1)
                               .arg(QString::fromUtf8(c.tabName)));
                PageControl1->setCurrentWidget(c.tab);
                c.grid->setCurrentIndex(c.grid->model()->index(row, c.required[k].second));
                c.grid->setFocus();
                return false;
            }
        }
    }
    return true;
}

void TFrmDisp::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid2->finishEditing();
    DBGrid3->finishEditing();
    if (!pendingError_.isEmpty()) {
        // A typed value was refused: nothing is saved until the user sees why.
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
        return;
    }
    if (!checkFields()) return;
    try {
        if (!checkDetails()) return;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return;
    }

    dm_.lastApplyErrors = 0;
    QString detail;
    bool failed = false;
    try {
        if (!dm_.Conexao.inTransaction()) dm_.Conexao.startTransaction();
        if (CdsDisp_.mode() == RecordSet::Mode::Browse) CdsDisp_.edit();
        storeProcess();
        if (inserting_) {
            dm_.Conexao.open(dm_.CdsAux, "SELECT COALESCE(MAX(CODIGO),0) AS CODIGO FROM DISPINEX ");
            CdsDisp_.field("CODIGO").setAsInteger(dm_.CdsAux.field("CODIGO").asInteger() + 1);
        }
        CdsDisp_.post();
        const std::int64_t codigo = CdsDisp_.field("CODIGO").asInteger();
        // DspPartBeforeUpdateRecord, DspCertBeforeUpdateRecord: the details take the process's code.
        for (RecordSet* rs : {&CdsPart_, &CdsCert_}) {
            for (int row = 0; row < rs->recordCount(); ++row) {
                if (rs->rows()[static_cast<std::size_t>(row)].state == RowState::Unchanged) continue;
                rs->setRecNo(row + 1);
                if (rs->field("CODIGO").asInteger() == codigo && !rs->field("CODIGO").isNull()) continue;
                rs->edit();
                rs->field("CODIGO").setAsInteger(codigo);
                rs->post();
            }
        }
        for (RecordSet* rs : {&CdsDisp_, &CdsPart_, &CdsCert_}) {
            if (rs->changeCount() == 0) continue;
            const int n = dm_.Conexao.applyUpdates(*rs, -1, false);
            dm_.lastApplyErrors += n;
            for (const auto& m : dm_.Conexao.lastApplyErrorMessages()) detail += qs(m) + QLatin1Char('\n');
        }
    } catch (const std::exception& e) {
        failed = true;
        detail += QString::fromUtf8(e.what());
    }
    if (failed || dm_.lastApplyErrors != 0) {
        try {
            dm_.Conexao.rollback();
        } catch (const std::exception&) {
        }
        // Everything typed stays: the process goes back to being edited.
        try {
            if (CdsDisp_.mode() == RecordSet::Mode::Browse && CdsDisp_.recordCount() > 0) CdsDisp_.edit();
        } catch (const std::exception&) {
        }
        dispModel_->refresh();
        partModel_->refresh();
        certModel_->refresh();
        sink_.show(this, MessageKind::Error, QStringLiteral("Erro ao Gravar os Dados!"), detail.trimmed());
        return;
    }
    try {
        dm_.Conexao.commit();
    } catch (const std::exception& e) {
        try {
            dm_.Conexao.rollback();
        } catch (const std::exception&) {
        }
        sink_.show(this, MessageKind::Error, QStringLiteral("Erro ao Gravar os Dados!"), QString::fromUtf8(e.what()));
        return;
    }
    for (RecordSet* rs : {&CdsDisp_, &CdsPart_, &CdsCert_}) rs->mergeChangeLog();
    leaveEditMode();
}

void TFrmDisp::BtnexcluirClick() {
    if (editMode_ || !CdsDisp_.active()) return;
    if (CdsDisp_.recordCount() == 0) {
        sink_.show(this, MessageKind::Warning, QString::fromUtf8("Não existem registros para excluir!"));
        return;
    }
    if (!sink_.ask(this, QString::fromUtf8("Atenção"), QString::fromUtf8("Deseja realmente excluir o Registro?"))) return;
    const Value codigo = CdsDisp_.field("CODIGO").value();
    try {
        if (!dm_.Conexao.inTransaction()) dm_.Conexao.startTransaction();
        dm_.Conexao.execute("DELETE FROM PARTDISP WHERE CODIGO = ?", {codigo});
        dm_.Conexao.execute("DELETE FROM CERTDISP WHERE CODIGO = ?", {codigo});
        dm_.Conexao.execute("DELETE FROM DISPINEX WHERE CODIGO = ?", {codigo});
        dm_.Conexao.commit();
    } catch (const std::exception& e) {
        // Nothing of the process is removed unless all of it is.
        try {
            dm_.Conexao.rollback();
        } catch (const std::exception&) {
        }
        showError(QString::fromUtf8(e.what()));
        openProcesses();
        return;
    }
    sink_.inform(this, QStringLiteral("OK"), QString::fromUtf8("Registro Excuído com Sucesso!"));
    openProcesses();
}

bool TFrmDisp::appendDetail(RecordSetView* grid) {
    RecordSetModel* m = grid->recordSetModel();
    RecordSet* rs = m->recordSet();
    if (!rs || !rs->active()) return false;
    grid->finishEditing();
    // A new row left blank is already there to type in.
    if (rs->mode() == RecordSet::Mode::Insert && blankDetail(*rs)) return false;
    if (rs->mode() != RecordSet::Mode::Insert && rs->recordCount() > 0 && m->currentRow() != rs->recordCount() - 1)
        return false;
    try {
        if (rs->mode() != RecordSet::Mode::Browse) rs->post();
        rs->append();
        rs->field("CODIGO").setAsInteger(0);  // CdsPartNewRecord, CdsCertNewRecord
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return true;
    }
    m->refresh();
    grid->followCursor();
    return true;
}

void TFrmDisp::writeLookup(RecordSetView* grid, const char* field, const QString& value) {
    RecordSetModel* m = grid->recordSetModel();
    RecordSet* rs = m->recordSet();
    if (!rs || !rs->active()) return;
    grid->finishEditing();
    try {
        if (rs->mode() == RecordSet::Mode::Browse) {
            if (rs->recordCount() == 0) {
                rs->append();
                rs->field("CODIGO").setAsInteger(0);
            } else {
                rs->edit();
            }
        }
        Field f = rs->field(field);
        if (value.isEmpty()) f.setNull();
        else f.setAsString(us(value));
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    m->refresh();
    grid->followCursor();
    grid->setFocus();
}

bool TFrmDisp::DBGrid2KeyDown(int key) {
    if (!editMode_) return false;
    if (key == Qt::Key_F2) {
        TFrmPesFornec dialog(dm_, sink_, this);
        if (dialog.exec() == QDialog::Accepted) writeLookup(DBGrid2, "CODIF", dialog.value());
        dialog.CdsPes().close();
        return true;
    }
    if (key == Qt::Key_F3) {
        TFrmPesprod dialog(dm_, sink_, this);
        if (dialog.exec() == QDialog::Accepted) writeLookup(DBGrid2, "CADPRO", dialog.value());
        dialog.CdsPes().close();
        return true;
    }
    if (key == Qt::Key_Down || key == Qt::Key_Insert) return appendDetail(DBGrid2);
    return false;
}

bool TFrmDisp::DBGrid3KeyDown(int key) {
    if (!editMode_) return false;
    if (key == Qt::Key_F2) {
        TFrmPesFornec dialog(dm_, sink_, this);
        if (dialog.exec() == QDialog::Accepted) writeLookup(DBGrid3, "CODIF", dialog.value());
        dialog.CdsPes().close();
        return true;
    }
    if (key == Qt::Key_F4) {
        TFrmPesCert dialog(this);
        if (dialog.exec() == QDialog::Accepted) writeLookup(DBGrid3, "TIPO", dialog.value());
        return true;
    }
    if (key == Qt::Key_Down || key == Qt::Key_Insert) return appendDetail(DBGrid3);
    return false;
}

void TFrmDisp::SpeedButton2Click() {
    if (!editMode_) return;
    TFrmPesConv dialog(dm_, sink_, this);
    if (dialog.exec() == QDialog::Accepted) DBEdit7->setText(dialog.value());
    dialog.CdsPes().close();
    checkingAgreement_ = true;  // back in the box with a number the lookup gave
    DBEdit7->setFocus();
    checkingAgreement_ = false;
}

void TFrmDisp::DBEdit7Exit() {
    if (!editMode_ || checkingAgreement_) return;
    const QString text = DBEdit7->text().trimmed();
    if (text.isEmpty()) return;
    bool found = false;
    try {
        dm_.Conexao.open(dm_.CdsAux, "SELECT * FROM CADCONV WHERE CONVENIO = ?", {Value(text.toStdString())});
        found = dm_.CdsAux.recordCount() > 0;
    } catch (const std::exception&) {
        found = false;  // not a key at all
    }
    if (!found) SpeedButton2Click();
}

bool TFrmDisp::DBEdit1KeyDown(QWidget* field, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Down && key != Qt::Key_Up) return false;
    const auto it = std::find(order_.begin(), order_.end(), field);
    if (it == order_.end()) return false;
    const int step = key == Qt::Key_Up ? -1 : 1;
    const int n = static_cast<int>(order_.size());
    int i = static_cast<int>(it - order_.begin());
    for (int k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        if (order_[static_cast<std::size_t>(i)]->isEnabled()) {
            order_[static_cast<std::size_t>(i)]->setFocus();
            return true;
        }
    }
    return true;
}

bool TFrmDisp::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return QDialog::eventFilter(watched, event);
        const int key = k->key();
        // The fields of "Cadastro" (a combo box's popup keeps its arrows).
        if (std::find(order_.begin(), order_.end(), w) != order_.end() && DBEdit1KeyDown(w, key)) return true;
        auto within = [w](QWidget* grid) { return w == grid || grid->isAncestorOf(w); };
        // An open cell editor keeps Down and Insert; the lookup keys work everywhere in the grid.
        const bool editorOpen = qobject_cast<QLineEdit*>(w) != nullptr;
        const bool arrows = key == Qt::Key_Down || key == Qt::Key_Insert;
        if (within(DBGrid2) && !(editorOpen && arrows) && DBGrid2KeyDown(key)) return true;
        if (within(DBGrid3) && !(editorOpen && arrows) && DBGrid3KeyDown(key)) return true;
    } else if (event->type() == QEvent::FocusOut && w == DBEdit7 &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        // Left with an agreement key that does not exist: the lookup opens.
        QTimer::singleShot(0, this, [this] {
            if (editMode_ && isVisible() && QApplication::activeModalWidget() == this) DBEdit7Exit();
        });
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmDisp::showError(const QString& text, const QString& detail) {
    sink_.show(this, MessageKind::Error, text, detail);
}

void TFrmDisp::dataError(const QString& text) {
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] {
        if (pendingError_.isEmpty()) return;
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
    });
}

}  // namespace tcese::screens
