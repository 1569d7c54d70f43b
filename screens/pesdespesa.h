#pragma once
// The lookup in the court's expense table (DESPESA_TCESE.XML): the chosen code goes
// into BALCO_TCE of the mapping screen's current row; a deactivated code asks first.
#include <QDialog>

#include <filesystem>

#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tcese::app {
class MessageSink;
}

namespace tcese::screens {

class TFrmPesDespesa : public QDialog {
    Q_OBJECT
public:
    // `despesa`: the mapping screen's DESDIS record set, which receives the choice.
    TFrmPesDespesa(RecordSet& despesa, std::filesystem::path iniFile, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmPesDespesa() override;

    // Loads the court table; false (after showing why) when it cannot be read or
    // lacks one of the fields the grid shows.
    bool FormShow();
    void PesquisarClick();
    void ConfirmarClick();
    void FecharClick();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;

    RecordSet& courtTable() { return CdsPes_; }
    RecordSetModel* gridModel() const { return model_; }

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Cód. Despesa TCE/SE"
    QRadioButton* RadioButton2 = nullptr;  // "Descrição"
    QPushButton* Pesquisar = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();

    RecordSet& despesa_;
    std::filesystem::path ini_;
    app::MessageSink& sink_;
    RecordSet CdsPes_{"CdsPes"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
};

}  // namespace tcese::screens
