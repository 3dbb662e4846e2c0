// The document a finding is about, as the archive holds it: read from the
// archive file into memory (nothing of it is written anywhere), laid out one
// element to a line, read-only, scrolled to the finding's element with its
// line marked; beside it the findings of the same document.
#pragma once

#include <QListWidget>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "docs/laid_out.h"
#include "run/finding.h"

namespace kenshin::platform {
class ZipArchive;
}

namespace kenshin::window {

// Where a run found its documents: the archive file and the folders inside
// it (as the archive spells them) that hold the documents.
struct ArchiveDocuments {
  QString archive_path;
  std::string data_folder;
  std::string claims_folder;
  std::string top_folder;
};

class DocumentPane : public QWidget {
  Q_OBJECT

 public:
  explicit DocumentPane(QWidget* parent = nullptr);
  ~DocumentPane() override;

  // A new run's documents and findings; shows nothing until a finding is chosen.
  void set_run(const ArchiveDocuments& documents, const std::vector<Finding>* findings);

  // Shows the document of findings[index]; nothing for a finding of no document.
  void show_finding(int index);

  QPlainTextEdit* text() const { return text_; }
  QListWidget* document_findings() const { return document_findings_; }
  int marked_line() const { return marked_line_; }  // 1-based line of the text; 0 when none

 Q_SIGNALS:
  // One of the listed findings of the document was chosen.
  void finding_chosen(int index);

 private:
  // The laid-out document at the path inside the archive, or a line saying why not.
  std::optional<docs::LaidOutDocument> read_document(const std::string& document, FindingKind kind, QString& why);
  void mark_line(int line);

  QPlainTextEdit* text_ = nullptr;
  QListWidget* document_findings_ = nullptr;
  ArchiveDocuments documents_;
  const std::vector<Finding>* findings_ = nullptr;
  std::unique_ptr<platform::ZipArchive> archive_;  // opened at the first document shown
  std::string shown_document_;
  std::optional<docs::LaidOutDocument> laid_out_;
  int marked_line_ = 0;
};

}  // namespace kenshin::window
