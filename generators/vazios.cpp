#include "generators/vazios.h"

#include "engine/filegenerator.h"

namespace tcese {

void emptyFile(Exporter& ex, std::string_view fileName) { writeEmptyFile(ex, fileName, false); }

void emptyFileFullBar(Exporter& ex, std::string_view fileName) { writeEmptyFile(ex, fileName, true); }

}  // namespace tcese
