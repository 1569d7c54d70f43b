#include "screens/comissao.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
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
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "app/messagesink.h"
#include "app/principal.h"
#include "screens/datebox.h"
#include "screens/funcoes.h"

static void loadComissaoResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::screens {

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void markBound(QWidget* w, const char* field) { w->setProperty(kDataFieldProperty, QString::fromLatin1(field)); }

bool blankMember(RecordSet& rs) {
    for (const char* f : {"NOME", "CPF", "CARGO", "FORMACAO_PROF", "RG"})
        if (rs.fieldIndex(f) >= 0 && !rs.field(f).isNull()) return false;
    return true;
}

}  // namespace

QStringList TFrmComissao::tipos() {
    return {QStringLiteral("1 - Permanente"), QStringLiteral("2 - Especial"), QString::fromUtf8("3 - Avaliação"),
            QString::fromUtf8("4 - Concurso Público"), QStringLiteral("5 - Pregoeiro")};
}

TFrmComissao::TFrmComissao(app::TFrmPrincipalSE& owner)
    : TFrmComissao(owner.dataModule(), owner.messageSink(), &owner) {}

TFrmComissao::TFrmComissao(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), dm_(dm), sink_(sink) {
    loadComissaoResources();
    build();
    qApp->installEventFilter(this);
}

