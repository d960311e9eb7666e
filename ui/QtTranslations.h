#pragma once

class QCoreApplication;

namespace quorlex {

// Puts Qt's own texts (the buttons of message boxes, the edit menus of text
// fields) into the program's language, whatever the user's locale. False when
// Qt's translations are not installed: those texts then stay in English.
bool InstallQtTranslations(QCoreApplication& application);

} // namespace quorlex
