#pragma once
// The contracts signed in the month (Contrato), their amendments (AditCont), the
// contracts cancelled in the month (CancCont) and the contractor of each contract
// (PartCont), from CONTRATOS and CONTRATOSADITAMENTO.
#include <string>
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

extern const Layout kContratosLayout;
extern const Layout kAditContLayout;
extern const Layout kCancContLayout;
extern const Layout kPartContLayout;

void Contratos(Exporter& ex, std::string_view fileName);
void AditCont(Exporter& ex, std::string_view fileName);
void CancCont(Exporter& ex, std::string_view fileName);
void PartCont(Exporter& ex, std::string_view fileName);

// The name of a signed document: `baseName` + ".DOC" with every "/" removed
// (CONTR12/2008 gives CONTR122008.DOC).
std::string documentName(std::string_view baseName);

// The court expects each signed document as a file in the folder the user chose
// (not its period sub-folder); it is looked for without regard to case. When it is
// missing, an "INEXISTENTE" entry naming the full path goes to the log for
// `logFile` at `line`.
void documentFileCheck(Exporter& ex, std::string_view logFile, std::string_view document, long line);

}  // namespace tcese
