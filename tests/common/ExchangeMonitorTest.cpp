#include <gtest/gtest.h>

#include "common/ExchangeMonitor.h"

namespace velk {
namespace {

using Lines = std::vector<std::string>;

TEST(ExchangeMonitor, LineBreaksOfEveryKind) {
  ExchangeMonitor monitor;
  monitor.Append("a\r\nb\n\rc\nd\re\r\n");
  EXPECT_EQ(monitor.Lines(), (Lines{"a", "b", "c", "d", "e"}));
  monitor.Append("\r\n");
  EXPECT_EQ(monitor.Lines().back(), "");
}

TEST(ExchangeMonitor, OpenLineIsContinuedByTheNextAppend) {
  ExchangeMonitor monitor;
  monitor.Append("00 00 A5");
  monitor.Append(" F2\r\n");
  monitor.Append("next");
  EXPECT_EQ(monitor.Lines(), (Lines{"00 00 A5 F2", "next"}));
  EXPECT_EQ(monitor.LineCount(), 2u);
}

TEST(ExchangeMonitor, KeepsTheNewestThousandLines) {
  ExchangeMonitor monitor;
  for (int i = 0; i < 1005; ++i) monitor.Append(std::to_string(i) + "\n");
  const Lines lines = monitor.Lines();
  ASSERT_EQ(lines.size(), ExchangeMonitor::MaxLines);
  EXPECT_EQ(lines.front(), "5");
  EXPECT_EQ(lines.back(), "1004");
  monitor.Clear();
  EXPECT_EQ(monitor.LineCount(), 0u);
}

TEST(ExchangeMonitor, ListenersGetCompletedLinesAndTheClearing) {
  ExchangeMonitor monitor;
  Lines heard;
  monitor.SetLineListener([&](const std::string& line) { heard.push_back(line); });
  monitor.SetClearListener([&] { heard.push_back("<cleared>"); });
  monitor.Append("one\ntw");
  monitor.Append("o\n");
  monitor.Clear();
  monitor.Append("three\n");
  EXPECT_EQ(heard, (Lines{"one", "two", "<cleared>", "three"}));
}

}  // namespace
}  // namespace velk
