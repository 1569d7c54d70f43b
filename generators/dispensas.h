#pragma once
// The waiver (dispensa) and non-requirement (inexigibilidade) processes of the month
// from the waiver register DISPINEX: the processes (DispInex), their suppliers
// (PartDisp), the items bought (ItemDisp), the suppliers' certificates (CertDisp),
// the agreements that pay them, of the same entity (CnvDisp) or of another one
// (CnvODisp, file CnvODis), the cancellations (CancDisp) and the responsible person
// (RespDisp). Nothing is checked or logged: the register is written as it is.
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kDispInexLayout;
extern const Layout kPartDispLayout;
extern const Layout kItemDispLayout;
extern const Layout kCertDispLayout;
extern const Layout kCnvDispLayout;
extern const Layout kCnvODispLayout;
extern const Layout kCancDispLayout;
extern const Layout kRespDispLayout;

void DispInex(Exporter& ex, std::string_view fileName);
void PartDisp(Exporter& ex, std::string_view fileName);
void ItemDisp(Exporter& ex, std::string_view fileName);
void CertDisp(Exporter& ex, std::string_view fileName);
void CnvDisp(Exporter& ex, std::string_view fileName);
void CnvODisp(Exporter& ex, std::string_view fileName);
void CancDisp(Exporter& ex, std::string_view fileName);
void RespDisp(Exporter& ex, std::string_view fileName);

}  // namespace tcese
