#include "screens/planocontas.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "app/messagesink.h"
#include "app/principal.h"
#include "screens/pesconta.h"
#include "screens/funcoes.h"

// The button icons live in the application library's resources.
static void loadPlanoResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::screens {

namespace fs = std::filesystem;

namespace {

constexpr int kContaColumn = 0;
constexpr int kCodigoTceColumn = 2;
constexpr int kSeqTceColumn = 3;

// Only the parent account is typed; the court account comes from the lookup.
class PlanoModel : public RecordSetModel {
public:
    explicit PlanoModel(QObject* parent)
        : RecordSetModel({{"BALCO", QStringLiteral("Conta")},
                          {"TITCO", QStringLiteral("Título")},
                          {"CODIGO_TCE", QStringLiteral("Conta Superior"), 20},
                          {"SEQ_TCE", QStringLiteral("Código TCE")}},
                         parent) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = RecordSetModel::flags(index);
        if (index.column() != kCodigoTceColumn) f &= ~Qt::ItemIsEditable;
        return f;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole && index.column() == kContaColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return RecordSetModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal && section == kContaColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return RecordSetModel::headerData(section, orientation, role);
    }
};

}  // namespace

TFrmPlano::TFrmPlano(app::TFrmPrincipalSE& owner)
    : TFrmPlano(owner.dataModule(), owner.iniFile(), owner.messageSink(), &owner) {}

TFrmPlano::TFrmPlano(DataModule& dm, fs::path iniFile, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), dm_(dm), ini_(std::move(iniFile)), sink_(sink) {
    loadPlanoResources();
    build();
    setEditMode(false);
    // The screen sees every key before its controls (F1 from the grid or the search box).
    qApp->installEventFilter(this);
}

TFrmPlano::~TFrmPlano() {
    qApp->removeEventFilter(this);
    model_->setRecordSet(nullptr);
}

