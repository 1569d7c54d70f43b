#pragma once
// The liquidations of the month with the type of their supporting document
// (NotaLiq), the invoices (Nota), payrolls (Folha), daily allowances (Diaria) and
// tickets (Bilhete) that support them, and the liquidation reversals of payroll,
// allowance and ticket commitments (EstLiqPg), from VIEWLIQ and DESPES.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kNotaLiqLayout;
extern const Layout kNotaLayout;
extern const Layout kFolhaLayout;
extern const Layout kDiariaLayout;
extern const Layout kBilheteLayout;
extern const Layout kEstLiqPgLayout;

void NotaLiq(Exporter& ex, std::string_view fileName);
void Nota(Exporter& ex, std::string_view fileName);
void Folha(Exporter& ex, std::string_view fileName);
void Diaria(Exporter& ex, std::string_view fileName);
void Bilhete(Exporter& ex, std::string_view fileName);
void EstLiqPg(Exporter& ex, std::string_view fileName);

}  // namespace tcese
