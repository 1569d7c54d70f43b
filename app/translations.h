#pragma once
// The toolkit's own texts (file, print and message dialogs, the print preview) in
// Brazilian Portuguese, from the translations Qt installs (qtbase_pt_BR.qm).
namespace tcese::app {

// Installs them on the running application and makes pt_BR the default locale.
// False when the translation file is not installed: the dialogs stay in English.
bool installQtTranslations();

}  // namespace tcese::app
