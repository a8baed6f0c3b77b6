// The main window and the progress window driven as a user drives them: a
// reading from a simulated meter, closing the window during a reading,
// opening a stored dump, the keys of the read panel's edits.
#include "MainWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "GuiHarness.h"
#include "app/SettingsRecord.h"
#include "common/NativePath.h"
#include "decode/views/ArchiveViews.h"
#include "decode/views/CurrentValuesView.h"
#include "decode/views/HexView.h"
#include "decode/views/IdentificationView.h"
#include "gui/FileFilter.h"
#include "gui/ReportChartPanel.h"
#include "gui/ReportViewer.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "imagebuilder/PulseCounterImage.h"

namespace velk::gui::test {
namespace {

namespace fs = std::filesystem;

constexpr int ReadingLimitMs = 60000;

int DumpCount(const fs::path& folder) {
  if (!fs::exists(folder)) return 0;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().extension() == ".dat";
  return count;
}

void ExpectGrid(const Harness& h, const char* name, const TGrid& built) {
  QString difference;
  QVERIFY2(ShowsGrid(*h.Find<GridView>(name), built, &difference),
           qPrintable(QString(name) + ": " + difference));
}

}  // namespace

void MainWindowTest::ReadingThroughTheWindow() {
  Harness h;
  h.StartMeter(10);
  auto* buTest = h.Find<QPushButton>("BuTest");
  QVERIFY(buTest->isVisible());
  QTest::mouseClick(buTest, Qt::LeftButton);

  TfmReadProgress& progress = h.window->Progress();
  QVERIFY(progress.isVisible());
  QCOMPARE(progress.findChild<QPushButton*>("Button1")->text(), QString("Стоп"));
  QVERIFY(!h.Find<QWidget>("TopPanel")->isEnabled());  // no second reading while one runs
  QTRY_VERIFY_WITH_TIMEOUT(!progress.isVisible(), ReadingLimitMs);

  QCOMPARE(progress.findChild<QLabel*>("Label1")->text(), QString("ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО"));
  QVERIFY(h.messages.empty());
  QVERIFY(h.Find<QWidget>("TopPanel")->isEnabled());
  QCOMPARE(DumpCount(h.MeterFolder() / "DAT"), 1);

  const TArchiveViewOptions options{h.app->Settings.ShowRtcRecords, h.app->Settings.PFRec};
  ExpectGrid(h, "LSDGrid", BuildCurrentValuesGrid(h.app->Values));
  ExpectGrid(h, "HrDataGrid", BuildHourGrid(h.app->Values, options));
  ExpectGrid(h, "DayDataGrid", BuildDayGrid(h.app->Values, options));
  ExpectGrid(h, "StringGrid1", BuildHexGrid(h.app->Image, 53));
  ExpectGrid(h, "TSV1HrGrid", h.app->Reports().Views().FirstTsv.HourGrid);
  auto* fileVersion = h.Find<QWidget>("TabSheet1tsv")->findChild<QLineEdit*>("FileVersion");
  QVERIFY(fileVersion);
  QCOMPARE(fileVersion->text().toStdString(),
           h.app->Reports().Views().FirstTsv.Header.Find("FileVersion")->Text);
  QCOMPARE(h.Find<QLineEdit>("ZavNumber")->text().toStdString(),
           BuildIdentificationBox(h.app->Values).Find("ZavNumber")->Text);
  QVERIFY(h.TabShown("TabSheetOperData"));

  // The monitor page shows the monitor's lines once it is shown, also once the
  // log is full and its oldest lines give way.
  for (int i = 0; i < 1200; ++i) h.app->Monitor.Append("line " + std::to_string(i) + "\n");
  const auto shownLines = [&h] { return h.Find<QPlainTextEdit>("MeOtv")->toPlainText().split('\n'); };
  QTest::qWait(300);
  QVERIFY(shownLines().back() != QString("line 1199"));  // a hidden page is not fed
  auto* pages = h.Find<QTabWidget>("PageControl1");
  pages->setTabVisible(pages->indexOf(h.Find<QWidget>("TabSheet5")), true);
  pages->setCurrentWidget(h.Find<QWidget>("TabSheet5"));
  QTRY_COMPARE(shownLines().back(), QString("line 1199"));
  QCOMPARE(shownLines().size(), int(ExchangeMonitor::MaxLines));
  QCOMPARE(shownLines().front(), QString::fromStdString(h.app->Monitor.Lines().front()));

  // The popup toggle rebuilds the hour view from the same decode and keeps the choice.
  const int rowsBefore = h.Find<GridView>("HrDataGrid")->Model().rowCount();
  h.Find<QAction>("PFRec")->trigger();
  QVERIFY(h.app->Settings.PFRec);
  ExpectGrid(h, "HrDataGrid", BuildHourGrid(h.app->Values, {h.app->Settings.ShowRtcRecords, true}));
  QVERIFY(h.Find<GridView>("HrDataGrid")->Model().rowCount() >= rowsBefore);
}

void MainWindowTest::ClosingDuringAReadingStopsAndWaits() {
  Harness h;
  h.StartMeter(200, 20);  // a whole memory, slowly: the reading is still running when the window closes
  QTest::mouseClick(h.Find<QPushButton>("BuTest"), Qt::LeftButton);
  QVERIFY(h.app->ReadingRunning());
  QTRY_VERIFY_WITH_TIMEOUT(h.app->Progress.Bar > 0 || !h.app->Monitor.Lines().empty(), ReadingLimitMs);
  QVERIFY(h.app->ReadingRunning());

  h.window->close();
  QVERIFY(!h.app->ReadingRunning());  // the thread has ended before close returned
  QVERIFY(!h.window->Progress().isVisible());
  QCOMPARE(DumpCount(h.MeterFolder() / "DAT"), 0);
  TSettingsRecord stored;
  QVERIFY(LoadSettings(stored, h.dir / "VelkReader.cfg", h.ui));
  QCOMPARE(stored.MainWidth, h.window->width());
}

void MainWindowTest::OpenArrangesTheTabsOfTheDumpsCode() {
  Harness h;
  TDumpImage heat;
  Family5ImageBuilder(53).SetSerial(12345).FillHourRecords(5).BuildFullDump(SystemClock::Instance().Now(),
                                                                            heat);
  const fs::path heatDump = h.dir / "store" / "53-12345-001.dat";
  velk::test::WriteBytes(heatDump, {heat.DumpImage.begin(), heat.DumpImage.begin() + heat.DumpLength});
  h.window->OpenDumpFile(QString::fromStdString(heatDump.string()));
  QVERIFY(h.messages.empty());
  for (const char* tab : {"TabSheetOperData", "TabSheetArhiv", "TabSheetArhivD", "TabSheetDamp",
                          "TabSheetConst", "TabSheet1tsv", "TabSheet2tsv"}) {
    QVERIFY2(h.TabShown(tab), tab);
  }
  QVERIFY(!h.TabShown("TabSheetTsd"));
  QCOMPARE(h.Find<QTabWidget>("PageControl1")->currentWidget(), h.Find<QWidget>("TabSheetOperData"));
  QVERIFY(h.Find<QAction>("AcView")->isEnabled());
  const auto constant = [&h](const char* name) {
    return h.Find<QWidget>("TabSheetConst")->findChild<QLineEdit*>(name)->text();
  };
  QCOMPARE(constant("LEdit6"), QString("0"));
  QVERIFY(!h.Find<QWidget>("TabSheetConst")->findChild<QLineEdit*>("LEdit50"));

  // A dump with the same constant boxes refills them.
  Family5ImageBuilder(53).SetSerial(12346).SetColdWaterTemp(7).FillHourRecords(5).BuildFullDump(
      SystemClock::Instance().Now(), heat);
  const fs::path secondHeatDump = h.dir / "store" / "53-12346-001.dat";
  velk::test::WriteBytes(secondHeatDump, {heat.DumpImage.begin(), heat.DumpImage.begin() + heat.DumpLength});
  h.window->OpenDumpFile(QString::fromStdString(secondHeatDump.string()));
  QCOMPARE(constant("LEdit6"), QString("7"));

  TDumpImage counter;
  PulseCounterImageBuilder(70).BuildFullDump(SystemClock::Instance().Now(), counter);
  const fs::path counterDump = h.dir / "store" / "70-00001-001.dat";
  velk::test::WriteBytes(counterDump,
                         {counter.DumpImage.begin(), counter.DumpImage.begin() + counter.DumpLength});
  h.window->OpenDumpFile(QString::fromStdString(counterDump.string()));
  QVERIFY(h.messages.empty());
  QVERIFY(h.TabShown("TabSheetTsd"));
  QVERIFY(!h.TabShown("TabSheet1tsv"));
  QVERIFY(!h.TabShown("TabSheet2tsv"));
  QVERIFY(!h.TabShown("TabSheetArhivD"));
  ExpectGrid(h, "SGCImp", h.app->Reports().Views().Channels.SGCImp);
  // The counter's constant boxes replaced the heat meter's: its flags edit is new.
  QVERIFY(h.Find<QWidget>("TabSheetConst")->findChild<QLineEdit*>("LEdit50"));
}

void MainWindowTest::PanelKeysFollowTheInputRules() {
  Harness h;
  h.Find<QAction>("MenuModem")->trigger();
  auto* phone = h.Find<QLineEdit>("PorTelEdit");
  QVERIFY(phone->isVisible());
  phone->setFocus();
  phone->clear();
  QTest::keyClicks(phone, "T12x3T");  // "x" and the second "T" are refused
  QCOMPARE(phone->text(), QString("T123"));
  QCOMPARE(h.app->Panel.PorTelEdit, std::string("T123"));

  h.Find<QAction>("RS4851")->trigger();
  auto* address = h.Find<QLineEdit>("LEdSetevoyAdr");
  QVERIFY(address->isVisible());
  QVERIFY(!phone->isVisible());
  address->setFocus();
  QCOMPARE(address->text(), QString());  // entering clears a lone "0"
  QTest::keyClicks(address, "1a2");
  QCOMPARE(address->text(), QString("12"));
  address->clear();
  h.Find<QWidget>("ComboBox1")->setFocus();
  QCOMPARE(address->text(), QString("0"));  // leaving it empty puts "0" back
}

namespace {

// Runs `step` on the settings dialog once "menu" opens it, then presses `button`.
void WithSettingsDialog(Harness& h, const char* menu, const std::function<void(QDialog&)>& step,
                        const char* button) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    step(*dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    ran = true;
  });
  h.Find<QAction>(menu)->trigger();
  QVERIFY(ran);
}

