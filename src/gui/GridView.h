// A table view over one core grid: fixed-height rows, the grid's heading row
// as the header, cell painting by GridCellDelegate, column widths from the
// grid's width hints (re-spread when the view is resized).
#pragma once

#include <QTableView>

#include "decode/views/Grid.h"
#include "gui/GridCellDelegate.h"
#include "gui/GridHeaderView.h"
#include "gui/GridTableModel.h"

namespace velk::gui {

class GridView : public QTableView {
 public:
  // `name` is the control's name; `headingRows` (0 or 1) grid rows become the
  // header; the current row of a whole-row grid takes `currentRowColour`.
  GridView(const QString& name, QWidget* parent, int headingRows, bool selectRows = false,
           const QColor& currentRowColour = QColor());

  void SetGrid(TGrid grid);
  GridTableModel& Model() { return *model_; }
  const GridTableModel& Model() const { return *model_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyColumnWidths();

  GridTableModel* model_;
  GridCellDelegate* delegate_;
  GridHeaderView* header_;
  int headingRows_;
};

}  // namespace velk::gui
