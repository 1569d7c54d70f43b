#pragma once
// The agreement lookup (CADCONV): hands back the agreement's internal key CONVENIO.
#include "screens/pesquisa.h"

namespace tcese::screens {

class TFrmPesConv : public SearchDialog {
    Q_OBJECT
public:
    TFrmPesConv(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
};

}  // namespace tcese::screens
