#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <stdexcept>

#include "app/ConsoleUserInterface.h"

namespace velk {
namespace {

TEST(ConsoleUserInterface, WorkerCallsRunOnTheMainLoopInOrder) {
  std::ostringstream messages;
  ConsoleUserInterface ui(messages);
  const std::thread::id mainThread = std::this_thread::get_id();
  std::vector<int> order;
  std::atomic<bool> workerDone = false;
  bool rethrown = false;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      ui.Synchronize([&, i] {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        order.push_back(i);
      });
    }
    ui.ShowMessage("Ошибка открытия Файла x");
    try {
      ui.Synchronize([] { throw std::runtime_error("boom"); });
    } catch (const std::runtime_error&) {
      rethrown = true;
    }
    workerDone = true;
  });
  int ticks = 0;
  ui.RunUntil([&] { return workerDone.load(); }, std::chrono::milliseconds(1), [&] { ++ticks; });
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(rethrown);
  EXPECT_EQ(messages.str(), "Ошибка открытия Файла x\n");
  EXPECT_GE(ticks, 1);
}

TEST(ConsoleUserInterface, StatusGoesToTheListenerQuestionsGetTheSetAnswer) {
  std::ostringstream messages;
  ConsoleUserInterface ui(messages);
  std::string status;
  ui.StatusListener = [&](const std::string& text, Colour) { status = text; };
  ui.SetStatusText("Ошибка создания Файла", ColourRed);
  EXPECT_EQ(status, "Ошибка создания Файла");
  EXPECT_FALSE(ui.Confirm("Удалить?"));
  ui.ConfirmAnswer = true;
  EXPECT_TRUE(ui.Confirm("Удалить?"));
}

}  // namespace
}  // namespace velk
