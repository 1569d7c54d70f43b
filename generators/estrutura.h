#pragma once
// The annual budget structure: revenue forecast, budget units, projects and
// activities, programmes, bodies and appropriations.
#include <string_view>

#include "engine/filegenerator.h"

namespace tcese {

extern const Layout kPrevRecLayout;
extern const Layout kUnidOrcLayout;
extern const Layout kProjativLayout;
extern const Layout kProgramaLayout;
extern const Layout kOrgaoLayout;
extern const Layout kDotacaoLayout;

void PrevRec(Exporter& ex, std::string_view fileName);
void UnidOrc(Exporter& ex, std::string_view fileName);
void Projativ(Exporter& ex, std::string_view fileName);
void Programa(Exporter& ex, std::string_view fileName);
void Orgao(Exporter& ex, std::string_view fileName);
void Dotacao(Exporter& ex, std::string_view fileName);

}  // namespace tcese
