#pragma once
// Settlements of extra-budgetary items in the month: the payments of commitments
// that carry a deduction on an extra-budgetary revenue (BaixExtOrcReten) and the
// bank movements of those payments (BaixExtOrcContPag).
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kBaixExtOrcRetenLayout;
extern const Layout kBaixExtOrcContPagLayout;

void BaixExtOrcReten(Exporter& ex, std::string_view fileName);
void BaixExtOrcContPag(Exporter& ex, std::string_view fileName);

}  // namespace tcese
