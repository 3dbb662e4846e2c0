// Qt's own texts (dialog buttons, the file dialog, context menus) in the
// user's language: Qt ships them in English and in separate catalogues.
#pragma once

#include <QCoreApplication>
#include <QLocale>

namespace kenshin::window {

// Loads Qt's catalogue for `locale` when the locale is Japanese and installs it
// on the application. Returns whether a catalogue was installed.
bool install_qt_translation(QCoreApplication& app, const QLocale& locale = QLocale());

}  // namespace kenshin::window
