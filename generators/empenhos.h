#pragma once
// The commitments of the month (Empenho), each as its single item (ItemEmp), their
// annulments (AnulaEmp) and the cancellations of carried-over commitments (CancRest),
// all from DESPES and its appropriation DESDIS.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kEmpenhoLayout;
extern const Layout kItemEmpLayout;
extern const Layout kAnulaEmpLayout;
extern const Layout kCancRestLayout;

void Empenho(Exporter& ex, std::string_view fileName);
void ItemEmp(Exporter& ex, std::string_view fileName);
void AnulaEmp(Exporter& ex, std::string_view fileName);
void CancRest(Exporter& ex, std::string_view fileName);

}  // namespace tcese
