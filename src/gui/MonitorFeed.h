// Feeds the exchange monitor's lines into a text view. The monitor reports each
// line and each clearing from whichever thread writes it; the feed keeps them
// in order and hands them to the view in batches every 200 ms while the view is
// shown (and at once when it is shown), so a busy link does not scroll and
// re-lay the view for every line, nor a hidden view at all.
#pragma once

#include <QObject>
#include <mutex>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTimer;

namespace velk {
class ExchangeMonitor;
}

namespace velk::gui {

class MonitorFeed : public QObject {
 public:
  // Listens to `monitor` until destroyed; `view` shows at most the monitor's line count.
  MonitorFeed(ExchangeMonitor& monitor, QPlainTextEdit& view);
  ~MonitorFeed() override;

  // Hands what has come so far to the view, if it is shown (the timer calls it).
  void Flush();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ExchangeMonitor& monitor_;
  QPlainTextEdit& view_;
  QTimer* timer_;
  std::mutex mutex_;
  std::vector<std::string> pending_;
  bool clearFirst_ = false;  // the monitor was cleared after the view's last batch
};

}  // namespace velk::gui
