#pragma once
// The toolkit's own texts (the text boxes' context menus, standard dialog
// buttons, the network errors Qt words itself) in Brazilian Portuguese,
// the language of every window, whatever the user's locale.

namespace host {

// Installs Qt's Brazilian Portuguese catalogues into the application (once;
// a second call does nothing). Needs the application object. False when
// the catalogues are not installed: the toolkit then speaks English.
bool installToolkitTranslations();

} // namespace host
