#pragma once
// The commissions that conduct biddings, waivers and non-requirements, and their
// members, from the commission register (COMISSAO, MEMBROS).
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kComissaoLayout;
extern const Layout kComMembLayout;

void Comissao(Exporter& ex, std::string_view fileName);
void ComMemb(Exporter& ex, std::string_view fileName);

}  // namespace tcese