TFrmComissao::~TFrmComissao() {
    qApp->removeEventFilter(this);
    comModel_->setRecordSet(nullptr);
    memModel_->setRecordSet(nullptr);
    if (editMode_ && dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
}

void TFrmComissao::build() {
    setObjectName(QStringLiteral("FrmComissao"));
    const QString caption = QString::fromUtf8("Cadastro de Comissão de Licitação/Dispensa/Inexigibilidade");
    setWindowTitle(caption);
    setModal(true);
    resize(900, 640);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);
    pnTitulo = titlePanel(this, caption);
    outer->addWidget(pnTitulo);

    auto striped = [](RecordSetView* grid) {
        grid->delegate()->setDrawColumnCell([grid](const QModelIndex& index, CellState state) {
            return stripedCellStyle(index.row() + 1, state, grid->palette().color(QPalette::Base));
        });
    };

    // ---- fields
    auto* fields = new QGroupBox(this);
    auto* grid = new QGridLayout(fields);
    grid->setVerticalSpacing(4);
    auto place = [grid, fields](const QString& caption, QWidget* field, int col) {
        auto* l = new QLabel(caption, fields);
        l->setBuddy(field);
        grid->addWidget(l, 0, col);
        grid->addWidget(field, 1, col);
    };
    auto dateBox = [fields](const char* field, const char* name) {
        auto* d = new DateBox(fields);
        d->setObjectName(QString::fromLatin1(name));
        markBound(d, field);
        return d;
    };
    edtCodigo = new QLineEdit(fields);
    edtCodigo->setObjectName(QStringLiteral("edtCodigo"));
    edtCodigo->setReadOnly(true);
    edtCodigo->setMaximumWidth(80);
    markBound(edtCodigo, "CODCOMISS");
    DBEdit2 = new QLineEdit(fields);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setMaxLength(15);
    // DBEdit2KeyPress: digits only (pasted text too).
    DBEdit2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), DBEdit2));
    markBound(DBEdit2, "PORTARIA");
    edtData = dateBox("DATA", "edtData");
    cbTipo = new QComboBox(fields);
    cbTipo->setObjectName(QStringLiteral("cbTipo"));
    cbTipo->addItems(tipos());
    cbTipo->setCurrentIndex(-1);
    markBound(cbTipo, "TIPO");
    edtDtIniVige = dateBox("DT_INI_VIGE", "edtDtIniVige");
    edtDtFimVige = dateBox("DT_FIM_VIGE", "edtDtFimVige");
    edtDtIniPi = dateBox("DT_INI_PI", "edtDtIniPi");
    place(QString::fromUtf8("Código"), edtCodigo, 0);
    place(QStringLiteral("Portaria"), DBEdit2, 1);
    place(QStringLiteral("Data"), edtData, 2);
    place(QString::fromUtf8("Tipo de Comissão"), cbTipo, 3);
    place(QString::fromUtf8("Inicio Vigência"), edtDtIniVige, 4);
    place(QString::fromUtf8("Fim Vigência"), edtDtFimVige, 5);
    place(QString::fromUtf8("Início do Ato"), edtDtIniPi, 6);
    grid->setColumnStretch(3, 1);
    outer->addWidget(fields);
    fields->setContentsMargins(8, 0, 8, 0);
    order_ = {DBEdit2, edtData, cbTipo, edtDtIniVige, edtDtFimVige, edtDtIniPi};

    comModel_ = new RecordSetModel({{"CODCOMISS", QString::fromUtf8("Código")},
                                    {"PORTARIA", QStringLiteral("Portaria")},
                                    {"DATA", QStringLiteral("Data")},
                                    {"TIPO", QString::fromUtf8("Tipo de Comissão")},
                                    {"DT_INI_VIGE", QString::fromUtf8("Inicio Vigência")},
                                    {"DT_FIM_VIGE", QString::fromUtf8("Fim Vigência")}},
                                   this);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(comModel_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    striped(DBGrid1);

    memModel_ = new RecordSetModel({{"NOME", QStringLiteral("Nome")},
                                    {"CPF", QStringLiteral("CPF")},
                                    {"CARGO", QString::fromUtf8("Qualificação")},
                                    {"FORMACAO_PROF", QString::fromUtf8("Formação")}},
                                   this);
    DBGrid2 = new RecordSetView(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setRecordSetModel(memModel_);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    striped(DBGrid2);
    DBGrid2->setContextMenuPolicy(Qt::ActionsContextMenu);
    ExcluirMembro1 = new QAction(QStringLiteral("Excluir Membro (F2)"), DBGrid2);
    ExcluirMembro1->setObjectName(QStringLiteral("ExcluirMembro1"));
    DBGrid2->addAction(ExcluirMembro1);
    ExcluirMembro1->setVisible(false);

    auto* lists = new QVBoxLayout;
    lists->setContentsMargins(8, 0, 8, 0);
    lists->addWidget(DBGrid1, 1);
    auto* membros = new QLabel(QString::fromUtf8("Membros da Comissão (seta para baixo na última linha: novo membro)"), this);
    lists->addWidget(membros);
    lists->addWidget(DBGrid2, 1);
    outer->addLayout(lists, 1);
    for (RecordSetModel* m : {comModel_, memModel_}) connect(m, &RecordSetModel::dataError, this, &TFrmComissao::dataError);

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

    connect(BTNINCLUIR, &QPushButton::clicked, this, &TFrmComissao::BTNINCLUIRClick);
    connect(btnAlterar, &QPushButton::clicked, this, &TFrmComissao::btnAlterarClick);
    connect(Btnexcluir, &QPushButton::clicked, this, &TFrmComissao::BtnexcluirClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmComissao::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmComissao::FecharClick);
    connect(ExcluirMembro1, &QAction::triggered, this, &TFrmComissao::ExcluirMembro1Click);
    // A click or a key that reaches another row of the list shows that row's details.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { DBGrid1CellClick(); });
    setButtons(false);
}

void TFrmComissao::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmComissao::FormShow() {
    openCommissions();
    BloqueiaCampos(this);
    ExcluirMembro1->setVisible(false);
    DBGrid2->setEnabled(true);
    DBGrid2->setEditing(false);
    setButtons(false);
    showCommission();
}

void TFrmComissao::openCommissions() {
    comModel_->setRecordSet(nullptr);
    try {
        dm_.Conexao.open(CdsCom_, "SELECT * FROM COMISSAO");
    } catch (const std::exception& e) {
        CdsCom_.close();
        showError(QString::fromUtf8(e.what()));
    }
    comModel_->setRecordSet(CdsCom_.active() ? &CdsCom_ : nullptr);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->followCursor();
    openMembers(currentCodcomiss());
}

std::int64_t TFrmComissao::currentCodcomiss() {
    if (!CdsCom_.active() || (CdsCom_.recordCount() == 0 && CdsCom_.mode() != RecordSet::Mode::Insert)) return 0;
    try {
        return CdsCom_.field("CODCOMISS").asInteger();
    } catch (const std::exception&) {
        return 0;
    }
}

void TFrmComissao::openMembers(std::int64_t codcomiss) {
    DBGrid2->cancelEditing();
    memModel_->setRecordSet(nullptr);
    try {
        dm_.Conexao.open(cdsMem_, "SELECT * FROM MEMBROS WHERE CODCOMISS = ?", {Value(codcomiss)});
    } catch (const std::exception& e) {
        cdsMem_.close();
        showError(QString::fromUtf8(e.what()));
    }
    memModel_->setRecordSet(cdsMem_.active() ? &cdsMem_ : nullptr);
    DBGrid2->resizeColumnsToContents();
    for (int c = 0; c < memModel_->columnCount(); ++c) DBGrid2->setColumnWidth(c, std::max(DBGrid2->columnWidth(c), 140));
    DBGrid2->followCursor();
}

void TFrmComissao::showCommission() {
    const bool any = CdsCom_.active() && (CdsCom_.recordCount() > 0 || CdsCom_.mode() == RecordSet::Mode::Insert);
    edtCodigo->setText(any ? qs(CdsCom_.field("CODCOMISS").asString()) : QString());
    DBEdit2->setText(any ? qs(CdsCom_.field("PORTARIA").asString()) : QString());
    for (auto [d, f] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtData, "DATA"}, {edtDtIniVige, "DT_INI_VIGE"}, {edtDtFimVige, "DT_FIM_VIGE"}, {edtDtIniPi, "DT_INI_PI"}})
        d->setDate(any ? CdsCom_.field(f).asDate() : std::nullopt);
    // The list is positioned by the type's number; a commission without a type shows none.
    int index = -1;
    if (any) {
        bool ok = false;
        const int tipo = qs(CdsCom_.field("TIPO").asString()).trimmed().toInt(&ok);
        if (ok && tipo >= 1 && tipo <= cbTipo->count()) index = tipo - 1;
    }
    cbTipo->setCurrentIndex(index);
}

