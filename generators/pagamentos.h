#pragma once
// The payments of the month from RATEIO_PAGAMENTO: payment notes (NotaPag), the
// share paid from each account (CtaPag), the amounts retained at payment
// (RetenEmp), and the reversals of payments (EstNotPg) with their accounts (EstNotCt).
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kNotaPagLayout;
extern const Layout kCtaPagLayout;
extern const Layout kRetenEmpLayout;
extern const Layout kEstNotPgLayout;
extern const Layout kEstNotCtLayout;

void NotaPag(Exporter& ex, std::string_view fileName);
void CtaPag(Exporter& ex, std::string_view fileName);
void RetenEmp(Exporter& ex, std::string_view fileName);
void EstNotPg(Exporter& ex, std::string_view fileName);
void EstNotCt(Exporter& ex, std::string_view fileName);

}  // namespace tcese
