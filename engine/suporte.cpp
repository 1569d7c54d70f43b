#include "engine/suporte.h"

#include <filesystem>

#include "engine/courttables.h"
#include "engine/exporter.h"

namespace tcese {

namespace {

// The folder the user typed: the run's output folder without its period sub-folder.
std::string chosenFolder(const RunContext& ctx) {
    std::string_view dir = ctx.outputDir;
    if (!ctx.periodFolder.empty() && dir.ends_with(ctx.periodFolder)) dir.remove_suffix(ctx.periodFolder.size());
    return std::string(dir);
}

}  // namespace

std::string documentName(std::string_view baseName) {
    std::string name = std::string(baseName) + ".DOC";
    std::erase(name, '/');
    return name;
}

void documentFileCheck(Exporter& ex, std::string_view logFile, std::string_view document, long line) {
    const std::string folder = ex.ctx.documentsFolder.empty() ? chosenFolder(ex.ctx) : ex.ctx.documentsFolder;
    std::error_code ec;
    if (std::filesystem::is_regular_file(findFileNoCase(std::filesystem::path(folder), document), ec)) return;
    ex.Log(logFile, "INEXISTENTE", "Arquivo " + folder + std::string(document) + " não Encontrado", "", line);
}

}  // namespace tcese
