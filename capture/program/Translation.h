#pragma once

class QCoreApplication;
class QTranslator;

// Installs the first translation in ":/i18n/" that matches one of the system's interface
// languages, in the system's order ("Vesperix_<locale>"). The texts of the program are
// Japanese; a translation is only there if one was shipped. Returns the installed one or null.
QTranslator* installTranslation(QCoreApplication& application);
