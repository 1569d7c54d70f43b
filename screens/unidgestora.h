#pragma once
// The managing-unit screen: the register data of every entity in TABEMPRESA
// (CNPJ, address, telephones, subtype and the court's code CODAUDESP), edited in
// a grid and written back row by row.
#include <QDialog>

#include <string>

#include "data/datamodule.h"
#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QLabel;
class QPushButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class TFrmUnidGestora : public QDialog {
    Q_OBJECT
public:
    // Opened from the main window: its data module and message boxes.
    explicit TFrmUnidGestora(app::TFrmPrincipalSE& owner);
    TFrmUnidGestora(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmUnidGestora() override;

    static constexpr const char* kQuery = "SELECT * FROM TABEMPRESA ORDER BY NOME ASCENDING";

    void FormShow();
    void FormClose();
    void AlterarClick();
    void ConfirmarClick();
    void FecharClick();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;
    // The table that receives the record set's changes.
    static std::string DspEntidadeGetTableName() { return "TABEMPRESA"; }

    bool editMode() const { return editMode_; }
    RecordSet& entidades() { return CdsEntidade_; }
    RecordSetModel* gridModel() const { return model_; }

    QLabel* pnTitulo = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Alterar = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    // Escape and the close box cancel an edit like "Cancela&r"; in browse mode they close.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();
    void setEditMode(bool on);
    void showError(const QString& text, const QString& detail = {});
    void dataError(const QString& text);
    void showPendingError();

    DataModule& dm_;
    app::MessageSink& sink_;
    RecordSet CdsEntidade_{"CdsEntidade"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
    bool editMode_ = false;
    QString pendingError_;  // a cell value the record refused, not yet shown
};

}  // namespace tcese::screens
