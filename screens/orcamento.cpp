#include "screens/orcamento.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/messagesink.h"
#include "app/principal.h"
#include "engine/orcparams.h"
#include "screens/funcoes.h"

// The button icons live in the application library's resources.
static void loadScreenResources() {
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

std::vector<GridColumn> orcColumns() {
    std::vector<GridColumn> cols;
    // A text takes its declared width whatever width the file declares.
    for (const auto& f : orcParamFields())
        cols.push_back({std::string(f.name), QString::fromUtf8(f.title.data(), static_cast<qsizetype>(f.title.size())),
                        f.type == FieldType::String ? f.width : 0});
    return cols;
}

// The message of a failed file operation, always with the file's name in it.
QString fileMessage(const fs::path& file, const char* what, const char* action) {
    const QString text = QString::fromUtf8(what);
    const QString name = qs(file.string());
    if (text.contains(name)) return text;
    return QString::fromUtf8(action) + name + QStringLiteral(":\r") + text;
}

// The file's bytes; nullopt when it cannot be read.
std::optional<std::string> fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return out.str();
}

}  // namespace

TFrmOrcamento::TFrmOrcamento(app::TFrmPrincipalSE& owner)
    : TFrmOrcamento(owner.dataModule().Conexao, owner.iniFile(), owner.messageSink(), &owner) {}

TFrmOrcamento::TFrmOrcamento(Connection& db, fs::path iniFile, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), db_(db), ini_(std::move(iniFile)), sink_(sink) {
    loadScreenResources();
    build();
    setEditMode(false);
}

TFrmOrcamento::~TFrmOrcamento() {
    // The model must not look at the table while both go away.
    model_->setRecordSet(nullptr);
}

void TFrmOrcamento::build() {
    setObjectName(QStringLiteral("FrmOrcamento"));
    setWindowTitle(QStringLiteral("Orçamento"));
    setModal(true);
    resize(980, 260);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(8);

    pnTitulo = titlePanel(this, QStringLiteral("Parâmetros do Orçamento"));
    outer->addWidget(pnTitulo);

    model_ = new RecordSetModel(orcColumns(), this);
    connect(model_, &RecordSetModel::dataError, this, &TFrmOrcamento::dataError);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
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

    connect(Alterar, &QPushButton::clicked, this, &TFrmOrcamento::AlterarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmOrcamento::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmOrcamento::FecharClick);
}

void TFrmOrcamento::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFrmOrcamento::FormShow() {
    try {
        path_ = orcParamPath(ini_);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        setEditMode(false);
        return;
    }
    try {
        createOrcParamsIfMissing(db_, ini_);
        path_ = orcParamPath(ini_);
    } catch (const std::exception& e) {
        showError(fileMessage(path_, e.what(), "Não foi possível criar o arquivo "));
        setEditMode(false);
        return;
    }
    reload();
    setEditMode(false);
}

bool TFrmOrcamento::reload() {
    DBGrid1->cancelEditing();
    model_->setRecordSet(nullptr);
    bool ok = true;
    try {
        // Read before the load: a change in between shows as a change, never hides one.
        std::optional<std::string> bytes = fileBytes(path_);
        loadOrcParams(CdsOrcamento_, path_);
        loadedBytes_ = std::move(bytes);
        loadedRows_ = CdsOrcamento_.rows();
    } catch (const std::exception& e) {
        // The table keeps what it had: nothing typed is thrown away by a file that went missing.
        ok = false;
        showError(fileMessage(path_, e.what(), "Não foi possível ler o arquivo "));
    }
    if (CdsOrcamento_.active()) CdsOrcamento_.first();
    model_->setRecordSet(&CdsOrcamento_);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->followCursor();
    return ok;
}

void TFrmOrcamento::setEditMode(bool on) {
    editMode_ = on;
    Fechar->setText(on ? QStringLiteral("Cancela&r") : QStringLiteral("Fecha&r"));
    Fechar->setIcon(QIcon(on ? QStringLiteral(":/icons/cancelar.png") : QStringLiteral(":/icons/fechar.png")));
    // Without a table (the file could not be read) there is nothing to change.
    Alterar->setEnabled(!on && CdsOrcamento_.active());
    Confirmar->setEnabled(on);
    DBGrid1->setEditing(on);
}

