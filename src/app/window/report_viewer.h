// The program's own viewer for ERR.txt: a read-only text window titled with
// the report's path. The report is code page 932, which a generic editor may
// misread; this window decodes it the way the report was written.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

namespace kenshin::window {

class ReportViewer : public QPlainTextEdit {
 public:
  // A window of its own that closes with `owner`.
  explicit ReportViewer(QWidget* owner);

  // Reads the report at `path` (again) and shows its lines.
  void load(const QString& path);

  QStringList lines() const;
};

}  // namespace kenshin::window
