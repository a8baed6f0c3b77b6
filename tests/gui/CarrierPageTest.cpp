// The carrier page: connecting, selecting with Ctrl and Shift and copying from
// an НКП-3М; copy + delete, the bad-type dialog and the block map of an ЛТР;
// the memory check through TWarn1Form; stopping and closing during a copy;
// the window's competing commands while a carrier command runs.
#include "CarrierPageTest.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <thread>

#include "carrier-sim/CarrierFileImages.h"
#include "carrier/CarrierTexts.h"
#include "gui/CarrierPageForm.h"
#include "gui/QtText.h"
#include "GuiHarness.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace velk::gui::test {
namespace {

namespace fs = std::filesystem;
namespace txt = velk::carrier_text;

int DumpsUnder(const fs::path& folder) {
  if (!fs::exists(folder)) return 0;
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) count += entry.path().extension() == ".dat";
  return count;
}

// A family-53 meter's image as an НКП-3М file.
std::vector<std::uint8_t> NkpMeterFile(std::uint16_t serial) {
  TDumpImage meter;
  const TDateTime read = SystemClock::Instance().Now() - 0.5;
  Family5ImageBuilder(53).SetSerial(serial).FillHourRecords(24).BuildFullDump(read, meter);
  NkpFileHeader header;
  header.SerialNumber = serial;
  header.ReadTime = header.SecondDate = read;
  return MakeNkpFile(meter.Bytes(), header);
}

LtrCarrierFile LtrFile(std::uint8_t type, std::uint16_t serial) {
  std::vector<std::uint8_t> image(17001);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
  image[128] = type;
  return MakeLtrFile(image, serial, SystemClock::Instance().Now() - 0.25, 3.5);
}

template <class T>
T* OnPage(const Harness& h, const char* name) {
  return h.Find<QWidget>("TabSheet1")->findChild<T*>(name);
}

CarrierGridView* Grid(const Harness& h) { return OnPage<CarrierGridView>(h, "SPGrid"); }

// An НКП-3М page opens polling: the first press of ReadSPBtn turns the poll
// off ("Выключить Автоопрос"), the second connects.
void ConnectNkp(const Harness& h) {
  auto* read = OnPage<QPushButton>(h, "ReadSPBtn");
  QCOMPARE(read->text(), Q(txt::ActPollOff));
  QTest::mouseClick(read, Qt::LeftButton);
  QCOMPARE(read->text(), Q(txt::ActConnectNkp));
  QTest::mouseClick(read, Qt::LeftButton);
  QCOMPARE(read->text(), Q(txt::DisconnectNkp));
}

void ClickRow(const Harness& h, int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
  CarrierGridView* grid = Grid(h);
  const QRect cell = grid->visualRect(grid->model()->index(row - 1, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, cell.center());
}

// Clicks `button` of the modal dialog `dialog` once it shows; what `probe` reads from it is kept.
void AnswerDialog(const char* dialog, const char* button, QString* shown = nullptr, const char* probe = nullptr) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != dialog) return;
    if (probe && shown) *shown = modal->findChild<QLabel*>(probe)->text();
    timer->stop();
    timer->deleteLater();
    modal->findChild<QPushButton*>(button)->click();
  });
  timer->start(10);
}

// The grid, the labels and the clock edits show the page state.
void ExpectPageShown(const Harness& h) {
  const CarrierPageState& page = h.app->Carrier.Page;
  QAbstractItemModel* model = Grid(h)->model();
  QCOMPARE(model->rowCount(), page.Grid.RowCount() - 1);
  for (int row = 1; row < page.Grid.RowCount(); ++row)
    for (int col = 0; col < model->columnCount(); ++col)
      QCOMPARE(model->index(row - 1, col).data().toString(), Q(page.Grid.Row(row)[std::size_t(col)]));
  const std::pair<const char*, const CarrierLabel*> labels[] = {
      {"Label236", &page.Label236}, {"Label237", &page.Label237}, {"Label238", &page.Label238},
      {"Label239", &page.Label239}, {"Label2", &page.Label2},     {"Label3", &page.Label3},
      {"Label12", &page.Label12},   {"Label60", &page.Label60}};
  for (const auto& [name, label] : labels) {
    QLabel* shown = OnPage<QLabel>(h, name);
    QCOMPARE(shown->text(), Q(label->Text));
    QCOMPARE(shown->palette().color(QPalette::WindowText), ToQColor(label->TextColour));
  }
  QCOMPARE(OnPage<QLineEdit>(h, "Edit1")->text(), Q(page.Edit1));
}

