#pragma once
// The budget parameters screen: the year's ORC_TCE_SE.XML in a one-row grid,
// created from PARAMORC on first opening, edited and saved back.
#include <QDialog>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/connection.h"
#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QLabel;
class QPushButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class TFrmOrcamento : public QDialog {
    Q_OBJECT
public:
    // Opened from the main window: its connection, settings file and message boxes.
    explicit TFrmOrcamento(app::TFrmPrincipalSE& owner);
    TFrmOrcamento(Connection& db, std::filesystem::path iniFile, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmOrcamento() override;

    void FormShow();
    void AlterarClick();
    void ConfirmarClick();
    void FecharClick();
    CellStyle DBGrid1DrawColumnCell(const QModelIndex& index, CellState state) const;

    bool editMode() const { return editMode_; }
    const std::filesystem::path& paramFile() const { return path_; }
    RecordSet& displayed() { return CdsOrcamento_; }
    RecordSetModel* gridModel() const { return model_; }

    QLabel* pnTitulo = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Alterar = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    // Escape and the window's close box: in edit mode they cancel the edit like
    // "Cancela&r" and the screen stays open; in browse mode they close it.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();
    bool reload();
    void setEditMode(bool on);
    void showError(const QString& text);
    void dataError(const QString& text);
    void showPendingError();
    // True when the file still holds what the screen loaded; otherwise asks whether to
    // reload it, and on yes reloads it and puts the typed changes back on top.
    bool fileUnchanged();

    Connection& db_;
    std::filesystem::path ini_;
    app::MessageSink& sink_;
    std::filesystem::path path_;
    RecordSet CdsOrcamento_{"CdsOrcamento"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
    bool editMode_ = false;
    QString pendingError_;  // a cell value the record refused, not yet shown
    // The file's bytes when the table was loaded (nullopt: it could not be read), and
    // the rows as loaded, to tell what the user typed from what the file held.
    std::optional<std::string> loadedBytes_;
    std::vector<RecordSet::Row> loadedRows_;
};

}  // namespace tcese::screens
