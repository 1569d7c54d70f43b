#pragma once
// The register of the commissions that conduct biddings, waivers and
// non-requirements (COMISSAO) with their members (MEMBROS).
#include <QDialog>

#include <vector>

#include "data/datamodule.h"
#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class DateBox;

class TFrmComissao : public QDialog {
    Q_OBJECT
public:
    explicit TFrmComissao(app::TFrmPrincipalSE& owner);
    TFrmComissao(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmComissao() override;

    static QStringList tipos();

    void FormShow();
    void BTNINCLUIRClick();
    void btnAlterarClick();
    void ConfirmarClick();
    void FecharClick();
    void BtnexcluirClick();
    // After a click or a key in the commission list: its members and type.
    void DBGrid1CellClick();
    void ExcluirMembro1Click();
    bool DBEdit1KeyDown(QWidget* field, int key);

    bool editMode() const { return editMode_; }
    RecordSet& CdsCom() { return CdsCom_; }
    RecordSet& cdsMem() { return cdsMem_; }
    RecordSetModel* comModel() const { return comModel_; }
    RecordSetModel* memModel() const { return memModel_; }
    const std::vector<QWidget*>& fieldOrder() const { return order_; }

    QLabel* pnTitulo = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QLineEdit* edtCodigo = nullptr;
    QLineEdit* DBEdit2 = nullptr;  // "Portaria"
    DateBox* edtData = nullptr;
    QComboBox* cbTipo = nullptr;
    DateBox* edtDtIniVige = nullptr;
    DateBox* edtDtFimVige = nullptr;
    DateBox* edtDtIniPi = nullptr;
    RecordSetView* DBGrid2 = nullptr;
    QAction* ExcluirMembro1 = nullptr;
    QPushButton* BTNINCLUIR = nullptr;
    QPushButton* btnAlterar = nullptr;
    QPushButton* Btnexcluir = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void openCommissions();
    void openMembers(std::int64_t codcomiss);
    void showCommission();
    void storeCommission();
    void setButtons(bool edit);
    void enterEditMode(bool inserting);
    void leaveEditMode();
    void discardEdits();
    bool appendMember();
    void numberMembers(std::int64_t codcomiss);
    std::int64_t currentCodcomiss();
    void fail(QWidget* focus, const QString& text);
    void showError(const QString& text, const QString& detail = {});
    void dataError(const QString& text);

    DataModule& dm_;
    app::MessageSink& sink_;
    RecordSet CdsCom_{"CdsCom"};
    RecordSet cdsMem_{"cdsMem"};
    RecordSetModel* comModel_ = nullptr;
    RecordSetModel* memModel_ = nullptr;
    std::vector<QWidget*> order_;
    bool shown_ = false;
    bool editMode_ = false;
    bool inserting_ = false;
    QString pendingError_;
};

}  // namespace tcese::screens
