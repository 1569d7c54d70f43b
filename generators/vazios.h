#pragma once
// Files the court expects every month that this product has nothing to put in:
// header and a trailer of 0 records.
#include <string_view>

namespace tcese {

class Exporter;

void emptyFile(Exporter& ex, std::string_view fileName);
// CertCont, CnvCont and CnvOCont show the current-file bar full.
void emptyFileFullBar(Exporter& ex, std::string_view fileName);

}  // namespace tcese
