#include "gui/MonitorFeed.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include "common/ExchangeMonitor.h"
#include "gui/QtText.h"

namespace velk::gui {

MonitorFeed::MonitorFeed(ExchangeMonitor& monitor, QPlainTextEdit& view)
    : QObject(&view), monitor_(monitor), view_(view), timer_(new QTimer(this)) {
  view_.setMaximumBlockCount(static_cast<int>(ExchangeMonitor::MaxLines));
  monitor_.SetLineListener([this](const std::string& line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(line);
    if (pending_.size() > ExchangeMonitor::MaxLines) pending_.erase(pending_.begin());
  });
  monitor_.SetClearListener([this] {
    const std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
    clearFirst_ = true;
  });
  timer_->setObjectName("MonitorTimer");
  connect(timer_, &QTimer::timeout, this, &MonitorFeed::Flush);
  timer_->start(200);
  view_.installEventFilter(this);
}

bool MonitorFeed::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &view_ && event->type() == QEvent::Show) Flush();
  return QObject::eventFilter(watched, event);
}

MonitorFeed::~MonitorFeed() {
  monitor_.SetLineListener(nullptr);
  monitor_.SetClearListener(nullptr);
}

void MonitorFeed::Flush() {
  if (!view_.isVisible()) return;  // the lines wait, at most a full log of them
  std::vector<std::string> lines;
  bool clear = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines.swap(pending_);
    std::swap(clear, clearFirst_);
  }
  if (clear) view_.clear();
  if (lines.empty()) return;
  QString text;
  for (const std::string& line : lines) {
    if (!text.isEmpty()) text += '\n';
    text += Q(line);
  }
  view_.appendPlainText(text);
}

}  // namespace velk::gui
