#include "app/ConnectPropModel.h"

#include <algorithm>
#include <limits>

#include "app/ConnectTreadAdjustment.h"
#include "app/InputRules.h"
#include "common/Text1251.h"
#include "decode/DecodeDumpFile.h"

namespace velk {
namespace {

constexpr std::size_t PathCapacity = 255;
constexpr std::uint8_t BaudCodes[] = {6, 7, 9};  // "4800", "9600", "19200"
constexpr int Rs232BaudItems = 2;
constexpr int BaudItems = 3;
constexpr int PacketItems = 5;  // divisors 1, 2, 4, 8, 16

int BaudIndex(std::uint8_t code, int items) {
  for (int i = 0; i < items; ++i)
    if (BaudCodes[i] == code) return i;
  return -1;
}

int PacketIndex(std::uint8_t divisor) {
  for (int i = 0; i < PacketItems; ++i)
    if (divisor == 1u << i) return i;
  return -1;
}

// An unselected box leaves its field as it is.
void TakePort(int index, std::string& port) {
  if (index >= 0 && index < PortBoxItems) port = PortBoxName(index);
}
void TakeBaud(int index, int items, std::uint8_t& code) {
  if (index >= 0 && index < items) code = BaudCodes[index];
}
void TakePacket(int index, std::uint8_t& divisor) {
  if (index >= 0 && index < PacketItems) divisor = static_cast<std::uint8_t>(1u << index);
}

// The number edits, taken one after the other until one holds no integer.
class EditTaker {
 public:
  explicit EditTaker(TConnectPropOutcome& outcome) : outcome_(outcome) {}

  // An empty optional edit leaves its field; any other text must be an integer.
  bool Take(std::string_view control, const std::string& text, std::int32_t& field, bool optional) {
    if (optional && text.empty()) return true;
    const std::optional<long long> value = ParseInteger(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
      outcome_.Error = NotAValidInteger(text);
      outcome_.ErrorControl = std::string(control);
      return false;
    }
    field = static_cast<std::int32_t>(*value);
    return true;
  }