std::vector<std::uint8_t> FileBytes(const fs::path& file) { return velk::test::ReadBytes(file); }

}  // namespace

void MainWindowTest::SettingsDialogConfirmsCancelsAndStopsAtABadField() {
  TSettingsRecord settings = Harness::Settings();
  settings.ComboBox1 = "COM12";
  Harness h(settings);
  const fs::path cfg = h.dir / "VelkReader.cfg";

  WithSettingsDialog(
      h, "N4",
      [](QDialog& d) {
        QCOMPARE(d.findChild<QTabWidget*>("PageControl1")->currentIndex(), 1);
        QCOMPARE(d.findChild<QComboBox*>("ComboBox1")->currentIndex(), 11);
        d.findChild<QComboBox*>("CBRS232QualityEx")->setCurrentText("64");
        auto* timeOut = d.findChild<QLineEdit*>("LaRS232TimeOut");
        timeOut->clear();
        QTest::keyClicks(timeOut, "4000000");
        QCOMPARE(timeOut->text(), QString("3600000"));
        auto* retries = d.findChild<QLineEdit*>("LaRS232Povtor");
        retries->clear();
        QTest::keyClicks(retries, "-");
        QCOMPARE(retries->text(), QString("-1"));
      },
      "OKBtn");
  TSettingsRecord stored;
  QVERIFY(LoadSettings(stored, cfg, h.ui));
  QCOMPARE(int(stored.CBRS232QualityEx), 4);
  QCOMPARE(stored.LaRS232TimeOut, 3600000);
  QCOMPARE(stored.LaRS232Povtor, -1);
  QCOMPARE(stored.ComboBox1, std::string("COM12"));

  const std::vector<std::uint8_t> before = FileBytes(cfg);
  WithSettingsDialog(
      h, "N4", [](QDialog& d) { d.findChild<QLineEdit*>("LaRS232TimeOut")->setText("1234"); }, "CancelBtn");
  QCOMPARE(h.app->Settings.LaRS232TimeOut, 3600000);
  QVERIFY(FileBytes(cfg) == before);

  WithSettingsDialog(
      h, "N4",
      [](QDialog& d) {
        d.findChild<QLineEdit*>("LaRS232TimeOut")->setText("250");
        d.findChild<QLineEdit*>("NKPPovtor")
            ->clear();  // the carrier pages convert their edits unconditionally
      },
      "OKBtn");
  QCOMPARE(h.messages.size(), std::size_t(1));
  QCOMPARE(h.app->Settings.LaRS232TimeOut, 250);  // fields before the bad one are taken
  QVERIFY(FileBytes(cfg) == before);              // but nothing is written

  WithSettingsDialog(
      h, "N1",
      [](QDialog& d) {
        QCOMPARE(d.findChild<QTabWidget*>("PageControl1")->currentIndex(), 0);
        auto* dataPanel = d.findChild<QCheckBox*>("DATAPanelVisible");
        dataPanel->setChecked(false);
        QVERIFY(!d.findChild<QCheckBox*>("OPVDataVisible")->isEnabled());
      },
      "OKBtn");
  QCOMPARE(h.window->height(), 113);
  QVERIFY(!h.Find<QWidget>("PageControl1")->isVisible());
}

