#pragma once
// The entity as a managing unit of the court: its register data (ATUNGEST), its
// expense authoriser (Ordena) and its accountant (RespCont), all from TABEMPRESA.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kAtUnGestLayout;
extern const Layout kOrdenaLayout;
extern const Layout kRespContLayout;

void AtUnGest(Exporter& ex, std::string_view fileName);
void Ordena(Exporter& ex, std::string_view fileName);
void RespCont(Exporter& ex, std::string_view fileName);

}  // namespace tcese
