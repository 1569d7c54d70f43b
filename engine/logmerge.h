#pragma once
// A run that rewrites only some files of a month keeps the other files' log entries:
// the month's log always describes the files on disk.
#include <span>
#include <string>
#include <vector>

#include "data/recordset.h"
#include "engine/catalogue.h"

namespace tcese {

// Replaces the rows of `log` (the partial run's entries) with, file by file in the
// order of `steps`, the entries of `log` for the files in `rewritten` and those of
// `previous` for every other file; entries of `previous` that name no file of
// `steps` follow at the end. File names compare without regard to case.
void mergeLog(RecordSet& log, const RecordSet& previous, std::span<const CatalogueStep> steps,
              const std::vector<std::string>& rewritten);

}  // namespace tcese
