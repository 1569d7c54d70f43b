#include "screens/pesdespesa.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "app/messagesink.h"
#include "engine/courttables.h"
#include "screens/funcoes.h"
#include "screens/pesconta.h"

namespace tcese::screens {

namespace fs = std::filesystem;

namespace {

enum Column { ColCodre, ColNomre, ColAtiva, ColDesativa, ColSituacao, ColRedutor };

std::vector<GridColumn> pesColumns() {
    return {{"CODRE", QStringLiteral("Cód.Despesa")},         {"NOMRE", QStringLiteral("Descrição Despesa")},
            {"ANO_ATIVA", QStringLiteral("Ano Ativa")},       {"ANO_DESATIVA", QStringLiteral("Ano Desativa")},
            {"SITUACAO_ITEM", QStringLiteral("Situação")}, {"REDUTOR", QStringLiteral("Redutor")}};
}

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TFrmPesDespesa::TFrmPesDespesa(RecordSet& despesa, fs::path iniFile, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), despesa_(despesa), ini_(std::move(iniFile)), sink_(sink) {
    build();
}

TFrmPesDespesa::~TFrmPesDespesa() { model_->setRecordSet(nullptr); }

void TFrmPesDespesa::build() {
    setObjectName(QStringLiteral("FrmPesDespesa"));
    setWindowTitle(QStringLiteral("Pesquisa Despesa TCE/SE"));
    setModal(true);
    resize(860, 500);

    auto* outer = new QVBoxLayout(this);

    GroupBox1 = new QGroupBox(QStringLiteral("Consulta Despesa"), this);
    auto* search = new QHBoxLayout(GroupBox1);
    MaskEdit1 = new QLineEdit(GroupBox1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    setUpperCase(MaskEdit1);
    RadioButton1 = new QRadioButton(QStringLiteral("Cód. Despesa TCE/SE"), GroupBox1);
    RadioButton2 = new QRadioButton(QStringLiteral("Descrição"), GroupBox1);
    RadioButton1->setChecked(true);
    Pesquisar = actionButton(GroupBox1, "Pesquisar", QString(), style()->standardIcon(QStyle::SP_FileDialogContentsView), 0);
    search->addWidget(MaskEdit1, 1);
    search->addWidget(RadioButton1);
    search->addWidget(RadioButton2);
    search->addWidget(Pesquisar);
    outer->addWidget(GroupBox1);

    model_ = new RecordSetModel(pesColumns(), this);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->delegate()->setDrawColumnCell(
        [this](const QModelIndex& index, CellState state) { return DBGrid1DrawColumnCell(index, state); });
    DBGrid1->horizontalHeader()->setSectionResizeMode(ColNomre, QHeaderView::Stretch);
    outer->addWidget(DBGrid1, 1);

    Confirmar = actionButton(this, "Confirmar", QStringLiteral("&Confirmar"), style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = actionButton(this, "Fechar", QStringLiteral("Cancela&r"), QIcon(QStringLiteral(":/icons/cancelar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Pesquisar, &QPushButton::clicked, this, &TFrmPesDespesa::PesquisarClick);
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TFrmPesDespesa::PesquisarClick);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmPesDespesa::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmPesDespesa::FecharClick);
}

void TFrmPesDespesa::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_) return;
    shown_ = true;
    // Without the table there is nothing to choose: the dialog goes away once shown.
    if (!FormShow()) QTimer::singleShot(0, this, [this] { QDialog::reject(); });
}

bool TFrmPesDespesa::FormShow() {
    model_->setRecordSet(nullptr);
    try {
        loadCourtTable(CdsPes_, ini_, kDespesaTable);
        for (const auto& col : pesColumns())
            if (CdsPes_.fieldIndex(col.field) < 0)
                throw RecordSetError("O arquivo " + courtTablePath(ini_, kDespesaTable).string() + " não tem o campo " +
                                     col.field);
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

void TFrmPesDespesa::PesquisarClick() {
    if (!CdsPes_.active()) return;
    const char* field = RadioButton2->isChecked() ? "NOMRE" : "CODRE";
    const QByteArray text = MaskEdit1->text().toUtf8();
    if (CdsPes_.locate(field, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                       LocateCaseInsensitive | LocatePartialKey))
        DBGrid1->followCursor();
}

void TFrmPesDespesa::ConfirmarClick() {
    if (!CdsPes_.active() || CdsPes_.recordCount() == 0) {
        accept();
        return;
    }
    const std::string code = CdsPes_.field("CODRE").asString();
    const QString deactivated = qs(CdsPes_.field("ANO_DESATIVA").asString()).trimmed();
    if (!deactivated.isEmpty() &&
        !sink_.ask(this, QStringLiteral("Atenção"),
                   QStringLiteral("O Código da Despesa ") + qs(code) + QStringLiteral(" foi desativada em ") +
                       qs(CdsPes_.field("ANO_DESATIVA").asString()) + QStringLiteral(" !\rDeseja Continuar?")))
        return;
    if (despesa_.active() && despesa_.recordCount() > 0) {
        try {
            if (despesa_.mode() == RecordSet::Mode::Browse) despesa_.edit();
            // Left in edit mode: the next move or "&Confirmar" posts it.
            despesa_.field("BALCO_TCE").setAsString(code);
        } catch (const std::exception& e) {
            sink_.show(this, MessageKind::Error, QString::fromUtf8(e.what()));
            return;
        }
    }
    accept();
}

void TFrmPesDespesa::FecharClick() { reject(); }

CellStyle TFrmPesDespesa::DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const {
    CellStyle s = stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
    const bool deactivated = !model_->index(index.row(), ColDesativa).data().toString().trimmed().isEmpty();
    s.text = deactivated ? QColor(255, 0, 0) : QColor(Qt::black);
    s.bold = deactivated;
    return s;
}

}  // namespace tcese::screens