void MainWindowTest::JoinFilesConvertsTheChosenFolder() {
  Harness h;
  const fs::path folder = h.dir / "data";
  for (int number : {2, 1}) {
    TDumpImage image;
    Family5ImageBuilder(53)
        .SetSerial(12345)
        .FillHourRecords(3 + number)
        .BuildFullDump(SystemClock::Instance().Now(), image);
    velk::test::WriteBytes(folder / ("53-12345-00" + std::to_string(number) + ".dat"),
                           {image.DumpImage.begin(), image.DumpImage.begin() + image.DumpLength});
  }
  QString preset;
  QTimer::singleShot(0, [&] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(chooser);
    preset = chooser->directory().absolutePath();
    QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
  });
  h.Find<QAction>("N6")->trigger();
  QCOMPARE(preset, QString::fromStdString(folder.string()));  // the chooser starts in the data folder
  QVERIFY(h.messages.empty());
  QVERIFY(!h.app->ReportName1().empty());
  QVERIFY2(fs::exists(ToNativePath(h.app->ReportName1())), h.app->ReportName1().c_str());
  QVERIFY(h.app->Settings.TSVCnc);  // as it was before the batch
}

void MainWindowTest::DumpFilterInQtSyntax() {
  QCOMPARE(QtFileFilter("Бинарные файлы (*.dat; *.dtm;*.vsb)|*.dat; *.dtm; *.vsb|Все файлы (*.*)|*.*"),
           std::string("Бинарные файлы (*.dat *.dtm *.vsb);;Все файлы (*)"));
}

