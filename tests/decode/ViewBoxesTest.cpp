// The identification box, the accumulated-data box and their text rendering.
#include <gtest/gtest.h>

#include "decode/views/IdentificationView.h"
#include "decode/views/PageLayout.h"
#include "decode/views/TextRender.h"
#include "decode/views/ViewTexts.h"

namespace velk {
namespace {

namespace vt = viewtext;

TDateTime At(int y, int mo, int d, int h, int mi) { return *EncodeDateTime({y, mo, d, h, mi, 0, 0}); }

std::string Visible(const TEditBox& box) {
  std::string names;
  for (const auto& e : box.Edits)
    if (e.Visible) names += e.Name + " ";
  return names;
}

TEST(ViewBoxes, IdentificationBox) {
  TDecodedValues v;
  v.TypeTS = "T";
  v.ZavNumber = "53-01234";
  v.InitDateText = "01.01.2025";
  v.InitTimeText = "00:00:00";
  v.ReadTime = At(2026, 2, 1, 8, 20);
  const TEditBox box = BuildIdentificationBox(v);
  EXPECT_EQ(box.Caption, vt::IdentBoxCaption);
  EXPECT_EQ(box.Find("TypeTS")->Label, vt::TypeLabel);
  EXPECT_EQ(box.Find("ZavNumber")->Text, "53-01234");
  EXPECT_EQ(box.Find("DateTimeIni")->Text, "01.01.2025  00:00:00");
  EXPECT_EQ(box.Find("DateTimeCH")->Text, "01.02.2026  08:20:00");
}

TEST(ViewBoxes, AccumulatedEditsPerFamily) {
  TDecodedValues v;
  v.TotTime = At(2026, 2, 1, 8, 0);
  v.TotQ1 = 12.5;
  v.TotWorkMinutes1 = 61;
  v.TotVolume1 = 3;
  v.DeviceCode = 53;
  TEditBox box = BuildAccumulatedBox(v);
  EXPECT_EQ(box.Caption, std::string(vt::AccumulatedCaption) + "01.02.2026  08:00:00");
  EXPECT_EQ(Visible(box),
            "LEdQ1 LEdQ2 LEdTsr1 LEdTsr2 LEdG1 LEdG2 LEdG3 LEdG4 LEdV1 LEdV2 LEdV3 LEdV4 LEdV5 ");
  EXPECT_EQ(box.Find("LEdQ1")->Text, "12.500");
  EXPECT_EQ(box.Find("LEdQ1")->Label, vt::LabelQ1);
  EXPECT_EQ(box.Find("LEdTsr1")->Text, "1:01");
  EXPECT_EQ(box.Find("LEdG4")->Label, vt::LabelG[3]);

  v.DeviceCode = 54;
  EXPECT_EQ(Visible(BuildAccumulatedBox(v)), "LEdQ1 LEdTsr1 LEdG1 LEdG2 LEdG3 LEdV1 LEdV2 LEdV3 ");
  v.DeviceCode = 23;
  EXPECT_EQ(Visible(BuildAccumulatedBox(v)),
            "LEdQ1 LEdQ2 LEdTsr1 LEdTsr2 LEdG1 LEdG2 LEdG3 LEdV1 LEdV2 LEdV3 ");

  v.DeviceCode = 50;
  box = BuildAccumulatedBox(v);
  EXPECT_EQ(Visible(box), "LEdQ1 LEdQ2 LEdG1 LEdG2 LEdV1 LEdV2 LEdV3 ");
  EXPECT_EQ(box.Find("LEdQ1")->Label, vt::LabelQCompact);
  EXPECT_EQ(box.Find("LEdQ2")->Label, vt::LabelTsr1);
  EXPECT_EQ(box.Find("LEdQ2")->Text, "1:01");

  v.DeviceCode = 60;
  box = BuildAccumulatedBox(v);
  EXPECT_EQ(Visible(box), "LEdV1 ");
  EXPECT_EQ(box.Find("LEdV1")->Label, vt::LabelVFlowMeter);
  EXPECT_EQ(box.Find("LEdV1")->Text, "3.000");
  EXPECT_EQ(box.Find("LEdQ1")->Label, "");
}

TEST(ViewBoxes, PulseCounterChannelTotals) {
  TDecodedValues v;
  v.DeviceCode = 71;
  for (int i = 0; i < 16; ++i) v.ChannelTotal[i] = i + 0.5;
  v.ChannelCount = 9;
  TEditBox box = BuildAccumulatedBox(v);
  EXPECT_EQ(Visible(box), "LEdQ1 LEdQ2 LEdTsr1 LEdTsr2 LEdG1 ");
  EXPECT_EQ(box.Edits[0].Label,
            std::string(vt::PulseEditPrefix) + "1" + vt::PulseEditJoin + "2" + vt::PulseEditSuffix);
  EXPECT_EQ(box.Edits[0].Text, "0.500 | 1.500");
  EXPECT_EQ(box.Edits[4].Label, std::string(vt::PulseEditPrefix) + "9" + vt::PulseEditSuffix);
  EXPECT_EQ(box.Edits[4].Text, "8.500");

  v.ChannelCount = 8;
  box = BuildAccumulatedBox(v);
  EXPECT_EQ(Visible(box), "LEdQ1 LEdQ2 LEdTsr1 LEdTsr2 LEdG1 LEdG2 LEdG3 LEdG4 ");
  EXPECT_EQ(box.Edits[7].Label, std::string(vt::PulseEditPrefix) + "8" + vt::PulseEditSuffix);
  EXPECT_EQ(box.Edits[7].Text, "7.500");
}

TEST(ViewBoxes, RowsFilledOnFirstUseKeepWhatWasWrittenAndSurviveCopiesAndGrowth) {
  TGrid g("G", 4, 2);
  g.SetText(0, 0, "heading");
  int made = 0;
  g.SetRowFill(1, [&made](int row, std::span<TGridCell> cells) {
    ++made;
    cells[0].Text = "row " + std::to_string(row);
    cells[1].Background = GridLightYellow;
  });
  EXPECT_EQ(made, 0);
  EXPECT_EQ(g.Text(0, 0), "heading");
  EXPECT_EQ(g.Text(2, 0), "row 2");
  EXPECT_EQ(g.Text(2, 0), "row 2");
  EXPECT_EQ(made, 1);
  g.SetText(3, 1, "written");  // the row is made first, so the fill does not undo the write
  EXPECT_EQ(g.Text(3, 1), "written");
  EXPECT_EQ(g.Text(3, 0), "row 3");
  const TGrid copy = g;
  EXPECT_EQ(copy.At(1, 1).Background, GridLightYellow);
  EXPECT_EQ(g.At(9, 0).Text, "");
  g.SetRowCount(6);
  EXPECT_EQ(g.Text(5, 0), "row 5");
  EXPECT_EQ(g.Text(3, 1), "written");
  EXPECT_NE(RenderGrid(g).find("row 4"), std::string::npos);  // printing makes the rows not yet shown
}

TEST(ViewBoxes, TextRendering) {
  TGrid g("G", 2, 3);
  g.SetText(0, 0, "Дата");
  g.SetText(0, 1, "x");
  g.SetText(1, 0, "1");
  g.SetText(1, 1, "  22");
  g.SetText(1, 2, "333");
  EXPECT_EQ(RenderGrid(g), "Дата  x\n1       22  333\n");

  TEditBox box;
  box.Caption = "C";
  box.Edits = {{"E1", "L1", "t1", true}, {"E2", "", "t2", true}, {"E3", "L3", "t3", false}};
  EXPECT_EQ(RenderEditBox(box), "C\nL1: t1\nE2: t2\n");
  box.Visible = false;
  EXPECT_EQ(RenderEditBox(box), "");

  TConstantsView view;
  TEditBox a, b;
  a.Edits = {{"A", "a", "1", true}};
  b.Edits = {{"B", "b", "2", true}};
  view.Groups = {a, box, b};
  EXPECT_EQ(RenderConstantsView(view), "a: 1\n\nb: 2\n");
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

TEST(ViewPageLayout, TabsPerCodeAndSettings) {
  TPageSettings s;
  TPageLayout p = ArrangePagesLayout(53, s);
  EXPECT_TRUE(p.ShowOperational && p.ShowConstants && p.ShowHex && p.ShowArchive && p.ShowDayArchive);
  EXPECT_TRUE(p.ShowTsv1 && p.ShowTsv2);
  EXPECT_FALSE(p.ShowTsd);
  EXPECT_TRUE(p.ActivateOperational);

  p = ArrangePagesLayout(50, s);
  EXPECT_TRUE(p.ShowArchive);
  EXPECT_FALSE(p.ShowDayArchive);
  EXPECT_FALSE(p.ShowTsv2);
  EXPECT_TRUE(ArrangePagesLayout(23, s).ShowDayArchive);

  p = ArrangePagesLayout(71, s);
  EXPECT_TRUE(p.FillHours);
  EXPECT_FALSE(p.FillDays);
  EXPECT_FALSE(p.ShowTsv1 || p.ShowTsv2);
  EXPECT_TRUE(p.ShowTsd);

  s.CurrentValuesOnly = true;
  s.ConnectionIndex = 7;
  p = ArrangePagesLayout(53, s);
  EXPECT_FALSE(p.FillHours || p.ShowArchive);
  EXPECT_FALSE(p.ActivateOperational);
  s.ConnectionIndex = 0;
  s.HasCommandLineArguments = true;
  EXPECT_FALSE(ArrangePagesLayout(53, s).ActivateOperational);
  s.HasCommandLineArguments = false;
  s.OPVDataVisible = false;
  EXPECT_FALSE(ArrangePagesLayout(53, s).ActivateOperational);

  TDecodedValues v;
  EXPECT_TRUE(ViewsMayFill(v, true));
  EXPECT_FALSE(ViewsMayFill(v, false));
  v.DisplaySuppressed = true;
  EXPECT_FALSE(ViewsMayFill(v, true));
}

}  // namespace
}  // namespace velk