void TFrmComissao::setButtons(bool edit) {
    BTNINCLUIR->setEnabled(!edit);
    btnAlterar->setEnabled(!edit);
    Btnexcluir->setEnabled(!edit);
    Confirmar->setEnabled(edit);
    Fechar->setEnabled(true);
    Fechar->setText(edit ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(edit ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
}

void TFrmComissao::DBGrid1CellClick() {
    if (editMode_) return;
    openMembers(currentCodcomiss());
    showCommission();
}

void TFrmComissao::enterEditMode(bool inserting) {
    LiberaCampos(this);
    // The code is given by the save: it stays grey.
    QPalette grey = edtCodigo->palette();
    grey.setColor(QPalette::Base, QColor(kLockedColour));
    edtCodigo->setPalette(grey);
    editMode_ = true;
    inserting_ = inserting;
    pendingError_.clear();
    setButtons(true);
    ExcluirMembro1->setVisible(true);
    DBGrid2->setEnabled(true);
    DBGrid2->setEditing(true);
    try {
        if (inserting) {
            openMembers(0);
            CdsCom_.append();
            CdsCom_.field("CODCOMISS").setAsInteger(0);  // CdsComNewRecord
            comModel_->refresh();
            DBGrid1->followCursor();
        } else {
            CdsCom_.edit();
        }
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    // An empty grid offers a row to type in; left blank, it is not saved.
    if (cdsMem_.active() && cdsMem_.recordCount() == 0 && cdsMem_.mode() == RecordSet::Mode::Browse) appendMember();
    showCommission();
    DBEdit2->setFocus();
}

void TFrmComissao::BTNINCLUIRClick() {
    if (editMode_ || !CdsCom_.active()) return;
    enterEditMode(true);
}

void TFrmComissao::btnAlterarClick() {
    if (editMode_ || !CdsCom_.active()) return;
    if (CdsCom_.recordCount() == 0) {
        sink_.show(this, MessageKind::Warning, QString::fromUtf8("Não existem registros para alterar!"));
        return;
    }
    enterEditMode(false);
}

void TFrmComissao::discardEdits() {
    DBGrid1->cancelEditing();
    DBGrid2->cancelEditing();
    try {
        if (dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    if (cdsMem_.active() && cdsMem_.mode() != RecordSet::Mode::Browse) cdsMem_.cancel();
    if (CdsCom_.active()) {
        if (CdsCom_.mode() != RecordSet::Mode::Browse) CdsCom_.cancel();
        // A failed save left the commission posted: back to what was read, on the same row.
        if (CdsCom_.changeCount() > 0) {
            const int row = CdsCom_.recNo();
            CdsCom_.cancelUpdates();
            if (row > 0 && CdsCom_.recordCount() > 0) CdsCom_.setRecNo(std::min(row, CdsCom_.recordCount()));
        }
    }
}

void TFrmComissao::leaveEditMode() {
    BloqueiaCampos(this);
    editMode_ = false;
    inserting_ = false;
    setButtons(false);
    ExcluirMembro1->setVisible(false);
    DBGrid2->setEnabled(true);
    DBGrid2->setEditing(false);
    comModel_->refresh();
    DBGrid1->followCursor();
    openMembers(currentCodcomiss());
    showCommission();
}

void TFrmComissao::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    discardEdits();
    leaveEditMode();
}

void TFrmComissao::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

void TFrmComissao::closeEvent(QCloseEvent* e) {
    if (editMode_) {
        discardEdits();
        editMode_ = false;
    }
    e->accept();
    QDialog::done(QDialog::Rejected);
}

void TFrmComissao::fail(QWidget* focus, const QString& text) {
    sink_.show(this, MessageKind::Warning, text);
    focus->setFocus();
}

void TFrmComissao::storeCommission() {
    auto setText = [this](const char* field, const QString& v) {
        Field f = CdsCom_.field(field);
        if (v.isEmpty()) f.setNull();
        else f.setAsString(v.toStdString());
    };
    setText("PORTARIA", DBEdit2->text().trimmed());
    setText("TIPO", cbTipo->currentIndex() < 0 ? QString() : cbTipo->currentText().left(1));
    for (auto [d, f] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtData, "DATA"}, {edtDtIniVige, "DT_INI_VIGE"}, {edtDtFimVige, "DT_FIM_VIGE"}, {edtDtIniPi, "DT_INI_PI"}}) {
        if (const auto date = d->date()) CdsCom_.field(f).setValue(*date);
        else CdsCom_.field(f).setNull();
    }
}

// DspMemBeforeUpdateRecord: every new or changed member is written after the
// last member its commission keeps, in the order of the grid.
void TFrmComissao::numberMembers(std::int64_t codcomiss) {
    const int codigoCol = cdsMem_.fieldIndex("CODIGO");
    std::set<std::int64_t> deleted;
    for (const auto& row : cdsMem_.deletedRows())
        if (codigoCol >= 0 && std::holds_alternative<std::int64_t>(row[static_cast<std::size_t>(codigoCol)]))
            deleted.insert(std::get<std::int64_t>(row[static_cast<std::size_t>(codigoCol)]));
    RecordSet codes("codes");
    dm_.Conexao.open(codes, "SELECT CODIGO FROM MEMBROS WHERE CODCOMISS = ?", {Value(codcomiss)});
    std::int64_t last = 0;
    for (codes.first(); !codes.eof(); codes.next()) {
        const std::int64_t c = codes.field("CODIGO").asInteger();
        if (!deleted.count(c)) last = std::max(last, c);
    }
    for (int row = 0; row < cdsMem_.recordCount(); ++row) {
        if (cdsMem_.rows()[static_cast<std::size_t>(row)].state == RowState::Unchanged) continue;
        cdsMem_.setRecNo(row + 1);
        cdsMem_.edit();
        cdsMem_.field("CODCOMISS").setAsInteger(codcomiss);
        cdsMem_.field("CODIGO").setAsInteger(++last);
        cdsMem_.post();
    }
}

void TFrmComissao::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid2->finishEditing();
    if (!pendingError_.isEmpty()) {
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
        return;
    }
    if (DBEdit2->text().trimmed().isEmpty()) {
        fail(DBEdit2, QString::fromUtf8("Campo Portaria Inválido!"));
        return;
    }
    for (auto [d, caption] : std::initializer_list<std::pair<DateBox*, const char*>>{
             {edtData, "Data"}, {edtDtIniVige, "Inicio Vigência"}, {edtDtFimVige, "Fim Vigência"}, {edtDtIniPi, "Início do Ato"}}) {
        if (!d->isValidInput()) {
            fail(d, QString::fromUtf8("Campo %1 Inválido!").arg(QString::fromUtf8(caption)));
            return;
        }
    }

    dm_.lastApplyErrors = 0;
    QString detail;
    bool failed = false;
    try {
        if (!dm_.Conexao.inTransaction()) dm_.Conexao.startTransaction();
        if (CdsCom_.mode() == RecordSet::Mode::Browse) CdsCom_.edit();
        storeCommission();
        if (inserting_) {
            dm_.Conexao.open(dm_.CdsAux, "SELECT COALESCE(MAX(CODCOMISS),0) AS CODIGO FROM COMISSAO");
            CdsCom_.field("CODCOMISS").setAsInteger(dm_.CdsAux.field("CODIGO").asInteger() + 1);
        }
        CdsCom_.post();
        if (cdsMem_.mode() == RecordSet::Mode::Insert && blankMember(cdsMem_)) cdsMem_.cancel();
        if (cdsMem_.mode() != RecordSet::Mode::Browse) cdsMem_.post();
        const std::int64_t codcomiss = CdsCom_.field("CODCOMISS").asInteger();
        if (CdsCom_.changeCount() > 0) {
            dm_.lastApplyErrors += dm_.Conexao.applyUpdates(CdsCom_, -1, false);
            for (const auto& m : dm_.Conexao.lastApplyErrorMessages()) detail += qs(m) + QLatin1Char('\n');
        }
        if (cdsMem_.changeCount() > 0) {
            numberMembers(codcomiss);
            dm_.lastApplyErrors += dm_.Conexao.applyUpdates(cdsMem_, -1, false);
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
        try {
            if (CdsCom_.mode() == RecordSet::Mode::Browse && CdsCom_.recordCount() > 0) CdsCom_.edit();
        } catch (const std::exception&) {
        }
        comModel_->refresh();
        memModel_->refresh();
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
    CdsCom_.mergeChangeLog();
    cdsMem_.mergeChangeLog();
    leaveEditMode();
}

void TFrmComissao::BtnexcluirClick() {
    if (editMode_ || !CdsCom_.active()) return;
    if (CdsCom_.recordCount() == 0) {
        sink_.show(this, MessageKind::Warning, QString::fromUtf8("Não existem registros para excluir!"));
        return;
    }
    if (!sink_.ask(this, QString::fromUtf8("Atenção"), QString::fromUtf8("Deseja realmente excluir o Registro?"))) return;
    const Value codcomiss = CdsCom_.field("CODCOMISS").value();
    try {
        if (!dm_.Conexao.inTransaction()) dm_.Conexao.startTransaction();
        dm_.Conexao.execute("DELETE FROM MEMBROS WHERE CODCOMISS = ?", {codcomiss});
        dm_.Conexao.execute("DELETE FROM COMISSAO WHERE CODCOMISS = ?", {codcomiss});
        dm_.Conexao.commit();
    } catch (const std::exception& e) {
        try {
            dm_.Conexao.rollback();
        } catch (const std::exception&) {
        }
        showError(QString::fromUtf8(e.what()));
        openCommissions();
        showCommission();
        return;
    }
    sink_.inform(this, QStringLiteral("OK"), QString::fromUtf8("Registro Excuído com Sucesso!"));
    openCommissions();
    showCommission();
}

void TFrmComissao::ExcluirMembro1Click() {
    if (!editMode_ || !cdsMem_.active()) return;
    DBGrid2->cancelEditing();
    try {
        if (cdsMem_.mode() == RecordSet::Mode::Insert) {
            cdsMem_.cancel();
        } else if (cdsMem_.recordCount() > 0) {
            cdsMem_.deleteRecord();
        }
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    memModel_->refresh();
    DBGrid2->followCursor();
}

bool TFrmComissao::appendMember() {
    if (!editMode_ || !cdsMem_.active()) return false;
    DBGrid2->finishEditing();
    // A new row left blank is already there to type in.
    if (cdsMem_.mode() == RecordSet::Mode::Insert && blankMember(cdsMem_)) return false;
    if (cdsMem_.mode() != RecordSet::Mode::Insert && cdsMem_.recordCount() > 0 &&
        memModel_->currentRow() != cdsMem_.recordCount() - 1)
        return false;
    try {
        if (cdsMem_.mode() != RecordSet::Mode::Browse) cdsMem_.post();
        cdsMem_.append();
        // cdsMemNewRecord
        cdsMem_.field("CODIGO").setAsInteger(0);
        cdsMem_.field("CODCOMISS").setAsInteger(0);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return true;
    }
    memModel_->refresh();
    DBGrid2->followCursor();
    return true;
}

bool TFrmComissao::DBEdit1KeyDown(QWidget* field, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Down && key != Qt::Key_Up) return false;
    const auto it = std::find(order_.begin(), order_.end(), field);
    if (it == order_.end()) return false;
    const int n = static_cast<int>(order_.size());
    const int step = key == Qt::Key_Up ? -1 : 1;
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

bool TFrmComissao::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress && w && w->window() == this) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (!(k->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
            if (std::find(order_.begin(), order_.end(), w) != order_.end() && DBEdit1KeyDown(w, k->key())) return true;
            const bool inMembers = w == DBGrid2 || (DBGrid2->isAncestorOf(w) && !qobject_cast<QLineEdit*>(w));
            if (inMembers && (k->key() == Qt::Key_Down || k->key() == Qt::Key_Insert) && appendMember()) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmComissao::showError(const QString& text, const QString& detail) {
    sink_.show(this, MessageKind::Error, text, detail);
}

void TFrmComissao::dataError(const QString& text) {
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] {
        if (pendingError_.isEmpty()) return;
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
    });
}

}  // namespace tcese::screens
