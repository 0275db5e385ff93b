#include "ui/qt/system_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velnor {

void UseQtTranslations(const QLocale& locale) {
    // Lives as long as the application, which holds it from here on.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace velnor
