#include "screens/pesquisa.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "app/messagesink.h"
#include "screens/funcoes.h"
#include "screens/pesconta.h"

namespace tcese::screens {

namespace {
QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

SearchDialog::SearchDialog(Definition def, DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : QDialog(parent), def_(std::move(def)), dm_(dm), sink_(sink) {
    build();
}

SearchDialog::~SearchDialog() { model_->setRecordSet(nullptr); }

void SearchDialog::build() {
    setObjectName(QString::fromLatin1(def_.objectName));
    setWindowTitle(def_.caption);
    setModal(true);
    resize(720, 440);

    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Pesquisa"), this);
    auto* search = new QHBoxLayout(box);
    PES = new QLineEdit(box);
    PES->setObjectName(QStringLiteral("PES"));
    setUpperCase(PES);
    search->addWidget(PES, 1);
    QRadioButton** radios[] = {&RadioButton1, &RadioButton2, &RadioButton3};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(def_.searches[static_cast<std::size_t>(i)].caption, box);
        r->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        search->addWidget(r);
        *radios[i] = r;
    }
    RadioButton1->setChecked(true);
    Pesquisar = actionButton(box, "Pesquisar", QStringLiteral("&Pesquisar"),
                             style()->standardIcon(QStyle::SP_FileDialogContentsView), 0);
    search->addWidget(Pesquisar);
    outer->addWidget(box);

    model_ = new RecordSetModel(def_.columns, this);
    DBGrid1 = new RecordSetView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setRecordSetModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->delegate()->setDrawColumnCell([this](const QModelIndex& index, CellState state) {
        return stripedCellStyle(index.row() + 1, state, DBGrid1->palette().color(QPalette::Base));
    });
    DBGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    outer->addWidget(DBGrid1, 1);

    Confirmar = actionButton(this, "Confirmar", QStringLiteral("&Confirmar"),
                             style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = actionButton(this, "Fechar", QStringLiteral("Fecha&r"), QIcon(QStringLiteral(":/icons/fechar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);

    connect(Pesquisar, &QPushButton::clicked, this, &SearchDialog::PesquisarClick);
    connect(PES, &QLineEdit::returnPressed, this, &SearchDialog::PesquisarClick);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &SearchDialog::DBGrid1DblClick);
    connect(Confirmar, &QPushButton::clicked, this, &SearchDialog::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &SearchDialog::FecharClick);
}

void SearchDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_) return;
    shown_ = true;
    FormShow();
    PES->setFocus();
}

void SearchDialog::run(const std::string& sql, const std::vector<Value>& params) {
    model_->setRecordSet(nullptr);
    CdsPes_.close();
    try {
        dm_.Conexao.open(CdsPes_, sql, params);
    } catch (const std::exception& e) {
        // A code search with letters: the grid stays empty until a search succeeds.
        CdsPes_.close();
        sink_.show(this, MessageKind::Error, QString::fromUtf8(e.what()));
    }
    model_->setRecordSet(CdsPes_.active() ? &CdsPes_ : nullptr);
    DBGrid1->resizeColumnsToContents();
    DBGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    DBGrid1->followCursor();
}

void SearchDialog::FormShow() {
    run("SELECT * FROM " + def_.table + " ORDER BY " + def_.orderBy + " ASCENDING", {});
}

void SearchDialog::PesquisarClick() {
    const QRadioButton* radios[] = {RadioButton1, RadioButton2, RadioButton3};
    std::string condition;
    std::vector<Value> params;
    const std::string text = PES->text().toStdString();
    for (std::size_t i = 0; i < 3; ++i) {
        if (!radios[i]->isChecked()) continue;
        const Search& s = def_.searches[i];
        condition = " WHERE " + s.column + (s.prefix ? " LIKE ?" : " = ?");
        params = {Value(s.prefix ? text + "%" : text)};
    }
    run("SELECT * FROM " + def_.table + condition + " ORDER BY " + def_.orderBy + " ASCENDING", params);
}

QString SearchDialog::value() {
    if (!CdsPes_.active() || CdsPes_.recordCount() == 0) return {};
    return qs(CdsPes_.field(def_.returned).asString());
}

void SearchDialog::ConfirmarClick() { accept(); }

void SearchDialog::FecharClick() { reject(); }

void SearchDialog::DBGrid1DblClick() { Confirmar->click(); }

}  // namespace tcese::screens
