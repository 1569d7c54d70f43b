#pragma once
// The month's accounts and budget changes: the chart of accounts mapped to the
// court's chart (Conta), the acts behind the budget changes (FundAlt), the monthly
// budget-structure files (UnidOrc, Projativ, Programa, Orgao), the funding sources
// of the changes (FonteRec) and the changes by appropriation (AltOrc).
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kContaLayout;
extern const Layout kFundAltLayout;
extern const Layout kFonteRecLayout;
extern const Layout kAltOrcLayout;

void Conta(Exporter& ex, std::string_view fileName);
void FundAlt(Exporter& ex, std::string_view fileName);
void UnidOrc_mensal(Exporter& ex, std::string_view fileName);
void Projativ_Mensal(Exporter& ex, std::string_view fileName);
void Programa_Mensal(Exporter& ex, std::string_view fileName);
void Orgao_Mensal(Exporter& ex, std::string_view fileName);
void FonteRec(Exporter& ex, std::string_view fileName);
void AltOrc(Exporter& ex, std::string_view fileName);

}  // namespace tcese
