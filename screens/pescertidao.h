#pragma once
// The certificate types: a fixed list whose chosen item text goes into CERTDISP.TIPO
// (the export reads its first two characters).
#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

namespace tcese::screens {

class TFrmPesCert : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPesCert(QWidget* parent = nullptr);

    static QStringList items();
    // The chosen item's whole text.
    QString value() const;

    void ConfirmarClick();
    void FecharClick();

    QComboBox* ComboBox1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;
};

}  // namespace tcese::screens
