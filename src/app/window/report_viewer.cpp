#include "app/window/report_viewer.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>

#include "app/window/fonts.h"
#include "report/report.h"

namespace kenshin::window {

ReportViewer::ReportViewer(QWidget* owner) : QPlainTextEdit(owner) {
  setObjectName(QStringLiteral("ReportViewer"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setReadOnly(true);
  // Findings are long single lines; wrapping them would hide where one ends.
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFont(kFixedGothicFace, 10));
  QFontMetrics metrics(font());
  resize(metrics.horizontalAdvance(QLatin1Char('0')) * 100, metrics.lineSpacing() * 30);
}

void ReportViewer::load(const QString& path) {
  setWindowTitle(QDir::toNativeSeparators(path));
  QStringList lines;
  for (const std::string& line : report::read_report_lines(path.toStdString())) lines << QString::fromStdString(line);
  setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList ReportViewer::lines() const { return toPlainText().split(QLatin1Char('\n')); }

}  // namespace kenshin::window
