#include "toolkit/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale)
{
    auto translator = std::make_unique<QTranslator>();
    // "qt" loads the catalogues of every Qt module, the dialogs' "qtbase" among them.
    if (!translator->load(
            locale, QStringLiteral("qt"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}
