#include "decode/views/IdentificationView.h"

#include <algorithm>
#include <string>

#include "common/NumberFormat.h"
#include "decode/views/CellFormat.h"
#include "decode/views/DeviceGroup.h"
#include "decode/views/ViewTexts.h"

namespace velk {

namespace {

namespace vt = viewtext;

const char* const TotalFormat = "###0.000";

std::string Total(double value) { return FormatFloat(TotalFormat, value); }

// The box with the default labels and every edit filled from the totals.
TEditBox DefaultAccumulatedBox(const TDecodedValues& v) {
  TEditBox box;
  box.Name = "GroupBox27";
  box.Caption = std::string(vt::AccumulatedCaption) + DateText(v.TotTime) + "  " + TimeText(v.TotTime);
  const double mass[] = {v.TotMass1, v.TotMass2, v.TotMass3, v.TotMass4};
  const double volume[] = {v.TotVolume1, v.TotVolume2, v.TotVolume3, v.TotVolume4, v.TotVolume5};
  box.Edits.push_back({"LEdQ1", vt::LabelQ1, Total(v.TotQ1), true});
  box.Edits.push_back({"LEdQ2", vt::LabelQ2, Total(v.TotQ2), true});
  box.Edits.push_back({"LEdTsr1", vt::LabelTsr1, HoursMinutesText(v.TotWorkMinutes1), true});
  box.Edits.push_back({"LEdTsr2", vt::LabelTsr2, HoursMinutesText(v.TotWorkMinutes2), true});
  for (int i = 0; i < 4; ++i)
    box.Edits.push_back({"LEdG" + std::to_string(i + 1), vt::LabelG[i], Total(mass[i]), true});
  for (int i = 0; i < 5; ++i)
    box.Edits.push_back({"LEdV" + std::to_string(i + 1), vt::LabelV[i], Total(volume[i]), true});
  return box;
}

void Hide(TEditBox& box, std::initializer_list<const char*> names, bool clearLabel = false) {
  for (const char* name : names) {
    if (TLabelledEdit* edit = box.Find(name)) {
      edit->Visible = false;
      if (clearLabel) edit->Label.clear();
    }
  }
}

void Set(TEditBox& box, const char* name, std::string label, std::string text) {
  if (TLabelledEdit* edit = box.Find(name)) {
    edit->Label = std::move(label);
    edit->Text = std::move(text);
    edit->Visible = true;
  }
}

void ArrangeCompact(TEditBox& box, const TDecodedValues& v) {
  Set(box, "LEdQ1", vt::LabelQCompact, Total(v.TotQ1));
  Set(box, "LEdQ2", vt::LabelTsr1, HoursMinutesText(v.TotWorkMinutes1));
  Hide(box, {"LEdTsr1", "LEdTsr2", "LEdG3", "LEdG4", "LEdV4", "LEdV5"});
}

void ArrangeFlowMeter(TEditBox& box, const TDecodedValues& v) {
  for (auto& edit : box.Edits) {
    edit.Visible = false;
    edit.Label.clear();
  }
  Set(box, "LEdV1", vt::LabelVFlowMeter, Total(v.TotVolume1));
}

// The channel totals of a pulse counter, one per edit, or two per edit with more
// than eight channels ("V1 | V2, м3"); the edits past the channels are hidden.
void ArrangePulseCounter(TEditBox& box, const TDecodedValues& v) {
  const int channels = std::clamp(v.ChannelCount, 0, PulseChannelCapacity);
  const bool pairs = channels > 8;
  const auto number = [](int channel) { return std::to_string(channel + 1); };
  for (std::size_t e = 0; e < box.Edits.size(); ++e) {
    TLabelledEdit& edit = box.Edits[e];
    const int first = pairs ? 2 * static_cast<int>(e) : static_cast<int>(e);
    if (e >= 8 || first >= channels) {
      edit.Visible = false;
      edit.Label.clear();
      continue;
    }
    edit.Visible = true;
    const int second = first + 1;
    if (pairs && second < channels) {
      edit.Label =
          vt::PulseEditPrefix + number(first) + vt::PulseEditJoin + number(second) + vt::PulseEditSuffix;
      edit.Text = Total(v.ChannelTotal[first]) + " | " + Total(v.ChannelTotal[second]);
    } else {
      edit.Label = vt::PulseEditPrefix + number(first) + vt::PulseEditSuffix;
      edit.Text = Total(v.ChannelTotal[first]);
    }
  }
}

}  // namespace

TEditBox BuildIdentificationBox(const TDecodedValues& v) {
  TEditBox box;
  box.Name = "GroupBox4";
  box.Caption = vt::IdentBoxCaption;
  box.Edits.push_back({"TypeTS", vt::TypeLabel, v.TypeTS, true});
  box.Edits.push_back({"ZavNumber", vt::ZavNumberLabel, v.ZavNumber, true});
  box.Edits.push_back({"DateTimeIni", vt::InitTimeLabel, v.InitDateText + "  " + v.InitTimeText, true});
  box.Edits.push_back(
      {"DateTimeCH", vt::ReadTimeLabel, DateText(v.ReadTime) + "  " + TimeText(v.ReadTime), true});
  return box;
}

TEditBox BuildAccumulatedBox(const TDecodedValues& v) {
  TEditBox box = DefaultAccumulatedBox(v);
  switch (GroupOf(v.DeviceCode)) {
    case DeviceGroup::Older:
      Hide(box, {"LEdG4", "LEdV4", "LEdV5"});
      break;
    case DeviceGroup::Compact:
      ArrangeCompact(box, v);
      break;
    case DeviceGroup::Kvarta:
    case DeviceGroup::KvartaS:
      Hide(box, {"LEdQ2", "LEdTsr2", "LEdG4", "LEdV4", "LEdV5"});
      break;
    case DeviceGroup::FlowMeter:
      ArrangeFlowMeter(box, v);
      break;
    case DeviceGroup::PulseCounter:
      ArrangePulseCounter(box, v);
      break;
    default:
      break;  // 53, 56: every edit
  }
  return box;
}

}  // namespace velk
