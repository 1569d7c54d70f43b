#pragma once
// The chart-of-accounts mapping screen: every CONPLA account gets the court's
// account (SEQ_TCE, picked in TFrmPesConta) and its parent account (CODIGO_TCE).
#include <QDialog>

#include <filesystem>

#include "data/datamodule.h"
#include "screens/recordsetmodel.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class TFrmPlano : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPlano(app::TFrmPrincipalSE& owner);
    TFrmPlano(DataModule& dm, std::filesystem::path iniFile, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmPlano() override;

    void FormShow();
    void AlterarClick();
    void ConfirmarClick();
    void FecharClick();
    void PesquisaClick();
    void PesquisarClick();
    // F1 presses "Pesquisar (F1)" while it is enabled; true when the key was used.
    bool FormKeyDown(int key);
    void CdsPlanoAfterInsert();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;
    // The table that receives the record set's changes.
    static const char* DspPlanoGetTableName() { return "CONPLA"; }

    bool editMode() const { return editMode_; }
    RecordSet& displayed() { return CdsPlano_; }
    RecordSetModel* gridModel() const { return model_; }
    const std::filesystem::path& iniFile() const { return ini_; }

    QLabel* pnTitulo = nullptr;
    QPushButton* Alterar = nullptr;
    QPushButton* Pesquisa = nullptr;  // "Pesquisar (F1)"
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Conta"
    QRadioButton* RadioButton2 = nullptr;  // "Descrição"
    QPushButton* Pesquisar = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    // Escape and the close box cancel an edit like "Cancela&r"; in browse mode they close.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void reload();
    void setEditMode(bool on);
    void showError(const QString& text);
    void dataError(const QString& text);

    DataModule& dm_;
    std::filesystem::path ini_;
    app::MessageSink& sink_;
    RecordSet CdsPlano_{"CdsPlano"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
    bool editMode_ = false;
    QString pendingError_;  // a cell value the record refused
};

}  // namespace tcese::screens