void TFrmPlano::build() {
    setObjectName(QStringLiteral("FrmPlano"));
    setWindowTitle(QStringLiteral("Elenco do Plano de Contas"));
    setModal(true);
    resize(900, 560);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);

    pnTitulo = titlePanel(this, QStringLiteral("Elenco do Plano de Contas"));
    outer->addWidget(pnTitulo);

    auto button = [](QWidget* parent, const char* name, const QString& caption, const QIcon& icon) {
        return actionButton(parent, name, caption, icon, 0);
    };

    auto* top = new QHBoxLayout;
    top->setContentsMargins(8, 0, 8, 0);
    Alterar = button(this, "Alterar", QStringLiteral("&Alterar"), style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Pesquisa = button(this, "Pesquisa", QStringLiteral("Pesquisar (F1)"), style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Alterar->setMinimumWidth(110);
    Pesquisa->setMinimumWidth(110);
    GroupBox1 = new QGroupBox(QStringLiteral("Consulta Plano de Contas"), this);
    auto* search = new QHBoxLayout(GroupBox1);
    MaskEdit1 = new QLineEdit(GroupBox1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    setUpperCase(MaskEdit1);
    RadioButton1 = new QRadioButton(QStringLiteral("Conta"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("Descrição"), GroupBox1);
    RadioButton1->setChecked(true);
    Pesquisar = button(GroupBox1, "Pesquisar", QString(), style()->standardIcon(QStyle::SP_FileDialogContentsView));
    search->addWidget(MaskEdit1, 1);
    search->addWidget(RadioButton1);
    search->addWidget(RadioButton2);
    search->addWidget(Pesquisar);
    top->addWidget(Alterar);
    top->addWidget(Pesquisa);
    top->addWidget(GroupBox1, 1);
    outer->addLayout(top);

    model_ = new PlanoModel(this);
    connect(model_, &RecordSetModel::dataError, this, &TFrmPlano::dataError);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
    // The title takes the room left; bold red titles must not be cut short.
    DBGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* gridRow = new QHBoxLayout;
    gridRow->setContentsMargins(8, 0, 8, 0);
    gridRow->addWidget(DBGrid1);
    outer->addLayout(gridRow, 1);

    Confirmar = button(this, "Confirmar", QStringLiteral("&Confirmar"), style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = button(this, "Fechar", QStringLiteral("Fecha&r"), QIcon(QStringLiteral(":/icons/fechar.png")));
    Confirmar->setMinimumWidth(110);
    Fechar->setMinimumWidth(110);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Alterar, &QPushButton::clicked, this, &TFrmPlano::AlterarClick);
    connect(Pesquisa, &QPushButton::clicked, this, &TFrmPlano::PesquisaClick);
    connect(Pesquisar, &QPushButton::clicked, this, &TFrmPlano::PesquisarClick);
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TFrmPlano::PesquisarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmPlano::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmPlano::FecharClick);
}

void TFrmPlano::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

bool TFrmPlano::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmPlano::FormShow() {
    reload();
    setEditMode(false);
}

void TFrmPlano::reload() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    try {
        dm_.Conexao.open(CdsPlano_, "SELECT * FROM CONPLA");
    } catch (const std::exception& e) {
        CdsPlano_.close();
        showError(QString::fromUtf8(e.what()));
    }
    if (CdsPlano_.active()) CdsPlano_.first();
    model_->setRecordSet(&CdsPlano_);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->followCursor();
}

void TFrmPlano::setEditMode(bool on) {
    editMode_ = on;
    Fechar->setText(on ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(on ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
    // Without the table (the query failed) there is nothing to change.
    Alterar->setEnabled(!on && CdsPlano_.active());
    Confirmar->setEnabled(on);
    Pesquisa->setEnabled(on);
    DBGrid1->setEditing(on);
}

void TFrmPlano::AlterarClick() {
    if (editMode_ || !CdsPlano_.active()) return;
    setEditMode(true);
    pendingError_.clear();
    try {
        if (CdsPlano_.recordCount() > 0) CdsPlano_.edit();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
    DBGrid1->setFocus();
}

void TFrmPlano::PesquisarClick() {
    if (!CdsPlano_.active()) return;
    DBGrid1->finishEditing();
    const char* field = RadioButton2->isChecked() ? "TITCO" : "BALCO";
    const QByteArray text = MaskEdit1->text().toUtf8();
    try {
        CdsPlano_.locate(field, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                         LocateCaseInsensitive | LocatePartialKey);
    } catch (const std::exception& e) {
        // The pending row could not be posted: the cursor stays on it.
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
}

bool TFrmPlano::FormKeyDown(int key) {
    if (key != Qt::Key_F1 || !Pesquisa->isEnabled()) return false;
    Pesquisa->click();
    return true;
}

void TFrmPlano::PesquisaClick() {
    if (!editMode_ || !CdsPlano_.active()) return;
    // A parent account being typed belongs to the row before the choice is added.
    DBGrid1->finishEditing();
    TFrmPesConta dialog(CdsPlano_, ini_, sink_, this);
    dialog.exec();
    model_->refresh();
    DBGrid1->followCursor();
}

void TFrmPlano::CdsPlanoAfterInsert() {
    if (CdsPlano_.mode() == RecordSet::Mode::Insert) CdsPlano_.cancel();
}

void TFrmPlano::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid1->finishEditing();
    if (!pendingError_.isEmpty()) {
        // A typed value was refused: nothing is saved until the user sees why.
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
        DBGrid1->setFocus();
        return;
    }
    CdsPlanoAfterInsert();
    if (const QString refused = model_->valueError(true); !refused.isEmpty()) {
        dm_.lastApplyErrors = 1;  // nothing written: a row that cannot be saved whole
        sink_.show(this, MessageKind::Error, QString::fromUtf8("Erro ao Alterar as Informações!"), refused);
        DBGrid1->setFocus();
        return;
    }
    QString detail;
    try {
        dm_.saveChanges(CdsPlano_);
    } catch (const std::exception& e) {
        // Already rolled back: the changes stay in the record set for another try.
        dm_.lastApplyErrors = dm_.lastApplyErrors != 0 ? dm_.lastApplyErrors : 1;
        detail = model_->errorText(e);
    }
    if (dm_.lastApplyErrors != 0) {
        // Another user's change and a refused value read differently under the details.
        if (detail.isEmpty()) {
            QStringList reasons;
            for (const auto& m : dm_.Conexao.lastApplyErrorMessages()) reasons << QString::fromStdString(m);
            detail = reasons.join(QStringLiteral("\n"));
        }
        if (CdsPlano_.recordCount() > 0 && CdsPlano_.mode() == RecordSet::Mode::Browse) {
            try {
                CdsPlano_.edit();
            } catch (const std::exception&) {
            }
        }
        model_->refresh();
        sink_.show(this, MessageKind::Error, QStringLiteral("Erro ao Alterar as Informações!"), detail);
        DBGrid1->setFocus();
        return;
    }
    FecharClick();
    sink_.inform(this, QStringLiteral("Atenção"), QStringLiteral("Alteração efetuada com Sucesso!"));
}

void TFrmPlano::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    DBGrid1->cancelEditing();
    if (CdsPlano_.active()) CdsPlano_.cancel();
    pendingError_.clear();
    reload();
    setEditMode(false);
}

void TFrmPlano::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

CellStyle TFrmPlano::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    CellStyle s = stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
    const bool unmapped = model_->index(index.row(), kSeqTceColumn).data().toString().trimmed().isEmpty();
    s.text = unmapped ? QColor(255, 0, 0) : QColor(Qt::black);
    s.bold = unmapped;
    return s;
}

void TFrmPlano::showError(const QString& text) { sink_.show(this, MessageKind::Error, text); }

void TFrmPlano::dataError(const QString& text) {
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] {
        if (pendingError_.isEmpty()) return;
        const QString text = pendingError_;
        pendingError_.clear();
        showError(text);
    });
}

}  // namespace tcese::screens
