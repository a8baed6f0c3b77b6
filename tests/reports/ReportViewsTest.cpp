// The report tabs built from the report images.
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "reports/ReportViews.h"
#include "reports/TsdBuilder.h"
#include "reports/TsvBuilder.h"

namespace velk {
namespace {

const TLabelledEdit& Edit(const TEditBox& box, const std::string& name) {
  const TLabelledEdit* edit = box.Find(name);
  if (!edit) throw std::runtime_error("no edit " + name);
  return *edit;
}

TEST(TsvReportView, HeaderTotalsAndRecordGrid) {
  auto v = test::Meter(53, "А2");
  v.InitDateText = "01.01.2020";
  v.InitTimeText = "00:00:00";
  v.ColdWaterTemp = 5.25;
  v.WorkMinutes1 = 90;
  v.HourRecords = test::Hours(test::HourOf(1), 2);
  v.HourRecords[0].WorkMin1 = 90;
  v.HourRecords[1].G1 = 123456.5;
  TTsvReportImage image;
  BuildTsvSystem1(image, v);
  const TsvReportView view = BuildTsvReportView(image, v, 1);

  EXPECT_EQ(view.TabName, "TabSheet1tsv");
  EXPECT_EQ(view.PageControlName, "PageControl2");
  EXPECT_EQ(view.Pages.size(), 7u);
  EXPECT_EQ(view.Pages[3], "LastReadData, PrevReadData, LastHourData");
  EXPECT_EQ(Edit(view.Header, "SerualNumber").Text, "53-01234");
  EXPECT_EQ(Edit(view.Header, "SerualNumber").Label, "Серийный номер (SerualNumber)");
  EXPECT_EQ(Edit(view.Header, "DeviceType").Text, "ВТМ-64-ТАНДЕМ -А2 / 1");
  EXPECT_EQ(Edit(view.Header, "InitDateTime").Text, "01.01.2020  00:00:00");
  EXPECT_EQ(Edit(view.Header, "HourRecordCount").Text, "2");
  EXPECT_EQ(Edit(view.Header, "Txw").Text, "5.25");
  EXPECT_EQ(Edit(view.Notations, "NotQ").Label, "Обозначение тепловой энергии (NotQ)");
  EXPECT_EQ(Edit(view.Notations, "NotQ").Text, "Q1");
  EXPECT_EQ(Edit(view.RealData, "K").Text, "4");
  EXPECT_EQ(Edit(view.RealData, "Tr1").Text, "70");
  EXPECT_EQ(view.Totals[0].Caption, "LastReadData");
  EXPECT_EQ(Edit(view.Totals[0], "WorkTime").Text, "1:30");
  EXPECT_EQ(Edit(view.Totals[0], "Q").Text, "100");
  // Every box of the tab is shown (a hidden box renders as nothing).
  for (const TEditBox* box : {&view.Header, &view.Notations, &view.RealData, &view.Totals[0], &view.Totals[1],
                              &view.Totals[2]})
    EXPECT_TRUE(box->Visible) << box->Name;

  const TGrid& hours = view.HourGrid;
  EXPECT_EQ(hours.Name, "TSV1HrGrid");
  ASSERT_EQ(hours.ColumnCount(), 16);
  ASSERT_EQ(hours.RowCount(), 3);
  EXPECT_EQ(hours.Text(0, 0), "Дата, время");
  EXPECT_EQ(hours.Text(0, 15), "Код НС");
  EXPECT_EQ(hours.Text(1, 0), "01.03.2024 01:00:00");
  EXPECT_EQ(hours.Text(1, 1), "1.000");
  EXPECT_EQ(hours.Text(1, 14), "90");
  EXPECT_EQ(hours.At(0, 3).Background, GridLightYellow);
  EXPECT_EQ(hours.At(2, 0).Background, GridLightYellow);
  EXPECT_EQ(hours.At(2, 3).Background, GridWhite);
  EXPECT_EQ(hours.RowHeightPixels, 17);
  // Value columns are as wide as their widest text: a large mass is not cut.
  EXPECT_EQ(hours.Text(2, 2), "123456.500");
  EXPECT_EQ(hours.ColumnWidths[2].Widest, "123456.500");
  EXPECT_EQ(hours.ColumnWidths[15].Widest, "Код НС");
}

TEST(TsvReportView, EmptyTableShowsHeadingAndOneBlankRow) {
  auto v = test::Meter(54);
  v.HourRecords.clear();
  TTsvReportImage image;
  BuildTsvSystem1(image, v);
  const TsvReportView view = BuildTsvReportView(image, v, 2);
  EXPECT_EQ(view.TabName, "TabSheet2tsv");
  EXPECT_EQ(view.MonthGrid.Name, "TSV2MonthGrid");
  ASSERT_EQ(view.HourGrid.RowCount(), 2);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(view.HourGrid.Text(1, c), "");
}

TEST(WorkTimeText, HoursAndMinutesUnpadded) {
  EXPECT_EQ(WorkTimeText(1.5 / 24), "1:30");
  EXPECT_EQ(WorkTimeText(0), "0:0");
  EXPECT_EQ(WorkTimeText(2.0), "48:0");
}

TEST(TsdReportView, SixteenChannelsFillSeventeenColumns) {
  auto v = test::Meter(71);
  v.ChannelCount = 16;
  for (int k = 0; k < 16; ++k) {
    v.ChannelPulsePrice[k] = 2.5;
    for (auto& h : v.HourRecords) h.ChannelVolumes[k] = 0.125 * (k + 1);
  }
  TsdReportView view;
  TTsdReportImage image;
  for (int k = 0; k < 16; ++k) {
    BuildTsdChannel(image, v, k);
    AddTsdChannelToView(view, image, k + 1, 16);
  }
  EXPECT_EQ(view.ChannelsShown, 16);
  EXPECT_TRUE(view.Header.Visible);
  for (const TGrid* grid : {&view.SGCImp, &view.SGNotations, &view.SGDataDom, &view.SGHourDataDom,
                            &view.SGDayDataDom, &view.SGMontDataDom})
    EXPECT_EQ(grid->ColumnCount(), 17) << grid->Name;
  EXPECT_EQ(view.SGCImp.Text(0, 0), "№ канала");
  EXPECT_EQ(view.SGCImp.Text(1, 0), "Цена импульса");
  EXPECT_EQ(view.SGCImp.Text(0, 16), "16");
  EXPECT_EQ(view.SGCImp.Text(1, 16), "2.5");
  EXPECT_EQ(view.SGNotations.Text(1, 0), "Обозночение N");
  EXPECT_EQ(view.SGNotations.Text(2, 3), "V");
  EXPECT_EQ(view.SGDataDom.Text(9, 0), "LastHourData");
  EXPECT_EQ(view.SGDataDom.Text(12, 0), "Vотч, м3");
  EXPECT_EQ(view.SGDataDom.Text(1, 1), "02.03.2024");  // the meter clock at reading
  EXPECT_EQ(view.SGDataDom.Text(1, 2), "01:14:24");
  EXPECT_EQ(view.SGHourDataDom.RowCount(), 26);
  EXPECT_EQ(view.SGHourDataDom.Text(1, 0), "Дата, Время");
  EXPECT_EQ(view.SGHourDataDom.Text(1, 5), "N / V,м3");
  EXPECT_EQ(view.SGHourDataDom.Text(2, 0), "01.03.2024 01:00:00");
  EXPECT_EQ(view.SGHourDataDom.Text(2, 1), "50 / 0.125");
  EXPECT_EQ(view.SGHourDataDom.Text(2, 16), "800 / 2.000");
  EXPECT_GE(view.SGCImp.ColumnWidths[16].FixedPixels, 40);
  EXPECT_EQ(Edit(view.Header, "LEdDeviceType").Text, "СТРИЖ-16  (001) ");
  EXPECT_EQ(view.SGDataDom.At(5, 0).Background, ReportButtonFace);
  EXPECT_EQ(view.SGDataDom.At(6, 0).Background, ReportCream);

  // A new decode starts the view again at channel 1.
  BuildTsdChannel(image, v, 0);
  AddTsdChannelToView(view, image, 1, 4);
  EXPECT_EQ(view.ChannelsShown, 1);
  EXPECT_EQ(view.SGCImp.ColumnCount(), 5);
}

}  // namespace
}  // namespace velk
