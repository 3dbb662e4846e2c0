// kenshin-check-gui: the window that checks one submission archive per press
// of its button.
//
//   kenshin-check-gui [ARCHIVE]   an archive given here is checked at once
//   kenshin-check-gui --help | --version
//   kenshin-check-gui --exit-when-checked ARCHIVE   checks, shows the report, ends

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "app/cli_text.h"
#include "app/window/form1.h"
#include "app/window/translation.h"
#include "app/window/window_services.h"
#include "docs/xml_allocation.h"
#include "version.h"

int main(int argc, char** argv) {
  kenshin::docs::set_up_xml_allocation();  // before Qt starts a thread or anything reaches libxml2
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kenshin-check-gui"));
  QApplication::setApplicationVersion(QString::fromLatin1(kenshin::kVersion));
  QApplication::setDesktopFileName(QStringLiteral("kenshin-check"));
  // The language the command-line program would speak, for the help below
  // and Qt's own texts alike.
  const kenshin::app::Language language = kenshin::app::language_of_environment();
  kenshin::window::install_qt_translation(
      app, language == kenshin::app::Language::kJapanese ? QLocale(QLocale::Japanese, QLocale::Japan) : QLocale::c());

  // Qt's own lines of the help ("Usage:", the help and version options) come
  // from the catalogue installed above.
  auto say = [language](const kenshin::app::Text& text) {
    std::string_view s = text.in(language);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
  };
  QCommandLineParser parser;
  parser.setApplicationDescription(say(kenshin::app::gui::kDescription));
  parser.addHelpOption();
  parser.addVersionOption();
  // Checks the archive given, shows its report and ends: for timing a whole
  // run through the window (tools/bench.sh --gui). Not offered in the help.
  QCommandLineOption exit_when_checked(QStringLiteral("exit-when-checked"));
  exit_when_checked.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(exit_when_checked);
  parser.addPositionalArgument(QStringLiteral("archive"), say(kenshin::app::gui::kArchiveArgument),
                               QStringLiteral("[ARCHIVE]"));
  parser.process(app);  // answers --help and --version, refuses unknown options
  const QStringList archives = parser.positionalArguments();
  if (archives.size() > 1) {
    std::fputs(("kenshin-check-gui: " + say(kenshin::app::gui::kOneArchiveOnly) + "\n").toLocal8Bit().constData(),
               stderr);
    return 2;
  }

  kenshin::window::WindowServices services;
  kenshin::window::Form1 form(services);
  form.show();
  if (!archives.isEmpty() && parser.isSet(exit_when_checked)) {
    QTimer::singleShot(0, &form, [&form, archive = archives.first()] {
      form.check_archive(archive);
      QApplication::processEvents();  // the viewer drawn once, as the desk would see it
      QCoreApplication::exit(0);  // quit() would ask first, as closing the window does
    });
  } else if (!archives.isEmpty()) {
    form.check_archive_once_shown(archives.first());
  }
  return app.exec();
}