// The viewer opened on the files a decode wrote shows what the report tabs show, cell for cell.
void MainWindowTest::ViewerShowsTheReportTabsCellsAndRefusesDamagedFiles() {
  Harness h;
  const auto sameCells = [](QWidget* tab, QWidget* page, const char* grid) {
    auto* shown = page->findChild<GridView*>(grid);
    QVERIFY2(shown, grid);
    QString difference;
    QVERIFY2(ShowsGrid(*shown, tab->findChild<GridView*>(grid)->Model().Grid(), &difference),
             qPrintable(QString(grid) + ": " + difference));
  };
  const auto sameEdits = [](QWidget* tab, QWidget* page) {
    const auto edits = tab->findChildren<QLineEdit*>();
    const auto twins = page->findChildren<QLineEdit*>();
    QVERIFY(!edits.isEmpty());
    QCOMPARE(twins.size(), edits.size());
    for (qsizetype i = 0; i < edits.size(); ++i) {
      QCOMPARE(twins[i]->objectName(), edits[i]->objectName());
      QCOMPARE(twins[i]->text(), edits[i]->text());
    }
  };
  const auto open = [&](const fs::path& dump) {
    velk::test::WriteBytes(h.dir / "store" / dump.filename(), velk::test::ReadBytes(dump));
    h.window->OpenDumpFile(QString::fromStdString((h.dir / "store" / dump.filename()).string()));
    QVERIFY(h.messages.empty());
  };
  TDumpImage heat;
  Family5ImageBuilder(53).SetSerial(12345).FillHourRecords(30).BuildFullDump(SystemClock::Instance().Now(),
                                                                             heat);
  velk::test::WriteBytes(h.dir / "53-12345-001.dat",
                         {heat.DumpImage.begin(), heat.DumpImage.begin() + heat.DumpLength});
  open(h.dir / "53-12345-001.dat");

  TfmReportViewer viewer(h.ui);
  const QStringList both{QString::fromStdString(ToNativePath(h.app->ReportName1()).string()),
                         QString::fromStdString(ToNativePath(h.app->ReportName2()).string())};
  QCOMPARE(viewer.OpenFiles(both), 2);
  QCOMPARE(viewer.Tabs().count(), 3);  // two systems and the chart
  if (viewer.Chart().HasSeries()) {    // built with Qt Charts: the chart is in front and saves as PNG
    QCOMPARE(viewer.Tabs().currentWidget(), static_cast<QWidget*>(&viewer.Chart()));
    const QString png = QString::fromStdString((h.dir / "chart.png").string());
    QVERIFY(viewer.SaveChart(png));
    QVERIFY(!QImage(png).isNull());
  }
  for (int system = 1; system <= 2; ++system) {
    QWidget* tab = h.Find<QWidget>(system == 1 ? "TabSheet1tsv" : "TabSheet2tsv");
    viewer.Tabs().setCurrentIndex(system - 1);
    QWidget* page = viewer.Tabs().widget(system - 1);
    for (const char* grid : {"HrGrid", "DayGrid", "MonthGrid"})
      sameCells(tab, page, qPrintable(QString("TSV%1").arg(system) + grid));
    sameEdits(tab, page);
  }

  TDumpImage counter;
  PulseCounterImageBuilder(70).BuildFullDump(SystemClock::Instance().Now(), counter);
  velk::test::WriteBytes(h.dir / "70-00001-001.dat",
                         {counter.DumpImage.begin(), counter.DumpImage.begin() + counter.DumpLength});
  open(h.dir / "70-00001-001.dat");
  QStringList channels;
  for (const auto& entry : fs::recursive_directory_iterator(h.dir / "data"))
    if (entry.path().extension() == ".tsd") channels.prepend(QString::fromStdString(entry.path().string()));
  QCOMPARE(viewer.OpenFiles(channels), 4);
  QCOMPARE(viewer.Tabs().count(), 2);  // the counter's channels share a page
  viewer.Tabs().setCurrentIndex(0);
  QWidget* tsd = h.Find<QWidget>("TabSheetTsd");
  for (const char* grid :
       {"SGCImp", "SGNotations", "SGDataDom", "SGHourDataDom", "SGDayDataDom", "SGMontDataDom"})
    sameCells(tsd, viewer.Tabs().widget(0), grid);
  sameEdits(tsd, viewer.Tabs().widget(0));
  QVERIFY(viewer.ExportCsv(QString::fromStdString((h.dir / "channels.csv").string())));
  const auto csv = velk::test::ReadBytes(h.dir / "channels.csv");
  QVERIFY(std::string(csv.begin(), csv.end()).rfind("\xEF\xBB\xBF\"Дата, Время\",N 01,\"V,м3 01\",N 02", 0) ==
          0);

  // A truncated file is named with its fault; the good file beside it is still opened.
  auto bytes = velk::test::ReadBytes(both.front().toStdString());
  bytes.resize(bytes.size() - 5);
  velk::test::WriteBytes(h.dir / "cut.tsv", bytes);
  QCOMPARE(viewer.OpenFiles({QString::fromStdString((h.dir / "cut.tsv").string()), channels.back()}), 1);
  QCOMPARE(h.messages.size(), std::size_t(1));
  QVERIFY2(
      h.messages[0].find((h.dir / "cut.tsv").string() + "' не открыт: файл обрезан") != std::string::npos,
      h.messages[0].c_str());
  QCOMPARE(velk::test::ReadBytes(h.dir / "cut.tsv"), bytes);
}

}  // namespace velk::gui::test
