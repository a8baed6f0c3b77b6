#include "app/DumpText.h"

#include "app/AppTexts.h"
#include "decode/views/ArchiveViews.h"
#include "decode/views/ConstantsView.h"
#include "decode/views/CurrentValuesView.h"
#include "decode/views/HexView.h"
#include "decode/views/IdentificationView.h"
#include "decode/views/TextRender.h"

namespace velk {
namespace {

std::string Section(const std::string& heading, const std::string& body) {
  if (body.empty()) return {};
  return "== " + heading + " ==\n" + body + (body.back() == '\n' ? "" : "\n") + "\n";
}

}  // namespace

std::string RenderDecodedViews(const TDumpImage& image, const TDecodedValues& values,
                               const DumpTextOptions& options) {
  const TArchiveViewOptions archive{options.ShowRtcRecords, options.ShowEmptyRecords};
  std::string text;
  text += Section(std::string(texts::OperationalTab), RenderEditBox(BuildIdentificationBox(values)) + "\n" +
                                                          RenderEditBox(BuildAccumulatedBox(values)) + "\n" +
                                                          RenderGrid(BuildCurrentValuesGrid(values)));
  const TGrid hours = BuildHourGrid(values, archive);
  const TGrid days = BuildDayGrid(values, archive);
  text += Section(std::string(texts::ArchivesTab),
                  RenderGrid(hours) + (days.ColumnCount() > 0 ? "\n" + RenderGrid(days) : std::string()));
  text += Section(std::string(texts::ConstantsTab), RenderConstantsView(BuildConstantsView(image, values)));
  if (options.WithHex)
    text += Section(std::string(texts::HexTab), RenderGrid(BuildHexGrid(image, values.DeviceCode)));
  return text;
}

}  // namespace velk
