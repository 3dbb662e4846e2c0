#include "app/window/translation.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace kenshin::window {

bool install_qt_translation(QCoreApplication& app, const QLocale& locale) {
  // The window's own texts are Japanese; a catalogue in any other language
  // would leave the user with two languages in one dialog.
  if (locale.language() != QLocale::Japanese) return false;
  auto* translator = new QTranslator(&app);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace kenshin::window
