#pragma once
// The register of procurement waivers and non-requirements (DISPINEX) with their
// items bought from each supplier (PARTDISP) and the suppliers' certificates
// (CERTDISP), from which the waiver files are written.
#include <QDialog>

#include <optional>
#include <vector>

#include "data/datamodule.h"
#include "data/recordset.h"
#include "screens/recordsetmodel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace tcese::app {
class MessageSink;
class TFrmPrincipalSE;
}  // namespace tcese::app

namespace tcese::screens {

class DateBox;

class TFrmDisp : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDisp(app::TFrmPrincipalSE& owner);
    TFrmDisp(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
    ~TFrmDisp() override;

    static QStringList modalidades();
    static QStringList tiposFundamento();
    // The legal bases as offered (41 items, no 25).
    static QStringList basesLegais();

    void FormShow();
    void BTNINCLUIRClick();
    void btnAlterarClick();
    void ConfirmarClick();
    void FecharClick();
    void BtnexcluirClick();
    // After a click or a key in the process list: its items, certificates and lists.
    void DBGrid1CellClick();
    // Lookup keys of the detail grids; true when the key was used.
    bool DBGrid2KeyDown(int key);
    bool DBGrid3KeyDown(int key);
    void SpeedButton2Click();
    void DBEdit7Exit();
    // Enter or Down to the next field of "Cadastro", Up to the previous one.
    bool DBEdit1KeyDown(QWidget* field, int key);

    bool editMode() const { return editMode_; }
    RecordSet& CdsDisp() { return CdsDisp_; }
    RecordSet& CdsPart() { return CdsPart_; }
    RecordSet& CdsCert() { return CdsCert_; }
    RecordSetModel* dispModel() const { return dispModel_; }
    RecordSetModel* partModel() const { return partModel_; }
    RecordSetModel* certModel() const { return certModel_; }
    // The fields of "Cadastro" in the order Enter walks them.
    const std::vector<QWidget*>& fieldOrder() const { return order_; }

    QLabel* pnTitulo = nullptr;
    RecordSetView* DBGrid1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabCadastro = nullptr;
    QWidget* TabItens = nullptr;
    QWidget* TabCertidoes = nullptr;
    QLineEdit* edtCodigo = nullptr;
    QLineEdit* edtNumDisp = nullptr;
    QComboBox* cbModalidade = nullptr;
    QComboBox* cbTipoFundam = nullptr;
    QLineEdit* edtNumFundam = nullptr;
    QLineEdit* edtNumComissao = nullptr;
    DateBox* edtDtInicio = nullptr;
    QLineEdit* edtObjeto = nullptr;
    QComboBox* cbBaseLegal = nullptr;
    QLineEdit* edtValor = nullptr;
    DateBox* edtDtRetif = nullptr;
    DateBox* edtDtPubl = nullptr;
    QLineEdit* edtVeicPubl = nullptr;
    QLineEdit* DBEdit7 = nullptr;  // "Convênio"
    QToolButton* SpeedButton2 = nullptr;
    QLineEdit* edtCpfResp = nullptr;
    QLineEdit* edtNomeResp = nullptr;
    QLineEdit* edtCargoResp = nullptr;
    QLineEdit* edtDescrResp = nullptr;
    QGroupBox* GroupBoxCancelada = nullptr;
    QCheckBox* chkCancelado = nullptr;
    QLineEdit* edtMotCanc = nullptr;
    DateBox* edtDtPublCanc = nullptr;
    QComboBox* cbEntidade = nullptr;
    RecordSetView* DBGrid2 = nullptr;  // items
    RecordSetView* DBGrid3 = nullptr;  // certificates
    QPushButton* BTNINCLUIR = nullptr;
    QPushButton* btnAlterar = nullptr;
    QPushButton* Btnexcluir = nullptr;
    QPushButton* Confirmar = nullptr;
    QPushButton* Fechar = nullptr;

public slots:
    // Escape cancels an edit like "Cancela&r"; the close box closes without saving.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void openProcesses();
    void openDetails(std::int64_t codigo);
    void showProcess();
    void storeProcess();
    bool checkFields();
    bool checkDetails();
    bool appendDetail(RecordSetView* grid);
    void enterEditMode(bool inserting);
    void leaveEditMode();
    void setButtons(bool edit);
    void setDetailEditing(bool on);
    void CdsDispNewRecord();
    static std::optional<std::string> parseAmount(const QString& typed);
    void writeLookup(RecordSetView* grid, const char* field, const QString& value);
    void fail(QWidget* focus, const QString& text);
    void showError(const QString& text, const QString& detail = {});
    void dataError(const QString& text);
    std::int64_t currentCodigo();

    DataModule& dm_;
    app::MessageSink& sink_;
    RecordSet CdsDisp_{"CdsDisp"};
    RecordSet CdsPart_{"CdsPart"};
    RecordSet CdsCert_{"CdsCert"};
    RecordSet CdsEmpresa_{"CdsEmpresa"};
    RecordSetModel* dispModel_ = nullptr;
    RecordSetModel* partModel_ = nullptr;
    RecordSetModel* certModel_ = nullptr;
    std::vector<QWidget*> order_;
    bool shown_ = false;
    bool editMode_ = false;
    bool inserting_ = false;
    bool checkingAgreement_ = false;
    QString pendingError_;
};

}  // namespace tcese::screens
