#pragma once
// The lookup in the court's chart of accounts (PLANO_CONTAS_SE.XML): the chosen
// account's sequential number goes into SEQ_TCE of the mapping screen's current row.
#include <QDialog>

#include <filesystem>

#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tcese::app {
class MessageSink;
}

namespace tcese::screens {

// Letters typed into `edit` become upper case, as in the screens' search boxes.
void setUpperCase(QLineEdit* edit);

class TFrmPesConta : public QDialog {
    Q_OBJECT
public:
    // `plano`: the mapping screen's CONPLA record set, which receives the choice.
    TFrmPesConta(RecordSet& plano, std::filesystem::path iniFile, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmPesConta() override;

    // Loads the court table; false (after showing why) when it cannot be read.
    bool FormShow();
    void PesquisarClick();
    void ConfirmarClick();
    void FecharClick();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;

    RecordSet& courtTable() { return CdsPes_; }
    RecordSetModel* gridModel() const { return model_; }

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Sequência"
    QRadioButton* RadioButton2 = nullptr;  // "Cód. Conta"
    QRadioButton* RadioButton3 = nullptr;  // "Descrição"
    QPushButton* Pesquisar = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();

    RecordSet& plano_;
    std::filesystem::path ini_;
    app::MessageSink& sink_;
    RecordSet CdsPes_{"CdsPes"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
};

}  // namespace tcese::screens
