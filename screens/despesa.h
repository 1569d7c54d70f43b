#pragma once
// The expense-element mapping screen: every appropriation record (ficha) of DESDIS
// gets the court's expense code in BALCO_TCE, typed or picked in TFrmPesDespesa.
#include <QDialog>

#include <filesystem>

#include "data/datamodule.h"
#include "screens/recordsetmodel.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class TFrmDespesa : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kQuery =
        "SELECT A.ficha, A.CATEC, B.NOME, A.BALCO_TCE\n"
        "FROM DESDIS A\n"
        "INNER JOIN TABCATEC B ON B.CATEC = A.catec AND A.CATEC IS NOT NULL\n"
        "ORDER BY A.CATEC,A.FICHA ASCENDING";

    explicit TFrmDespesa(app::TFrmPrincipalSE& owner);
    TFrmDespesa(DataModule& dm, std::filesystem::path iniFile, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmDespesa() override;

    void FormShow();
    void FormClose();
    void AlterarClick();
    void ConfirmarClick();
    void FecharClick();
    void PesquisaClick();
    void PesquisarClick();
    // F1 presses "Pesquisar (F1)" while it is enabled; true when the key was used.
    bool FormKeyDown(int key);
    void CdsDespesaAfterInsert();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;
    // The table that receives the record set's changes; NOME (of TABCATEC) is never
    // written nor used to find a row.
    static const char* DspDespesaGetTableName() { return "DESDIS"; }

    bool editMode() const { return editMode_; }
    RecordSet& displayed() { return CdsDespesa_; }
    RecordSetModel* gridModel() const { return model_; }

    QLabel* pnTitulo = nullptr;
    QPushButton* Alterar = nullptr;
    QPushButton* Pesquisa = nullptr;  // "Pesquisar (F1)"
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Catec"
    QRadioButton* RadioButton2 = nullptr;  // "Descrição"
    QRadioButton* RadioButton3 = nullptr;  // "Cód. Despesa TCE"
    QRadioButton* RadioButton4 = nullptr;  // "Ficha"
    QPushButton* Pesquisar = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    // Escape and the close box cancel an edit like "Cancela&r"; in browse mode they close.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void reload();
    void setEditMode(bool on);
    void showError(const QString& text, const QString& detail = {});
    void dataError(const QString& text);
    void showPendingError();

    DataModule& dm_;
    std::filesystem::path ini_;
    app::MessageSink& sink_;
    RecordSet CdsDespesa_{"CdsDespesa"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
    bool editMode_ = false;
    QString pendingError_;  // a cell value the record refused, not yet shown
};

}  // namespace tcese::screens
