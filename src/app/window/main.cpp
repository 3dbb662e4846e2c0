// kenshin-check-gui: the window that checks one submission archive per press
// of its button.
//
//   kenshin-check-gui [ARCHIVE]   an archive given here is checked at once
//   kenshin-check-gui --help | --version

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QTimer>
#include <cstdio>

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
  kenshin::window::install_qt_translation(app);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Checks a specified health checkup submission archive (.zip) and shows\n"
      "ERR.txt, the report written into the desktop folder."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("archive to check at once"),
                               QStringLiteral("[ARCHIVE]"));
  parser.process(app);  // answers --help and --version, refuses unknown options
  const QStringList archives = parser.positionalArguments();
  if (archives.size() > 1) {
    std::fputs("kenshin-check-gui: only one archive can be checked at a time\n", stderr);
    return 2;
  }

  kenshin::window::WindowServices services;
  kenshin::window::Form1 form(services);
  form.show();
  if (!archives.isEmpty()) {
    // Once the window is on the screen, so that whatever the run shows is placed over it.
    QTimer::singleShot(0, &form, [&form, archive = archives.first()] { form.check_archive(archive); });
  }
  return app.exec();
}
