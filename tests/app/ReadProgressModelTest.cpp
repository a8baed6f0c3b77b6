#include <gtest/gtest.h>

#include "app/ReadProgressModel.h"

namespace velk {
namespace {

constexpr TDateTime Start = 46000.5;

ReaderProgress Reading(double percent, bool started = true) {
  ReaderProgress reader;
  reader.Status = 0;
  reader.ProgressPercent = percent;
  reader.ReadStart = Start;
  reader.ReadingStarted = started;
  return reader;
}

TDateTime After(double seconds) { return Start + seconds * OneSecond; }

TEST(ProgressTimes, NoProgressYetEstimatesOneHundredSeconds) {
  const ProgressTimes times = ComputeProgressTimes(0, 7);
  EXPECT_DOUBLE_EQ(times.Estimated, 100);
  EXPECT_DOUBLE_EQ(times.Remaining, 93);
}

TEST(ProgressTimes, ThirtySecondsAtAQuarter) {
  ReadProgressModel model;
  model.Show();
  model.StartReadingView();
  model.Tick(Reading(25), After(30));
  EXPECT_EQ(model.ElapsedText, "30.0 c");
  EXPECT_EQ(model.EstimateText, "120.0 c");
  EXPECT_EQ(model.RemainingText, "90.0 c");
  EXPECT_TRUE(model.RemainingVisible);
  EXPECT_EQ(model.Bar, 25);
}

TEST(ProgressTimes, ElapsedCountsOnlyOnceTheReadingStarted) {
  ReadProgressModel model;
  model.StartReadingView();
  model.Tick(Reading(0, false), After(12));
  EXPECT_EQ(model.ElapsedText, "0.0 c");
  EXPECT_EQ(model.EstimateText, "100.0 c");
  EXPECT_EQ(model.RemainingText, "100.0 c");
}

TEST(ProgressTimes, FinishedOrStoppedShowsElapsedAsEstimateAndHidesRemaining) {
  ReadProgressModel model;
  model.StartReadingView();
  model.Tick(Reading(100), After(42.25));
  EXPECT_FALSE(model.RemainingVisible);
  EXPECT_EQ(model.EstimateText, "42.3 c");
  EXPECT_EQ(model.Bar, 100);

  ReaderProgress stopped = Reading(10);
  stopped.StopRequested = true;
  model.Tick(stopped, After(5));
  EXPECT_FALSE(model.RemainingVisible);
  EXPECT_EQ(model.EstimateText, "5.0 c");
}

TEST(ProgressTimes, BarRoundsHalvesToEven) {
  ReadProgressModel model;
  model.StartReadingView();
  model.Tick(Reading(12.5), After(1));
  EXPECT_EQ(model.Bar, 12);
  model.Tick(Reading(13.5), After(1));
  EXPECT_EQ(model.Bar, 14);
}

TEST(StatusLine, TextsAndColoursByCode) {
  EXPECT_EQ(StatusLineFor(0).Text, "(0)КОНТРОЛЬНАЯ СУММА - ОК ");
  EXPECT_EQ(StatusLineFor(0).Colour, ColourStatusGood);
  EXPECT_EQ(StatusLineFor(8).Colour, ColourStatusGood);
  EXPECT_EQ(StatusLineFor(3).Text, "(3)НЕ СОВПАДАЕТ КОНТРОЛЬНАЯ СУММА ");
  for (int bad : {1, 2, 3, 4, 5, 6, 7, 9, 11, 15})
    EXPECT_EQ(StatusLineFor(bad).Colour, ColourStatusBad) << bad;
  EXPECT_EQ(StatusLineFor(12).Colour, ColourStatusWaiting);
  EXPECT_EQ(StatusLineFor(14).Text, "(14)ОЖИДАНИЕ ОЧЕРЕДНОГО БАЙТА ОТВЕТА ");
  EXPECT_EQ(StatusLineFor(100).Text, "");
  EXPECT_EQ(StatusLineFor(100).Colour, ColourButtonFace);
  EXPECT_EQ(StatusLineFor(13).Text, "КОД 13  - НЕИЗВЕСТНАЯ ОШИБКА ");
  EXPECT_EQ(StatusLineFor(13).Colour, ColourStatusBad);
}

TEST(DiallingView, CountsFromTheClickAndLeavesWhenDiallingDrops) {
  ReadProgressModel model;
  model.Show();
  model.StartDiallingView(30, Start);
  EXPECT_FALSE(model.TimesVisible);
  ReaderProgress dialling;
  dialling.Dialling = true;
  model.Tick(dialling, After(4.5));
  EXPECT_EQ(model.DiallingText, "Лимит времени ожидания: 30.0 c  прошло:  4.5 c");
  EXPECT_EQ(model.View, ProgressView::Dialling);
  EXPECT_EQ(model.Status.Text, "");

  dialling.Dialling = false;
  model.Tick(dialling, After(6));
  EXPECT_EQ(model.View, ProgressView::Reading);
  EXPECT_FALSE(model.DiallingLineVisible);
  EXPECT_TRUE(model.TimesVisible);
}

TEST(ProgressWindow, ShowResetsAndEndOfReadingStopsTheTimers) {
  ReadProgressModel model;
  model.StartReadingView();
  model.Tick(Reading(50), After(10));
  model.Show();
  EXPECT_EQ(model.Caption, "Чтение данных");
  EXPECT_EQ(model.ButtonCaption, "Стоп");
  EXPECT_EQ(model.ElapsedText, "");
  model.StopTimers();
  model.Tick(Reading(60), After(20));
  EXPECT_EQ(model.ElapsedText, "");
  model.OfferClose();
  EXPECT_EQ(model.ButtonCaption, "ОК");
}

}  // namespace
}  // namespace velk
