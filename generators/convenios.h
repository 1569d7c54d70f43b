#pragma once
// The agreements celebrated in the month (Convenio), their amendments registered in
// the month (AditConv) and the other party of each agreement (PartConv), from
// CADCONV and CADCONVADITAMENTO.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kConvenioLayout;
extern const Layout kAditConvLayout;
extern const Layout kPartConvLayout;

void Convenio(Exporter& ex, std::string_view fileName);
void AditConv(Exporter& ex, std::string_view fileName);
void PartConv(Exporter& ex, std::string_view fileName);

}  // namespace tcese
