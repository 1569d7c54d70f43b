#pragma once
// The bidding processes opened in the month (CADLIC by DATAE, every entity): the
// process and its commission (Licit), its publication (PublLic), the items put to
// bid (ItemLic), the suppliers invited and taking part (ConviLic, PartLic), each
// participant's price per item (ItemPart) and the appropriations it uses (DotLicit).
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kLicitLayout;
extern const Layout kPublLicLayout;
extern const Layout kItemLicLayout;
extern const Layout kConviLicLayout;
extern const Layout kPartLicLayout;
extern const Layout kItemPartLayout;
extern const Layout kDotLicitLayout;

void Licit(Exporter& ex, std::string_view fileName);
void PublLic(Exporter& ex, std::string_view fileName);
void ItemLic(Exporter& ex, std::string_view fileName);
void ConviLic(Exporter& ex, std::string_view fileName);
void PartLic(Exporter& ex, std::string_view fileName);
void ItemPart(Exporter& ex, std::string_view fileName);
void DotLicit(Exporter& ex, std::string_view fileName);

}  // namespace tcese
