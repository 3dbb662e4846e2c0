// Window services for the window's tests: the real viewer and settings; the
// file dialog, the questions and the message boxes answer at once.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/window/window_services.h"
#include "support/check_kit.h"

namespace kenshin::window {

class TestServices : public WindowServices {
 public:
  std::optional<QString> choose_archive(QWidget*) override {
    if (dialog_open_ms > 0) QTest::qWait(dialog_open_ms);  // the user looking for the archive
    answered_at = QDateTime::currentDateTime();
    return ++dialogs, answer;
  }
  void show_failure(QWidget*, const QString& message) override { failures << message; }
  void show_refusal(QWidget*, const QString& message) override { refusals << message; }
  bool confirm_stop(QWidget*) override { return ++stop_questions, stop_answer; }
  void show_stopped(QWidget*, const QString& message) override { stopped << message; }
  bool confirm_close(QWidget*) override { return ++close_questions, close_answer; }
  int today_fiscal_year() override { return today; }
  void show_about(QWidget*, const QString& text) override { about << text; }

  std::optional<QString> answer;
  int dialog_open_ms = 0;
  QDateTime answered_at;
  int dialogs = 0;
  QStringList failures;
  QStringList refusals;
  QStringList stopped;
  int stop_questions = 0;
  bool stop_answer = false;
  int close_questions = 0;
  bool close_answer = false;
  int today = 2026;
  QStringList about;
};

// Settings outlive a test within one test program; each test starts without.
inline void forget_settings() { QSettings(kSettingsOrganisation, kSettingsApplication).clear(); }

// Each test's own home: a desktop folder, HOME and XDG_CONFIG_HOME inside it,
// nothing remembered from an earlier test.
inline std::unique_ptr<testkit::TempDir> fresh_home() {
  auto home = std::make_unique<testkit::TempDir>();
  std::filesystem::create_directories(home->path() + "/Desktop");
  qputenv("HOME", QByteArray::fromStdString(home->path()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home->path() + "/.config"));
  forget_settings();
  return home;
}

// After each test: no window of it is left showing.
inline void expect_no_window_left() {
  for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

}  // namespace kenshin::window
