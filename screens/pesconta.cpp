#include "screens/pesconta.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>

#include "app/messagesink.h"
#include "engine/courttables.h"
#include "screens/funcoes.h"

namespace tcese::screens {

namespace fs = std::filesystem;

namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

std::vector<GridColumn> pesColumns() {
    return {{"nu_SequencialTC", QStringLiteral("Cód. Conta")},
            {"cd_ContaTC", QStringLiteral("Conta")},
            {"de_ContaTC", QStringLiteral("Título")},
            {"dt_AnoAtivacao", QStringLiteral("Ano Ativ.")},
            {"dt_AnoDesativacao", QStringLiteral("Ano Desat.")}};
}

}  // namespace

void setUpperCase(QLineEdit* edit) { edit->setValidator(new UpperCaseValidator(edit)); }

TFrmPesConta::TFrmPesConta(RecordSet& plano, fs::path iniFile, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), plano_(plano), ini_(std::move(iniFile)), sink_(sink) {
    build();
}

TFrmPesConta::~TFrmPesConta() { model_->setRecordSet(nullptr); }

void TFrmPesConta::build() {
    setObjectName(QStringLiteral("FrmPesConta"));
    setWindowTitle(QStringLiteral("Pesquisa Elenco de Contas do TCE/SE"));
    setModal(true);
    resize(820, 480);

    auto* outer = new QVBoxLayout(this);

    GroupBox1 = new QGroupBox(QStringLiteral("Consulta Plano"), this);
    auto* search = new QHBoxLayout(GroupBox1);
    MaskEdit1 = new QLineEdit(GroupBox1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    setUpperCase(MaskEdit1);
    RadioButton1 = new QRadioButton(QStringLiteral("Sequência"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("Cód. Conta"), GroupBox1);
    RadioButton3 = new QRadioButton(QStringLiteral("Descrição"), GroupBox1);
    RadioButton1->setChecked(true);
    Pesquisar = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), QString(), GroupBox1);
    Pesquisar->setObjectName(QStringLiteral("Pesquisar"));
    Pesquisar->setAutoDefault(false);
    search->addWidget(MaskEdit1, 1);
    search->addWidget(RadioButton1);
    search->addWidget(RadioButton2);
    search->addWidget(RadioButton3);
    search->addWidget(Pesquisar);
    outer->addWidget(GroupBox1);

    model_ = new RecordSetModel(pesColumns(), this);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
    DBGrid1->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    outer->addWidget(DBGrid1, 1);

    auto button = [this](const char* name, const char* caption, const QIcon& icon) {
        return actionButton(this, name, QString::fromUtf8(caption), icon);
    };
    Confirmar = button("Confirmar", "&Confirmar", style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = button("Fechar", "Cancela&r", QIcon(QStringLiteral(":/icons/cancelar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Pesquisar, &QPushButton::clicked, this, &TFrmPesConta::PesquisarClick);
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TFrmPesConta::PesquisarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmPesConta::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmPesConta::FecharClick);
}

void TFrmPesConta::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_) return;
    shown_ = true;
    // Without the table there is nothing to choose: the dialog goes away once shown.
    if (!FormShow()) QTimer::singleShot(0, this, [this] { QDialog::reject(); });
}

bool TFrmPesConta::FormShow() {
    model_->setRecordSet(nullptr);
    try {
        loadCourtTable(CdsPes_, ini_, kPlanoContasTable);
        for (const auto& col : pesColumns())
            if (CdsPes_.fieldIndex(col.field) < 0)
                throw RecordSetError("O arquivo " + courtTablePath(ini_, kPlanoContasTable).string() +
                                     " não tem o campo " + col.field);
    } catch (const std::exception& e) {
        CdsPes_.close();
        sink_.show(this, MessageKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
    CdsPes_.first();
    model_->setRecordSet(&CdsPes_);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->followCursor();
    return true;
}

void TFrmPesConta::PesquisarClick() {
    if (!CdsPes_.active()) return;
    const char* field = RadioButton2->isChecked()   ? "cd_ContaTC"
                        : RadioButton3->isChecked() ? "de_ContaTC"
                                                    : "nu_SequencialTC";
    const QByteArray text = MaskEdit1->text().toUtf8();
    if (CdsPes_.locate(field, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                       LocateCaseInsensitive | LocatePartialKey))
        DBGrid1->followCursor();
}

void TFrmPesConta::ConfirmarClick() {
    if (CdsPes_.active() && CdsPes_.recordCount() > 0 && plano_.active() && plano_.recordCount() > 0) {
        try {
            if (plano_.mode() == RecordSet::Mode::Browse) plano_.edit();
            plano_.field("SEQ_TCE").setAsString(CdsPes_.field("nu_SequencialTC").asString());
            plano_.post();
            plano_.edit();
        } catch (const std::exception& e) {
            // The row keeps what it had and stays in edit mode; the message says why.
            sink_.show(this, MessageKind::Error, QString::fromUtf8(e.what()));
            return;
        }
    }
    accept();
}

void TFrmPesConta::FecharClick() { reject(); }

CellStyle TFrmPesConta::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    CellStyle s = stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
    const QString desat = model_->index(index.row(), 4).data().toString().trimmed();
    s.text = desat.isEmpty() ? QColor(Qt::black) : QColor(255, 0, 0);
    s.bold = !desat.isEmpty();
    return s;
}

}  // namespace tcese::screens
