#pragma once
// The shared shape of the search dialogs that pick one row of a table of the
// accounting database: an upper-case search box, three radio buttons choosing
// the column, the result grid and Confirmar / Fechar. What the user types is
// bound as a parameter, so a quote in a name is just a character.
#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "data/datamodule.h"
#include "screens/recordsetmodel.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tcese::app {
class MessageSink;
}

namespace tcese::screens {

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    struct Search {
        QString caption;     // of the radio button
        std::string column;  // compared with the typed text
        bool prefix;         // LIKE text% instead of equality
    };
    struct Definition {
        const char* objectName;
        QString caption;
        std::string table;
        std::string orderBy;  // column of the ordering
        std::array<Search, 3> searches;
        std::vector<GridColumn> columns;
        std::string returned;  // the column handed back
    };

    SearchDialog(Definition def, DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
    ~SearchDialog() override;

    // Closes and reopens the result set with every row of the table.
    void FormShow();
    void PesquisarClick();
    void ConfirmarClick();
    void FecharClick();
    void DBGrid1DblClick();

    // The returned column of the current row; empty when the grid has no rows.
    QString value();
    // The statement and parameters of the last search, for the record.
    RecordSet& CdsPes() { return CdsPes_; }
    RecordSetModel* gridModel() const { return model_; }
    const Definition& definition() const { return def_; }

    QLineEdit* PES = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QPushButton* Pesquisar = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();
    void run(const std::string& sql, const std::vector<Value>& params);

    Definition def_;
    DataModule& dm_;
    app::MessageSink& sink_;
    RecordSet CdsPes_{"CdsPes"};
    RecordSetModel* model_ = nullptr;
    bool shown_ = false;
};

}  // namespace tcese::screens
