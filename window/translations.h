#pragma once

class QCoreApplication;
class QTranslator;

// Loads Qt's own translations for the user's language, so that what Qt itself shows (a name
// field's context menu, the boxes' OK button) reads as the rest of the desktop does. Returns
// the installed translator, owned by the application, or nullptr when Qt has none for the
// language.
QTranslator *installQtTranslations(QCoreApplication &app);
