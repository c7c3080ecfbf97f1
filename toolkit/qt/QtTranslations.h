#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>

// Qt's own texts (the file dialogs' labels and buttons) in the language of `locale`: Qt's
// translations are loaded and installed in the application. Null when Qt has none for that
// language (English needs none); the translator must live as long as its texts are shown.
std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale);
