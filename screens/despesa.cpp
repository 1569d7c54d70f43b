#include "screens/despesa.h"

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
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/messagesink.h"
#include "app/principal.h"
#include "screens/funcoes.h"
#include "screens/pesconta.h"
#include "screens/pesdespesa.h"

// The button icons live in the application library's resources.
static void loadDespesaResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace tcese::screens {

namespace fs = std::filesystem;

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

enum Column { ColFicha, ColCatec, ColNome, ColBalcoTce };

// Only the court's code is typed; the rest belongs to the accounting product.
class DespesaModel : public RecordSetModel {
public:
    explicit DespesaModel(QObject* parent)
        : RecordSetModel({{"FICHA", QStringLiteral("Ficha")},
                          {"CATEC", QStringLiteral("Catec")},
                          {"NOME", QStringLiteral("Descrição")},
                          {"BALCO_TCE", QStringLiteral("Cód.Despesa TCE")}},
                         parent) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = RecordSetModel::flags(index);
        if (index.column() != ColBalcoTce) f &= ~Qt::ItemIsEditable;
        return f;
    }
};

}  // namespace

TFrmDespesa::TFrmDespesa(app::TFrmPrincipalSE& owner)
    : TFrmDespesa(owner.dataModule(), owner.iniFile(), owner.messageSink(), &owner) {}

TFrmDespesa::TFrmDespesa(DataModule& dm, fs::path iniFile, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), dm_(dm), ini_(std::move(iniFile)), sink_(sink) {
    loadDespesaResources();
    build();
    setEditMode(false);
    // The screen sees every key before its controls (F1 from the grid or the search box).
    qApp->installEventFilter(this);
}

TFrmDespesa::~TFrmDespesa() {
    qApp->removeEventFilter(this);
    model_->setRecordSet(nullptr);
}

