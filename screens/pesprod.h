#pragma once
// The product lookup (CADEST): hands back the chosen product's CADPRO.
#include "screens/pesquisa.h"

namespace tcese::screens {

class TFrmPesprod : public SearchDialog {
    Q_OBJECT
public:
    TFrmPesprod(DataModule& dm, app::MessageSink& sink, QWidget* parent = nullptr);
};

}  // namespace tcese::screens
