#pragma once
// Orcmto.txt: the year's budget law framework, one record from ORC_TCE_SE.XML.
#include <string_view>

#include "engine/filegenerator.h"

namespace tcese {

extern const Layout kOrcmtoLayout;

void Orcmto(Exporter& ex, std::string_view fileName);

}  // namespace tcese
