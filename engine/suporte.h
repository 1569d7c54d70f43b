#pragma once
// Supporting documents (".DOC" files) that the user puts in the chosen folder and
// that some records point to.
#include <string>
#include <string_view>

namespace tcese {

class Exporter;

// The name of a signed document: `baseName` + ".DOC" with every "/" removed
// (CONTR12/2008 gives CONTR122008.DOC).
std::string documentName(std::string_view baseName);

// The court expects each document as a file in the folder the user chose (not its
// period sub-folder); it is looked for without regard to case. When it is missing,
// an "INEXISTENTE" entry naming the full path goes to the log for `logFile` at `line`.
void documentFileCheck(Exporter& ex, std::string_view logFile, std::string_view document, long line);

}  // namespace tcese