// Watches the window's competing commands while a carrier command runs.
class CommandWatch {
 public:
  explicit CommandWatch(const Harness& h) {
    QObject::connect(&timer_, &QTimer::timeout, [this, &h] {
      if (!h.app->Carrier.CommandsLocked()) return;
      ++locked;
      for (const char* name : {"BuTest", "OpenButton", "MODBox"}) leaked += h.Find<QWidget>(name)->isEnabled();
      for (const char* name : {"Open1", "N6", "N1", "N4"}) leaked += h.Find<QAction>(name)->isEnabled();
    });
    timer_.start(5);
  }
  int locked = 0, leaked = 0;

 private:
  QTimer timer_;
};

}  // namespace

void CarrierPageTest::NkpConnectSelectAndCopy() {
  Harness h;
  SimulatedCarrier& nkp = h.StartCarrier(CarrierKind::Nkp);
  nkp.SetSerial(777);
  for (std::uint16_t serial : {12345, 12346, 12347}) QVERIFY(nkp.AddNkpFile(NkpMeterFile(serial)));
  h.SelectMODBox(ItemNkp);
  QVERIFY(h.TabShown("TabSheet1"));
  auto* tabs = h.Find<QTabWidget>("PageControl1");
  QCOMPARE(tabs->tabText(tabs->indexOf(h.Find<QWidget>("TabSheet1"))), Q(txt::NameNkp));
  QVERIFY(!OnPage<QWidget>(h, "BitBtn4")->isVisible());  // copy + delete is the ЛТР's
  CommandWatch watch(h);
  ConnectNkp(h);
  QCOMPARE(Grid(h)->model()->rowCount(), 3);
  QCOMPARE(Grid(h)->rowHeight(0), 17);
  // The columns are as wide as given, or wider where a text needs it: no reading time is cut.
  QVERIFY(Grid(h)->columnWidth(1) >= 110);
  const QString readTime = Grid(h)->model()->index(0, 3).data().toString();
  QVERIFY(Grid(h)->fontMetrics().horizontalAdvance(readTime) <= Grid(h)->columnWidth(3));
  QCOMPARE(OnPage<QLabel>(h, "Label2")->text(), Q(std::string(txt::FileCountLabel) + "3"));
  ExpectPageShown(h);

  ClickRow(h, 1);
  ClickRow(h, 3, Qt::ShiftModifier);
  ClickRow(h, 2, Qt::ControlModifier);
  const CarrierFileGrid& grid = h.app->Carrier.Page.Grid;
  QCOMPARE(grid.SelectedCount(), 2);
  QVERIFY(grid.Selected(1) && !grid.Selected(2) && grid.Selected(3));
  QCOMPARE(OnPage<QLabel>(h, "Label236")->text(), Q(std::string(txt::SelectedPrefix) + "2" + txt::SelectedSuffix));

  auto* copy = OnPage<QPushButton>(h, "BitBtn2");
  QCOMPARE(copy->text(), Q(txt::ActCopy));
  QTest::mouseClick(copy, Qt::LeftButton);
  QCOMPARE(DumpsUnder(h.dir / "data" / "53-12345"), 1);
  QCOMPARE(DumpsUnder(h.dir / "data" / "53-12346"), 0);
  QCOMPARE(DumpsUnder(h.dir / "data" / "53-12347"), 1);
  QCOMPARE(copy->text(), Q(txt::ActCopy));
  QVERIFY2(h.messages.empty(), h.messages.empty() ? "" : h.messages.front().c_str());
  QVERIFY(watch.locked > 0);
  QCOMPARE(watch.leaked, 0);  // "Читать", "Открыть", "Соединить файлы", the settings and MODBox
  QVERIFY(h.Find<QWidget>("OpenButton")->isEnabled());
  ExpectPageShown(h);
}

