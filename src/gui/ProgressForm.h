// The read progress window `TfmReadProgress`: it paints the application's
// ReadProgressModel and drives Application::Poll from its two timers, the
// dialling view's Timer2 (500 ms) and the reading view's Timer3 (10 ms); each
// timer runs only while the model's view is its own.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace velk {
class Application;
}

namespace velk::gui {

class TfmReadProgress : public QDialog {
  Q_OBJECT

 public:
  TfmReadProgress(Application& app, bool commandLine, QWidget* parent);

  // ShowReadProgress: the model has been prepared by the reading's start; shows the window modally.
  void ShowReadProgress();
  // Repaints every control from the model and follows its view with the timers.
  void Render();
  QTimer* Timer2() const { return timer2_; }
  QTimer* Timer3() const { return timer3_; }

  // The lamp pictures: 0 answer lit, 1 lamp dark, 2 request lit, 3 request idle.
  static QPixmap LampPicture(int index);
  static void ShowLamp(QLabel* image, int& shown, int picture);

 signals:
  void Shown();
  void Hidden();
  // A tick found the reading ended (after its end handler ran).
  void ReadingEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Button1Click();
  void TimerTick();

  Application& app_;
  bool commandLine_;
  QProgressBar* gauge1_;
  QLabel* label1_;
  QLabel* label4_;
  QLabel* image1_;
  QLabel* image2_;
  std::array<QLabel*, 6> timeLabels_{};
  QLabel* label129_;
  QLabel* label130_;
  QLabel* label128_;
  QLabel* label127_;
  QPushButton* button1_;
  QTimer* timer2_;
  QTimer* timer3_;
  bool wasVisible_ = false;
  int lamp1Shown_ = -1;  // the pictures the lamps show (LampPicture's index)
  int lamp2Shown_ = -1;
};

}  // namespace velk::gui
