// kenshin-check-gui: the window that checks one submission archive per press
// of its button.
//
//   kenshin-check-gui [ARCHIVE]   an archive given here is checked at once

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "app/window/form1.h"
#include "app/window/window_services.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kenshin-check"));
  QApplication::setDesktopFileName(QStringLiteral("kenshin-check"));

  kenshin::window::WindowServices services;
  kenshin::window::Form1 form(services);
  form.show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    QString archive = args.at(1);
    QTimer::singleShot(0, &form, [&form, archive] { form.check_archive(archive); });
  }
  return app.exec();
}