void CarrierPageTest::LtrCopyDeleteBadTypeAndRestore() {
  Harness h;
  SimulatedCarrier& ltr = h.StartCarrier(CarrierKind::Ltr);
  ltr.SetMemorySize(64);
  ltr.AddLtrFile(0, LtrFile(12, 1));
  ltr.AddLtrFile(3, LtrFile(57, 2));  // "Тип неизвестен": cannot be copied
  ltr.AddLtrFile(5, LtrFile(35, 3));
  h.SelectMODBox(ItemLtr);
  auto* read = OnPage<QPushButton>(h, "ReadSPBtn");
  QCOMPARE(read->text(), Q(txt::ActConnectLtr));
  QTest::mouseClick(read, Qt::LeftButton);
  QCOMPARE(read->text(), Q(txt::DisconnectLtr));
  QCOMPARE(h.messages.size(), std::size_t(1));  // the connect hint, its carriage returns as line breaks
  QVERIFY(Q(h.messages[0]).startsWith(Q(txt::LtrConnectHint1).replace('\r', '\n')));
  QCOMPARE(Grid(h)->model()->rowCount(), 3);
  // The unknown type is drawn red and bold.
  const QModelIndex unknown = Grid(h)->model()->index(1, 1);
  QCOMPARE(unknown.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  const QFont bold = unknown.data(Qt::FontRole).value<QFont>();
  QVERIFY(bold.bold());
  QCOMPARE(bold.pointSize(), Grid(h)->font().pointSize());
  for (int column = 0; column < Grid(h)->model()->columnCount(); ++column) {  // and none of its texts is cut
    const QString text = Grid(h)->model()->index(1, column).data().toString();
    QVERIFY2(QFontMetrics(bold).horizontalAdvance(text) <= Grid(h)->columnWidth(column), qPrintable(text));
  }

  ClickRow(h, 1);
  ClickRow(h, 3, Qt::ShiftModifier);
  QString serialShown;
  AnswerDialog("BedTypeForm", "DeleteBtn", &serialShown, "SerialLabel");
  QTest::mouseClick(OnPage<QPushButton>(h, "BitBtn4"), Qt::LeftButton);
  QCOMPARE(serialShown, QString("57-00002"));
  QVERIFY(ltr.LtrFileBlocks().empty());  // two copied and deleted, the third deleted in the dialog
  QCOMPARE(DumpsUnder(h.dir / "data"), 2);
  QCOMPARE(Grid(h)->model()->rowCount(), 1);
  ExpectPageShown(h);

  // The block panel: its opening action is hidden while it is open.
  auto* open = OnPage<QToolButton>(h, "LTRDopMemENBtn");
  QTest::mouseClick(open, Qt::LeftButton);
  QVERIFY(OnPage<QWidget>(h, "Panel14")->isVisible());
  QVERIFY(!open->isVisible());
  auto* map = OnPage<QTableView>(h, "LTRMemGrid");
  QCOMPARE(map->model()->rowCount(), 8);
  QCOMPARE(map->rowHeight(1), 14);
  QCOMPARE(map->columnWidth(0), 22);
  QTest::mouseClick(map->viewport(), Qt::LeftButton, {}, map->visualRect(map->model()->index(1, 4)).center());
  QCOMPARE(OnPage<QLineEdit>(h, "Edit4")->text(), Q(std::string(txt::BlockNumber) + "3"));
  QCOMPARE(OnPage<QLineEdit>(h, "Edit6")->text(), Q(txt::BlockFree));
  auto* restore = OnPage<QToolButton>(h, "LTRUnEraseBtn");
  QCOMPARE(restore->text(), Q(txt::ActRestore));
  QTest::mouseClick(restore, Qt::LeftButton);
  QCOMPARE(ltr.LtrFileBlocks(), std::vector<int>{3});
  const LtrMemMap& built = h.app->Carrier.Page.Map;
  for (int row = 0; row < built.RowCount(); ++row)
    for (int col = 0; col < LtrMemMap::ColCount; ++col)
      QCOMPARE(map->model()->index(row, col).data().toString(), Q(built.CellText(row, col)));
  QCOMPARE(map->model()->index(1, 4).data().toString(), QString("X"));
  QCOMPARE(Grid(h)->model()->rowCount(), 1);
  QVERIFY(h.app->Carrier.Page.Grid.Selected(1));

  QTest::mouseClick(OnPage<QToolButton>(h, "LTRDopMemDisBtn"), Qt::LeftButton);
  QVERIFY(!OnPage<QWidget>(h, "Panel14")->isVisible());
  QVERIFY(open->isVisible());
}

void CarrierPageTest::MemoryCheckAnsweredInWarn1Form() {
  Harness h;
  SimulatedCarrier& nkp = h.StartCarrier(CarrierKind::Nkp);
  QVERIFY(nkp.AddNkpFile(NkpMeterFile(12345)));
  nkp.MarkFaultyBlock(5);
  nkp.MarkFaultyBlock(9);
  h.SelectMODBox(ItemNkp);
  ConnectNkp(h);
  QString count;
  AnswerDialog("Warn1Form", "ExecuteBtn", &count, "CountLabel");
  QTest::mouseClick(OnPage<QToolButton>(h, "Button2"), Qt::LeftButton);
  QCOMPARE(count, QString("2"));
  const QString log = OnPage<QPlainTextEdit>(h, "Memo1")->toPlainText();
  QVERIFY2(log.contains(Q(std::string(txt::BlockPrefix) + "9" + txt::Restored)), qPrintable(log));
  QVERIFY(log.contains(Q(txt::ClearingMemory)));
  QVERIFY(!OnPage<QWidget>(h, "Memo1")->isVisible());
  QCOMPARE(nkp.NkpFileCount(), 0);  // the check ends by clearing the memory
  QCOMPARE(OnPage<QLabel>(h, "Label2")->text(), Q(std::string(txt::FileCountLabel) + "0"));
}

void CarrierPageTest::StopAndCloseDuringACopy() {
  Harness h;
  SimulatedCarrier& nkp = h.StartCarrier(CarrierKind::Nkp);
  std::vector<std::uint8_t> file(40 * 512, 0x11);
  file[128] = 0x53;
  NkpFileHeader header;
  header.SerialNumber = 4242;
  QVERIFY(nkp.AddNkpFile(MakeNkpFile(file, header)));
  h.SelectMODBox(ItemNkp);
  ConnectNkp(h);
  ClickRow(h, 1);

  // The worker is held at its fourth block request until the go-on flag has been cleared.
  std::atomic<bool> held = false;
  std::atomic<int> writes = 0;
  CarrierLinkState& state = h.app->CarrierState;
  h.links.Carrier->BeforeWrite = [&](std::span<const std::uint8_t>) {
    if (state.CarrierCommand != 5 || ++writes != 4) return;
    held = true;
    for (int i = 0; i < 5000 && state.GoOn != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  auto* copy = OnPage<QPushButton>(h, "BitBtn2");
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (!held) return;
    stopper.stop();
    QCOMPARE(copy->text(), Q(txt::Stop));
    QVERIFY(copy->isEnabled());  // the stop action stays live
    QTest::mouseClick(copy, Qt::LeftButton);
  });
  stopper.start(5);
  QTest::mouseClick(copy, Qt::LeftButton);
  QVERIFY(held);
  QCOMPARE(OnPage<QLabel>(h, "Label236")->text(), Q(txt::StoppedByUser));
  QCOMPARE(DumpsUnder(h.dir / "data"), 0);
  QVERIFY(h.messages.empty());

  // Closed during a copy: the close waits until the copy has unwound, then the port is closed.
  held = false;
  writes = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (!held) return;
    closer.stop();
    h.window->close();
    QVERIFY(h.window->isVisible());  // put off
  });
  closer.start(5);
  QTimer::singleShot(0, copy, [copy] { QTest::mouseClick(copy, Qt::LeftButton); });
  QTRY_VERIFY_WITH_TIMEOUT(!h.window->isVisible(), 20000);
  QVERIFY(held);
  QVERIFY(!h.app->Carrier.OperationRunning());
  QVERIFY(!h.app->CarrierThread.Running());
  QVERIFY(!h.app->CarrierQuery.IsOpen());
  QCOMPARE(DumpsUnder(h.dir / "data"), 0);
  QVERIFY(h.messages.empty());
}

}  // namespace velk::gui::test
