#pragma once
// The supplier lookup (DESFOR): hands back the chosen supplier's CODIF.
#include "screens/pesquisa.h"

namespace tcese::screens {

class TFrmPesFornec : public SearchDialog {
    Q_OBJECT
public:
    TFrmPesFornec(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
};

}  // namespace tcese::screens
