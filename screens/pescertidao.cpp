#include "screens/pescertidao.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "screens/funcoes.h"

namespace tcese::screens {

QStringList TFrmPesCert::items() {
    return {QStringLiteral("01 - INSS"),
            QStringLiteral("02 - FGTS"),
            QStringLiteral("03 - PIS/PASEP"),
            QStringLiteral("04 - IPES"),
            QStringLiteral("05 - FAZENDA FEDERAL"),
            QStringLiteral("06 - FAZENDA ESTADUAL"),
            QStringLiteral("07 - FAZENDA MUNICIPAL"),
            QString::fromUtf8("99 - OUTRAS CERTIDÕES")};
}

TFrmPesCert::TFrmPesCert(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPesCert"));
    setWindowTitle(QString::fromUtf8("Opções de Certidão"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(QStringLiteral("Tipo de Certidão"), this));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->addItems(items());
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setMinimumWidth(280);
    outer->addWidget(ComboBox1);

    Confirmar = actionButton(this, "Confirmar", QStringLiteral("&Confirmar"),
                             style()->standardIcon(QStyle::SP_DialogApplyButton));
    Fechar = actionButton(this, "Fechar", QStringLiteral("Fecha&r"), QIcon(QStringLiteral(":/icons/fechar.png")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirmar);
    buttons->addWidget(Fechar);
    outer->addLayout(buttons);
    connect(Confirmar, &QPushButton::clicked, this, &TFrmPesCert::ConfirmarClick);
    connect(Fechar, &QPushButton::clicked, this, &TFrmPesCert::FecharClick);
}

QString TFrmPesCert::value() const { return ComboBox1->currentText(); }

void TFrmPesCert::ConfirmarClick() { accept(); }

void TFrmPesCert::FecharClick() { reject(); }

}  // namespace tcese::screens
