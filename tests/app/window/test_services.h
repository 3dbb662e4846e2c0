// Window services for the window's tests: the real viewer and settings; the
// file dialog, the questions and the message boxes answer at once.
#pragma once

#include <QSettings>
#include <QtTest>

#include "app/window/window_services.h"

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

}  // namespace kenshin::window
