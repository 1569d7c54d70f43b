#include "screens/pesfornec.h"

namespace tcese::screens {

TFrmPesFornec::TFrmPesFornec(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : SearchDialog({"FrmPesFornec",
                    QString::fromUtf8("Pesquisa de Fornecedores"),
                    "DESFOR",
                    "NOME",
                    {{{QString::fromUtf8("Código"), "CODIF", false},
                      {QString::fromUtf8("Nome"), "NOME", true},
                      {QString::fromUtf8("CPF/CNPJ"), "INSMF", false}}},
                    {{"CODIF", QString::fromUtf8("Código")}, {"NOME", QString::fromUtf8("Nome")}, {"INSMF", QString::fromUtf8("CPF/CNPJ")}},
                    "CODIF"},
                   dm, sink, parent) {}

}  // namespace tcese::screens