void TFrmDespesa::build() {
    const QString title = QStringLiteral("Relação das Fichas de Despesa com o Código da Despesa do TCE/SE");
    setObjectName(QStringLiteral("FrmDespesa"));
    setWindowTitle(title);
    setModal(true);
    resize(960, 600);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);

    pnTitulo = titlePanel(this, title);
    outer->addWidget(pnTitulo);

    auto button = [](QWidget* parent, const char* name, const QString& caption, const QIcon& icon) {
        return actionButton(parent, name, caption, icon, 110);
    };

    Alterar = button(this, "Alterar", QStringLiteral("&Alterar"), style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Pesquisa = button(this, "Pesquisa", QStringLiteral("Pesquisar (F1)"),
                      style()->standardIcon(QStyle::SP_FileDialogContentsView));
    GroupBox1 = new QGroupBox(QStringLiteral("Consulta Plano de Contas"), this);
    auto* search = new QHBoxLayout(GroupBox1);
    MaskEdit1 = new QLineEdit(GroupBox1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    setUpperCase(MaskEdit1);
    RadioButton1 = new QRadioButton(QStringLiteral("Catec"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("Descrição"), GroupBox1);
    RadioButton3 = new QRadioButton(QStringLiteral("Cód. Despesa TCE"), GroupBox1);
    RadioButton4 = new QRadioButton(QStringLiteral("Ficha"), GroupBox1);
    RadioButton4->setChecked(true);
    Pesquisar = actionButton(GroupBox1, "Pesquisar", QString(), style()->standardIcon(QStyle::SP_FileDialogContentsView), 0);
    search->addWidget(MaskEdit1, 1);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4}) search->addWidget(r);
    search->addWidget(Pesquisar);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(8, 0, 8, 0);
    top->addWidget(Alterar);
    top->addWidget(Pesquisa);
    top->addWidget(GroupBox1, 1);
    outer->addLayout(top);

    model_ = new DespesaModel(this);
    connect(model_, &RecordSetModel::dataError, this, &TFrmDespesa::dataError);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
    // The description takes the room left; the court's code stays in view at the right.
    DBGrid1->horizontalHeader()->setSectionResizeMode(ColNome, QHeaderView::Stretch);
    auto* gridRow = new QHBoxLayout;
    gridRow->setContentsMargins(8, 0, 8, 0);
    gridRow->addWidget(DBGrid1);
    outer->addLayout(gridRow, 1);

    Confirmar = button(this, "Confirmar", QStringLiteral("&Confirmar"), style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = button(this, "Fechar", QStringLiteral("Fecha&r"), QIcon(QStringLiteral(":/icons/fechar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Alterar, &QPushButton::clicked, this, &TFrmDespesa::AlterarClick);
    connect(Pesquisa, &QPushButton::clicked, this, &TFrmDespesa::PesquisaClick);
    connect(Pesquisar, &QPushButton::clicked, this, &TFrmDespesa::PesquisarClick);
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TFrmDespesa::PesquisarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmDespesa::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmDespesa::FecharClick);
}

void TFrmDespesa::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

bool TFrmDespesa::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmDespesa::FormShow() {
    reload();
    setEditMode(false);
}

void TFrmDespesa::FormClose() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    // Changes never confirmed go with the rows.
    CdsDespesa_.close();
}

void TFrmDespesa::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TFrmDespesa::reload() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    CdsDespesa_.close();
    try {
        dm_.Conexao.open(CdsDespesa_, kQuery);
        RecordSet::Source src = CdsDespesa_.source();
        src.updateTable = DspDespesaGetTableName();
        CdsDespesa_.setSource(std::move(src));
    } catch (const std::exception& e) {
        CdsDespesa_.close();
        showError(QString::fromUtf8(e.what()));
    }
    if (CdsDespesa_.active()) CdsDespesa_.first();
    model_->setRecordSet(&CdsDespesa_);
    DBGrid1->resizeColumnsToContents();
    // Room to type a code into a column that is still empty.
    DBGrid1->setColumnWidth(ColBalcoTce, std::max(DBGrid1->columnWidth(ColBalcoTce), 130));
    DBGrid1->followCursor();
}

void TFrmDespesa::setEditMode(bool on) {
    editMode_ = on;
    Fechar->setText(on ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(on ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
    // Without the table (the query failed) there is nothing to change.
    Alterar->setEnabled(!on && CdsDespesa_.active());
    Confirmar->setEnabled(on);
    Pesquisa->setEnabled(on);
    DBGrid1->setEditing(on);
}

void TFrmDespesa::AlterarClick() {
    if (editMode_ || !CdsDespesa_.active()) return;
    setEditMode(true);
    pendingError_.clear();
    try {
        if (CdsDespesa_.recordCount() > 0) CdsDespesa_.edit();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
    DBGrid1->setFocus();
}

void TFrmDespesa::PesquisarClick() {
    if (!CdsDespesa_.active()) return;
    DBGrid1->finishEditing();
    const char* field = RadioButton1->isChecked()   ? "CATEC"
                        : RadioButton2->isChecked() ? "NOME"
                        : RadioButton3->isChecked() ? "BALCO_TCE"
                                                    : "FICHA";
    const QByteArray text = MaskEdit1->text().toUtf8();
    try {
        CdsDespesa_.locate(field, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                           LocateCaseInsensitive | LocatePartialKey);
    } catch (const std::exception& e) {
        // The pending row could not be posted: the cursor stays on it.
        showError(model_->errorText(e));
    }
    model_->refresh();
    DBGrid1->followCursor();
}

bool TFrmDespesa::FormKeyDown(int key) {
    if (key != Qt::Key_F1 || !Pesquisa->isEnabled()) return false;
    Pesquisa->click();
    return true;
}

void TFrmDespesa::PesquisaClick() {
    if (!editMode_ || !CdsDespesa_.active()) return;
    // A code being typed belongs to the row before the choice replaces it.
    DBGrid1->finishEditing();
    TFrmPesDespesa dialog(CdsDespesa_, ini_, sink_, this);
    dialog.exec();
    model_->refresh();
    DBGrid1->followCursor();
}

void TFrmDespesa::CdsDespesaAfterInsert() {
    if (CdsDespesa_.mode() == RecordSet::Mode::Insert) CdsDespesa_.cancel();
}

void TFrmDespesa::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid1->finishEditing();
    if (!pendingError_.isEmpty()) {
        // A typed value was refused: nothing is saved until the user sees why.
        showPendingError();
        DBGrid1->setFocus();
        return;
    }
    CdsDespesaAfterInsert();
    QString detail;
    try {
        dm_.saveChanges(CdsDespesa_);
    } catch (const std::exception& e) {
        // Already rolled back: the changes stay in the record set for another try.
        dm_.lastApplyErrors = dm_.lastApplyErrors != 0 ? dm_.lastApplyErrors : 1;
        detail = model_->errorText(e);
    }
    if (dm_.lastApplyErrors != 0) {
        if (detail.isEmpty()) {
            QStringList reasons;
            for (const auto& m : dm_.Conexao.lastApplyErrorMessages()) reasons << qs(m);
            detail = reasons.join(QStringLiteral("\n"));
        }
        if (CdsDespesa_.recordCount() > 0 && CdsDespesa_.mode() == RecordSet::Mode::Browse) {
            try {
                CdsDespesa_.edit();
            } catch (const std::exception&) {
            }
        }
        model_->refresh();
        DBGrid1->followCursor();
        showError(QStringLiteral("Erro ao Alterar as Informações!"), detail);
        DBGrid1->setFocus();
        return;
    }
    // Back to browse mode exactly as "Cancela&r" does.
    FecharClick();
    sink_.inform(this, QStringLiteral("Atenção"), QStringLiteral("Alteração efetuada com Sucesso!"));
}

void TFrmDespesa::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    DBGrid1->cancelEditing();
    if (CdsDespesa_.active()) CdsDespesa_.cancel();
    pendingError_.clear();
    reload();
    setEditMode(false);
}

void TFrmDespesa::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

CellStyle TFrmDespesa::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    CellStyle s = stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
    // Unmapped records in red; unlike the chart of accounts, not bold.
    const bool unmapped = model_->index(index.row(), ColBalcoTce).data().toString().trimmed().isEmpty();
    s.text = unmapped ? QColor(255, 0, 0) : QColor(Qt::black);
    s.bold = false;
    return s;
}

void TFrmDespesa::showError(const QString& text, const QString& detail) {
    sink_.show(this, MessageKind::Error, text, detail);
}

void TFrmDespesa::dataError(const QString& text) {
    // Shown once the grid has finished with its editor; a click on "&Confirmar" may come first.
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] { showPendingError(); });
}

void TFrmDespesa::showPendingError() {
    if (pendingError_.isEmpty()) return;
    const QString text = pendingError_;
    pendingError_.clear();
    showError(text);
}

}  // namespace tcese::screens
