#include "screens/pesconv.h"

namespace tcese::screens {

TFrmPesConv::TFrmPesConv(DataModule& dm, app::MessageSink& sink, QWidget* parent)
    : SearchDialog({"FrmPesConv",
                    QString::fromUtf8("Consulta Convênios"),
                    "CADCONV",
                    "CONVENIO",
                    {{{QString::fromUtf8("Código"), "CONVENIO", false},
                      {QString::fromUtf8("Nome"), "NOME", true},
                      {QString::fromUtf8("Nº Convênio"), "NUMCONV", false}}},
                    {{"CONVENIO", QString::fromUtf8("Código")}, {"NOME", QString::fromUtf8("Nome")}, {"NUMCONV", QString::fromUtf8("Núm.Convênio")}},
                    "CONVENIO"},
                   dm, sink, parent) {}

}  // namespace tcese::screens
