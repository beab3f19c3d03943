#include "Translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

QTranslator* installTranslation(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    for (const QString& language : QLocale::system().uiLanguages()) {
        if (translator->load(":/i18n/Vesperix_" + QLocale(language).name())) {
            application.installTranslator(translator);
            return translator;
        }
    }
    delete translator;
    return nullptr;
}
