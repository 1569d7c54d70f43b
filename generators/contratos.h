#pragma once
// The contracts signed in the month (Contrato), their amendments (AditCont), the
// contracts cancelled in the month (CancCont) and the contractor of each contract
// (PartCont), from CONTRATOS and CONTRATOSADITAMENTO.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kContratosLayout;
extern const Layout kAditContLayout;
extern const Layout kCancContLayout;
extern const Layout kPartContLayout;

void Contratos(Exporter& ex, std::string_view fileName);
void AditCont(Exporter& ex, std::string_view fileName);
void CancCont(Exporter& ex, std::string_view fileName);
void PartCont(Exporter& ex, std::string_view fileName);

}  // namespace tcese
