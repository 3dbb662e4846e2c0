#include "app/window/translation.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace kenshin::window {

namespace {

// Texts that Qt's Japanese catalogue leaves in English: lines of `--help`,
// and the print dialog's page choice and double-sided printing.
struct MissingText {
  const char* context;
  const char* english;
  const char* japanese;
};
constexpr MissingText kMissingTexts[] = {
    {"QCommandLineParser", "Displays help on commandline options.", "コマンドラインオプションのヘルプを表示する。"},
    {"QCommandLineParser", "Displays help including Qt specific options.", "Qt 固有のオプションを含むヘルプを表示する。"},
    {"QPrintSettingsOutput", "Pages", "ページ指定"},
    {"QPrintSettingsOutput", "Double Sided Printing", "両面印刷"},
    {"QPrintSettingsOutput", "Off", "しない"},
    {"QPrintSettingsOutput", "Long side binding", "長辺綴じ"},
    {"QPrintSettingsOutput", "Short side binding", "短辺綴じ"},
};

class MissingTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    for (const MissingText& text : kMissingTexts) {
      if (context != nullptr && source != nullptr && std::strcmp(context, text.context) == 0 &&
          std::strcmp(source, text.english) == 0) {
        return QString::fromUtf8(text.japanese);
      }
    }
    return {};
  }
};

}  // namespace

bool install_qt_translation(QCoreApplication& app, const QLocale& locale) {
  // The window's own texts are Japanese; a catalogue in any other language
  // would leave the user with two languages in one dialog.
  if (locale.language() != QLocale::Japanese) return false;
  QCoreApplication::installTranslator(new MissingTexts(&app));
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
