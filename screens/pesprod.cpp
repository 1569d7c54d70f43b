#include "screens/pesprod.h"

namespace tcese::screens {

TFrmPesprod::TFrmPesprod(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : SearchDialog({"FrmPesprod",
                    QString::fromUtf8("Consulta Produtos"),
                    "CADEST",
                    "DISC1",
                    {{{QString::fromUtf8("Código"), "CADPRO", false},
                      {QString::fromUtf8("Descrição"), "DISC1", true},
                      {QString::fromUtf8("Unidade"), "UNID1", false}}},
                    {{"CADPRO", QString::fromUtf8("Código")}, {"DISC1", QString::fromUtf8("Descrição")}, {"UNID1", QString::fromUtf8("Unidade")}},
                    "CADPRO"},
                   dm, sink, parent) {}

}  // namespace tcese::screens