 private:
  TConnectPropOutcome& outcome_;
};

bool TakeNumberEdits(const TConnectPropDialog& d, TSettingsRecord& r, TConnectPropOutcome& outcome) {
  EditTaker edits(outcome);
  constexpr bool linkPage = true;      // empty leaves the field
  constexpr bool carrierPage = false;  // converted unconditionally
  return edits.Take("LaRS232Feier", d.LaRS232Feier, r.LaRS232Feier, linkPage) &&
         edits.Take("LaRS232TimeOut", d.LaRS232TimeOut, r.LaRS232TimeOut, linkPage) &&
         edits.Take("LaRS232Multiplier", d.LaRS232Multiplier, r.LaRS232Multiplier, linkPage) &&
         edits.Take("LaRS232Povtor", d.LaRS232Povtor, r.LaRS232Povtor, linkPage) &&
         edits.Take("LaRS232TimeActivityInterfaceDevice", d.LaRS232TimeActivityInterfaceDevice,
                    r.LaRS232TimeActivityInterfaceDevice, linkPage) &&
         edits.Take("LaRS485Feier", d.LaRS485Feier, r.LaRS485Feier, linkPage) &&
         edits.Take("LaRS485TimeOut", d.LaRS485TimeOut, r.LaRS485TimeOut, linkPage) &&
         edits.Take("LaRS485Multiplier", d.LaRS485Multiplier, r.LaRS485Multiplier, linkPage) &&
         edits.Take("LaRS485Povtor", d.LaRS485Povtor, r.LaRS485Povtor, linkPage) &&
         edits.Take("LaRSModFeier", d.LaRSModFeier, r.LaRSModFeier, linkPage) &&
         edits.Take("LaRSModTimeOut", d.LaRSModTimeOut, r.LaRSModTimeOut, linkPage) &&
         edits.Take("LaRSModMultiplier", d.LaRSModMultiplier, r.LaRSModMultiplier, linkPage) &&
         edits.Take("LaRSModPovtor", d.LaRSModPovtor, r.LaRSModPovtor, linkPage) &&
         edits.Take("LaRSModConnectTime", d.LaRSModConnectTime, r.LaRSModConnectTime, linkPage) &&
         edits.Take("NKPTimeOutEdit", d.NKPTimeOutEdit, r.NKPTimeOutEdit, carrierPage) &&
         edits.Take("NKPMultiplierEdit", d.NKPMultiplierEdit, r.NKPMultiplierEdit, carrierPage) &&
         edits.Take("NKPPovtor", d.NKPPovtor, r.NKPPovtor, carrierPage) &&
         edits.Take("LTRTimeOutEdit", d.LTRTimeOutEdit, r.LTRTimeOutEdit, carrierPage) &&
         edits.Take("LTRMultiplierEdit", d.LTRMultiplierEdit, r.LTRMultiplierEdit, carrierPage) &&
         edits.Take("LTRPovtor", d.LTRPovtor, r.LTRPovtor, carrierPage);
}

// "Макс. архив": the edit's month count when it holds one in range, else the up-down's.
std::int16_t ArchiveMonths(const TConnectPropDialog& d) {
  const std::optional<long long> typed = ParseInteger(d.LabeledEdit1);
  if (typed && *typed >= MinArchiveMonths && *typed <= MaxArchiveMonths)
    return static_cast<std::int16_t>(*typed);
  return static_cast<std::int16_t>(std::clamp(d.UpDown1, MinArchiveMonths, MaxArchiveMonths));
}

TTabVisibility TabsAfterConfirm(const TSettingsRecord& r, ShownImage image) {
  TTabVisibility tabs{r.OPVDataVisible, r.ARCHDataVisible, r.DUMPDataVisible, r.CONSTDataVisible, {}, {}, {}};
  if (image == ShownImage::HeatMeter || image == ShownImage::TwoSystemHeatMeter)
    tabs.TabSheet1tsv = r.TSVDataVisible;
  if (image == ShownImage::TwoSystemHeatMeter) tabs.TabSheet2tsv = r.TSVDataVisible;
  if (image == ShownImage::PulseCounter) tabs.TabSheetTsd = r.TSVDataVisible;
  return tabs;
}

}  // namespace

TConnectPropDialog FillConnectProp(const TSettingsRecord& r, ConnectPropPage page) {
  TConnectPropDialog d;
  d.ActivePage = page;
  d.EdDataDir = r.EdDataDir;
  d.EdDirTSView = r.EdDirTSView;
  d.ShowRtcRecords = r.ShowRtcRecords;
  d.PFRec = r.PFRec;
  d.TSVCnc = r.TSVCnc;
  d.SaveDAT = r.SaveDAT;
  d.DATAPanelVisible = r.DATAPanelVisible;
  d.OPVDataVisible = r.OPVDataVisible;
  d.ARCHDataVisible = r.ARCHDataVisible;
  d.DUMPDataVisible = r.DUMPDataVisible;
  d.CONSTDataVisible = r.CONSTDataVisible;
  d.TSVDataVisible = r.TSVDataVisible;
  d.MonitorChBox = r.MonitorChBox;
  d.DATDirCreate = r.DATDirCreate;
  d.TSVDirCreate = r.TSVDirCreate;
  d.LabeledEdit1 = std::to_string(r.LabeledEdit1);
  d.UpDown1 = std::clamp<int>(r.LabeledEdit1, MinArchiveMonths, MaxArchiveMonths);

  d.ComboBox1 = PortBoxIndex(r.ComboBox1);
  d.ComboBox4 = BaudIndex(r.ComboBox4, Rs232BaudItems);
  d.LaRS232Feier = std::to_string(r.LaRS232Feier);
  d.LaRS232TimeOut = std::to_string(r.LaRS232TimeOut);
  d.LaRS232Multiplier = std::to_string(r.LaRS232Multiplier);
  d.LaRS232Povtor = std::to_string(r.LaRS232Povtor);
  d.LaRS232TimeActivityInterfaceDevice = std::to_string(r.LaRS232TimeActivityInterfaceDevice);
  d.CBRS232QualityEx = PacketIndex(r.CBRS232QualityEx);

  d.ComboBox2 = PortBoxIndex(r.ComboBox2);
  d.ComboBox5 = BaudIndex(r.ComboBox5, BaudItems);
  d.LaRS485Feier = std::to_string(r.LaRS485Feier);
  d.LaRS485TimeOut = std::to_string(r.LaRS485TimeOut);
  d.LaRS485Multiplier = std::to_string(r.LaRS485Multiplier);
  d.LaRS485Povtor = std::to_string(r.LaRS485Povtor);
  d.CBRS485QualityEx = PacketIndex(r.CBRS485QualityEx);

  d.ComboBox3 = PortBoxIndex(r.ComboBox3);
  d.ComboBox6 = BaudIndex(r.ComboBox6, BaudItems);
  d.LaRSModFeier = std::to_string(r.LaRSModFeier);
  d.LaRSModTimeOut = std::to_string(r.LaRSModTimeOut);
  d.LaRSModMultiplier = std::to_string(r.LaRSModMultiplier);
  d.LaRSModPovtor = std::to_string(r.LaRSModPovtor);
  d.LaRSModConnectTime = std::to_string(r.LaRSModConnectTime);
  d.CBRSModQualityEx = PacketIndex(r.CBRSModQualityEx);
  d.TimeCorrect = r.TimeCorrect;

  d.NKPPortBox = PortBoxIndex(r.NKPPortBox);
  d.NKPTimeOutEdit = std::to_string(r.NKPTimeOutEdit);
  d.NKPMultiplierEdit = std::to_string(r.NKPMultiplierEdit);
  d.NKPPovtor = std::to_string(r.NKPPovtor);
  d.NKPAutoTimeCorrectCB = r.NKPAutoTimeCorrectCB;

  d.LTRPortBox = PortBoxIndex(r.LTRPortBox);
  d.LTRTimeOutEdit = std::to_string(r.LTRTimeOutEdit);
  d.LTRMultiplierEdit = std::to_string(r.LTRMultiplierEdit);
  d.LTRPovtor = std::to_string(r.LTRPovtor);
  return d;
}

ShownImage ShownImageOf(const TDecodedValues& values, bool decoded) {
  if (!decoded) return ShownImage::None;
  if (values.DeviceCode == 70 || values.DeviceCode == 71) return ShownImage::PulseCounter;
  return HasSecondSystem(values) ? ShownImage::TwoSystemHeatMeter : ShownImage::HeatMeter;
}

TConnectPropOutcome ConfirmConnectProp(const TConnectPropDialog& d, ModalResult result, TSettingsRecord& r,
                                       ReadPanel& panel, ShownImage image) {
  TConnectPropOutcome outcome;
  if (result != ModalResult::Ok) return outcome;
  outcome.Applied = true;

  // 1. Check boxes; the two archive flags also tick the popup items.
  r.ShowRtcRecords = d.ShowRtcRecords;
  r.PFRec = d.PFRec;
  r.TSVCnc = d.TSVCnc;
  r.SaveDAT = d.SaveDAT;
  r.DATAPanelVisible = d.DATAPanelVisible;
  r.OPVDataVisible = d.OPVDataVisible;
  r.ARCHDataVisible = d.ARCHDataVisible;
  r.DUMPDataVisible = d.DUMPDataVisible;
  r.CONSTDataVisible = d.CONSTDataVisible;
  r.TSVDataVisible = d.TSVDataVisible;
  r.MonitorChBox = d.MonitorChBox;
  r.DATDirCreate = d.DATDirCreate;
  r.TSVDirCreate = d.TSVDirCreate;
  r.TimeCorrect = d.TimeCorrect;
  r.NKPAutoTimeCorrectCB = d.NKPAutoTimeCorrectCB;
  r.LabeledEdit1 = ArchiveMonths(d);
  // 2. Ports, 3. speeds.
  TakePort(d.ComboBox1, r.ComboBox1);
  TakePort(d.ComboBox2, r.ComboBox2);
  TakePort(d.ComboBox3, r.ComboBox3);
  TakePort(d.NKPPortBox, r.NKPPortBox);
  TakePort(d.LTRPortBox, r.LTRPortBox);
  TakeBaud(d.ComboBox4, Rs232BaudItems, r.ComboBox4);
  TakeBaud(d.ComboBox5, BaudItems, r.ComboBox5);
  TakeBaud(d.ComboBox6, BaudItems, r.ComboBox6);
  // 4. Number edits.
  if (!TakeNumberEdits(d, r, outcome)) return outcome;
  // 5. Packet sizes, 6. folder and viewer path.
  TakePacket(d.CBRS232QualityEx, r.CBRS232QualityEx);
  TakePacket(d.CBRS485QualityEx, r.CBRS485QualityEx);
  TakePacket(d.CBRSModQualityEx, r.CBRSModQualityEx);
  r.EdDataDir = Utf8Left(d.EdDataDir, PathCapacity);
  r.EdDirTSView = Utf8Left(d.EdDirTSView, PathCapacity);

  // 7. The read panel's port box follows the interface MODBox shows.
  if (const std::string* port = InterfacePort(r, panel.MODBox); port && PortBoxIndex(*port) >= 0) {
    panel.ComboBox1 = *port;
    outcome.PortBoxChanged = true;
  }
  // 8. Window height and data panel, 9. tabs, 10. the rest.
  outcome.RTC1Checked = r.ShowRtcRecords;
  outcome.PFRecChecked = r.PFRec;
  outcome.DataPanelVisible = r.DATAPanelVisible;
  outcome.MainHeight = r.DATAPanelVisible ? MainHeightWithDataPanel : MainHeightWithoutDataPanel;
  outcome.Tabs = TabsAfterConfirm(r, image);
  outcome.AutoTimeCorrCB = r.NKPAutoTimeCorrectCB;
  outcome.StoreSettings = true;
  outcome.RebuildTables = true;
  outcome.RefreshCarrierSettings = true;
  return outcome;
}

}  // namespace velk
