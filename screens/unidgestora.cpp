#include "screens/unidgestora.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

#include "app/messagesink.h"
#include "app/principal.h"
#include "screens/funcoes.h"

static void loadUnidResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::screens {

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

enum Column { ColEmpresa, ColCgc, ColNome, ColEndereco, ColBairro, ColCep, ColFone, ColFax, ColTipo, ColCodaudesp };

std::vector<GridColumn> unidColumns() {
    return {{"EMPRESA", QString::fromUtf8("Cód. Entidade")}, {"CGC", QStringLiteral("CNPJ"), 18},
            {"NOME", QStringLiteral("Nome")},                {"ENDERECO", QString::fromUtf8("Endereço"), 60},
            {"BAIRRO", QStringLiteral("Bairro"), 60},        {"CEP", QStringLiteral("CEP"), 9},
            {"FONE", QStringLiteral("Telefone"), 15},        {"FAX", QStringLiteral("Fax"), 15},
            {"TIPO", QStringLiteral("SubTipo")},             {"CODAUDESP", QString::fromUtf8("Cód. TCE")}};
}

// The entity grid: code and name are the accounting product's, not this screen's.
class UnidModel : public RecordSetModel {
public:
    using RecordSetModel::RecordSetModel;

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = RecordSetModel::flags(index);
        if (index.column() == ColEmpresa || index.column() == ColNome) f &= ~Qt::ItemIsEditable;
        return f;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        QVariant v = RecordSetModel::data(index, role);
        // The court's code is shown with its six digits.
        if (role == Qt::DisplayRole && index.column() == ColCodaudesp) {
            const QString text = v.toString();
            bool ok = false;
            const qlonglong n = text.toLongLong(&ok);
            if (ok) return (n < 0 ? QStringLiteral("-") : QString()) + QString::number(std::llabs(n)).rightJustified(6, '0');
        }
        return v;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && section == ColEmpresa) {
            if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
            if (role == Qt::FontRole) {
                QFont f;
                f.setBold(true);
                return f;
            }
        }
        return RecordSetModel::headerData(section, orientation, role);
    }
};

}  // namespace

TFrmUnidGestora::TFrmUnidGestora(app::TFrmPrincipalSE& owner)
    : TFrmUnidGestora(owner.dataModule(), owner.messageSink(), &owner) {}

TFrmUnidGestora::TFrmUnidGestora(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), dm_(dm), sink_(sink) {
    loadUnidResources();
    build();
    setEditMode(false);
}

TFrmUnidGestora::~TFrmUnidGestora() { model_->setRecordSet(nullptr); }

