#pragma once
// The public works registered in the month (ObraServ), their location (LocObra),
// their supervising professionals (RespObra) and the agreements and contracts of
// the month tied to a work of the same entity (ObraConv, ObraCont) or of another
// one (ObraOCnv, ObraOCnt), from CADOBRA and the tables around it.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kObraServLayout;
extern const Layout kLocObraLayout;
extern const Layout kRespObraLayout;
extern const Layout kObraConvLayout;
extern const Layout kObraOCnvLayout;
extern const Layout kObraContLayout;
extern const Layout kObraOCntLayout;

void ObraServ(Exporter& ex, std::string_view fileName);
void LocObra(Exporter& ex, std::string_view fileName);
void RespObra(Exporter& ex, std::string_view fileName);
void ObraConv(Exporter& ex, std::string_view fileName);
void ObraOCnv(Exporter& ex, std::string_view fileName);
void ObraCont(Exporter& ex, std::string_view fileName);
void ObraOCnt(Exporter& ex, std::string_view fileName);

}  // namespace tcese