void TFrmOrcamento::AlterarClick() {
    if (editMode_ || !CdsOrcamento_.active()) return;
    setEditMode(true);
    pendingError_.clear();
    try {
        // An empty file gets its row here.
        if (CdsOrcamento_.recordCount() == 0) {
            CdsOrcamento_.append();
        } else {
            CdsOrcamento_.edit();
        }
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
    DBGrid1->setFocus();
}

void TFrmOrcamento::ConfirmarClick() {
    if (!editMode_) return;
    DBGrid1->finishEditing();
    if (!pendingError_.isEmpty()) {
        // A typed value was refused: nothing is saved until the user sees why.
        showPendingError();
        DBGrid1->setFocus();
        return;
    }
    // A value wider than its field (one the file was created with) is never saved cut,
    // and a character the export cannot write is refused here, not at the export.
    if (const QString refused = model_->valueError(false); !refused.isEmpty()) {
        showError(refused);
        DBGrid1->setFocus();
        return;
    }
    if (!fileUnchanged()) {
        DBGrid1->setFocus();
        return;
    }
    model_->setRecordSet(nullptr);
    try {
        saveOrcParams(CdsOrcamento_, path_);
    } catch (const RecordSetError& e) {
        // A required field left empty: still editing, the file as it was.
        model_->setRecordSet(&CdsOrcamento_);
        DBGrid1->followCursor();
        showError(model_->errorText(e));
        DBGrid1->setFocus();
        return;
    } catch (const std::exception& e) {
        model_->setRecordSet(&CdsOrcamento_);
        DBGrid1->followCursor();
        showError(fileMessage(path_, e.what(), "Não foi possível gravar o arquivo "));
        DBGrid1->setFocus();
        return;
    }
    std::error_code ec;
    if (fs::exists(path_, ec)) reload();
    sink_.show(this, MessageKind::Info, QStringLiteral("Arquivo Salvo com Sucesso!"));
    // Leaves edit mode the way "Cancela&r" does; the row is already in the file.
    FecharClick();
}

bool TFrmOrcamento::fileUnchanged() {
    // Two workstations share the data folder: the last save must not win silently.
    if (fileBytes(path_) == loadedBytes_) return true;
    const QString name = qs(path_.filename().string());
    if (!sink_.ask(this, QStringLiteral("Atenção"),
                   QStringLiteral("O arquivo %1 foi alterado por outro usuário depois que esta tela o leu; "
                                  "gravar agora desfaria a alteração dele, por isso nada foi gravado.\r\r"
                                  "Deseja recarregar o arquivo? O que você digitou será posto de novo sobre ele, "
                                  "para conferir e confirmar outra vez.")
                       .arg(name)))
        return false;

    // What the user typed: the fields of the current row that differ from the file as loaded.
    const int row = CdsOrcamento_.mode() == RecordSet::Mode::Insert ? -1 : CdsOrcamento_.recNo() - 1;
    std::vector<std::pair<std::string, Value>> typed;
    if (CdsOrcamento_.active()) {
        for (int c = 0; c < CdsOrcamento_.fieldCount(); ++c) {
            const Value& now = CdsOrcamento_.field(c).value();
            const bool wasLoaded = row >= 0 && row < static_cast<int>(loadedRows_.size());
            const Value before = wasLoaded ? loadedRows_[static_cast<std::size_t>(row)].values[static_cast<std::size_t>(c)] : Value{};
            if (now != before) typed.emplace_back(CdsOrcamento_.fields()[static_cast<std::size_t>(c)].name, now);
        }
    }
    DBGrid1->cancelEditing();
    CdsOrcamento_.cancel();
    if (!reload()) return false;
    try {
        if (CdsOrcamento_.recordCount() == 0) {
            CdsOrcamento_.append();
        } else {
            CdsOrcamento_.setRecNo(std::clamp(row + 1, 1, CdsOrcamento_.recordCount()));
            CdsOrcamento_.edit();
        }
        for (const auto& [field, value] : typed)
            if (CdsOrcamento_.fieldIndex(field) >= 0) CdsOrcamento_.field(field).setValue(value);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    model_->refresh();
    DBGrid1->followCursor();
    return false;
}

void TFrmOrcamento::FecharClick() {
    if (!editMode_) {
        QDialog::reject();
        return;
    }
    DBGrid1->cancelEditing();
    CdsOrcamento_.cancel();
    pendingError_.clear();
    reload();
    setEditMode(false);
}

void TFrmOrcamento::reject() {
    if (editMode_) {
        FecharClick();
        return;
    }
    QDialog::reject();
}

CellStyle TFrmOrcamento::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    return stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
}

void TFrmOrcamento::showError(const QString& text) { sink_.show(this, MessageKind::Error, text); }

void TFrmOrcamento::dataError(const QString& text) {
    // Shown once the grid has finished with its editor; a click on "&Confirmar" may come first.
    pendingError_ = text;
    QTimer::singleShot(0, this, [this] { showPendingError(); });
}

void TFrmOrcamento::showPendingError() {
    if (pendingError_.isEmpty()) return;
    const QString text = pendingError_;
    pendingError_.clear();
    showError(text);
}

}  // namespace tcese::screens