void TFrmUnidGestora::build() {
    setObjectName(QStringLiteral("FrmUnidGestora"));
    setWindowTitle(QStringLiteral("Cadastro da Unidade Gestora"));
    setModal(true);
    // Fits a 1024 x 768 desktop.
    resize(1000, 420);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);

    pnTitulo = titlePanel(this, QStringLiteral("Cadastro da Unidade Gestora"));
    outer->addWidget(pnTitulo);

    model_ = new UnidModel(unidColumns(), this);
    connect(model_, &RecordSetModel::dataError, this, &TFrmUnidGestora::dataError);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
    DBGrid1->horizontalHeader()->setSectionResizeMode(ColNome, QHeaderView::Stretch);
    auto* gridRow = new QHBoxLayout;
    gridRow->setContentsMargins(8, 0, 8, 0);
    gridRow->addWidget(DBGrid1);
    outer->addLayout(gridRow, 1);

    auto button = [this](const char* name, const char* caption, const QIcon& icon) {
        return actionButton(this, name, QString::fromUtf8(caption), icon);
    };
    Alterar = button("Alterar", "&Alterar", style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Confirmar = button("Confirmar", "&Confirmar", style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = button("Fechar", "Fecha&r", QIcon(QStringLiteral(":/icons/fechar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch();
    buttons->addWidget(Alterar);
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Alterar, &QPushButton::clicked, this, &TFrmUnidGestora::AlterarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmUnidGestora::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmUnidGestora::FecharClick);
}

void TFrmUnidGestora::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmUnidGestora::FormShow() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    CdsEntidade_.close();
    try {
        dm_.Conexao.open(CdsEntidade_, kQuery);
        RecordSet::Source src = CdsEntidade_.source();
        src.updateTable = DspEntidadeGetTableName();
        CdsEntidade_.setSource(std::move(src));
    } catch (const std::exception& e) {
        CdsEntidade_.close();
        showError(QString::fromUtf8(e.what()));
    }
    model_->setRecordSet(&CdsEntidade_);
    DBGrid1->resizeColumnsToContents();
    // Room to type into columns that are still empty; long addresses are cut short
    // and the name takes what is left, so that the court's code stays in view.
    for (int c : {ColEndereco, ColBairro, ColFone, ColFax})
        DBGrid1->setColumnWidth(c, c == ColEndereco ? 130 : c == ColBairro ? 90 : 80);
    DBGrid1->followCursor();
    setEditMode(false);
}

void TFrmUnidGestora::FormClose() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    // Changes never confirmed go with the rows.
    CdsEntidade_.close();
}

void TFrmUnidGestora::setEditMode(bool on) {
    editMode_ = on;
    Fechar->setText(on ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(on ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
    // Without entities (the table could not be read) there is nothing to change.
    Alterar->setEnabled(!on && CdsEntidade_.active() && CdsEntidade_.recordCount() > 0);
    Confirmar->setEnabled(on);
    DBGrid1->setEditing(on);
    DBGrid1->setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
}

void TFrmUnidGestora::AlterarClick() {
    if (editMode_ || !CdsEntidade_.active() || CdsEntidade_.recordCount() == 0) return;
    pendingError_.clear();
    setEditMode(true);
    try {
        CdsEntidade_.edit();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
    DBGrid1->setFocus();
}

void TFrmUnidGestora::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid1->finishEditing();
    if (!pendingError_.isEmpty()) {
        // A typed value was refused: nothing is saved until the user sees why.
        showPendingError();
        DBGrid1->setFocus();
        return;
    }
    if (const QString refused = model_->valueError(true); !refused.isEmpty()) {
        dm_.lastApplyErrors = 1;  // nothing written: a row that cannot be saved whole
        showError(QString::fromUtf8("Erro ao Alterar as Informações!"), refused);
        DBGrid1->setFocus();
        return;
    }
    int failed = 0;
    QString detail;
    try {
        failed = dm_.saveChanges(CdsEntidade_);
    } catch (const std::exception& e) {
        // Nothing was written; the rows keep what was typed.
        failed = 1;
        detail = model_->errorText(e);
    }
    model_->refresh();
    DBGrid1->followCursor();
    if (failed != 0) {
        if (detail.isEmpty()) {
            QStringList reasons;
            for (const auto& m : dm_.Conexao.lastApplyErrorMessages()) reasons << qs(m);
            detail = reasons.join(QStringLiteral("\n"));
        }
        showError(QString::fromUtf8("Erro ao Alterar as Informações!"), detail);
        DBGrid1->setFocus();
        return;
    }
    // Back to browse mode exactly as "Cancela&r" does.
    FecharClick();
    sink_.inform(this, QStringLiteral("Atenção"), QStringLiteral("Alteração efetuada com Sucesso!"));
}

void TFrmUnidGestora::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    DBGrid1->cancelEditing();
    if (CdsEntidade_.mode() != RecordSet::Mode::Browse) CdsEntidade_.cancel();
    pendingError_.clear();
    try {
        if (dm_.Conexao.inTransaction()) dm_.Conexao.rollback();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    setEditMode(false);
    model_->refresh();
    DBGrid1->followCursor();
}

void TFrmUnidGestora::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

void TFrmUnidGestora::done(int result) {
    FormClose();
    QDialog::done(result);
}

CellStyle TFrmUnidGestora::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    return stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
}

void TFrmUnidGestora::showError(const QString& text, const QString& detail) {
    sink_.show(this, MessageKind::Error, text, detail);
}

void TFrmUnidGestora::dataError(const QString& text) {
    // Shown once the grid has finished with its editor; a click on "&Confirmar" may come first.
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] { showPendingError(); });
}

void TFrmUnidGestora::showPendingError() {
    if (pendingError_.isEmpty()) return;
    const QString text = pendingError_;
    pendingError_.clear();
    showError(text);
}

}  // namespace tcese::screens
