#pragma once
// The register of participants (CadPart): every supplier of DESFOR.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kCadPartLayout;

void CadPart(Exporter& ex, std::string_view fileName);

}  // namespace tcese
