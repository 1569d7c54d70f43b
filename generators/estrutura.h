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

// The records of the structure files; the monthly run writes the same files from
// its own queries.
void unidOrcValues(Exporter& ex, RecordSet& rs, Record& rec);
void projativValues(Exporter& ex, RecordSet& rs, Record& rec);
void programaValues(Exporter& ex, RecordSet& rs, Record& rec);
void orgaoValues(Exporter& ex, RecordSet& rs, Record& rec);

void PrevRec(Exporter& ex, std::string_view fileName);
void UnidOrc(Exporter& ex, std::string_view fileName);
void Projativ(Exporter& ex, std::string_view fileName);
void Programa(Exporter& ex, std::string_view fileName);
void Orgao(Exporter& ex, std::string_view fileName);
void Dotacao(Exporter& ex, std::string_view fileName);

}  // namespace tcese
