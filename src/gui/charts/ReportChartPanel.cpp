#include "gui/ReportChartPanel.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "gui/QtText.h"

namespace velk::gui {
namespace {

constexpr double UnixEpochDay = 25569;  // 01.01.1970 as a day count
constexpr double MsPerDay = 86400000.0;
const QColor Palette[] = {QColor(0xD0, 0x30, 0x20), QColor(0x20, 0x60, 0xC0), QColor(0x20, 0x90, 0x40),
                          QColor(0xC0, 0x80, 0x00), QColor(0x80, 0x30, 0xA0), QColor(0x00, 0x90, 0x90),
                          QColor(0x60, 0x60, 0x60), QColor(0xE0, 0x40, 0x90)};

// The chart view: the wheel zooms around the pointer, dragging pans; both are
// handed to the panel, which moves the axis.
class ChartCanvas : public QChartView {
 public:
  std::function<void(double centreMs, double factor)> Zoomed;
  std::function<void(double fractionOfWidth)> Dragged;
  using QChartView::QChartView;

 protected:
  void wheelEvent(QWheelEvent* event) override {
    const double centre = chart()->mapToValue(event->position()).x();
    if (Zoomed) Zoomed(centre, event->angleDelta().y() > 0 ? 0.8 : 1.25);
    event->accept();
  }
  void mousePressEvent(QMouseEvent* event) override { lastX_ = event->position().x(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) || !Dragged) return;
    const double width = chart()->plotArea().width();
    if (width > 0) Dragged(-(event->position().x() - lastX_) / width);
    lastX_ = event->position().x();
  }

 private:
  double lastX_ = 0;
};

class QtChartPanel : public ReportChartPanel {
 public:
  explicit QtChartPanel(QWidget* parent) : ReportChartPanel(parent) {
    setObjectName("ReportChartPanel");
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    layout->addLayout(bar);
    table_ = Named(new QComboBox(this), "ChartTable");
    for (RecordTable t : {RecordTable::Hours, RecordTable::Days, RecordTable::Months})
      table_->addItem(Q(RecordTableTitle(t)), int(t));
    quantity_ = Named(new QComboBox(this), "ChartQuantity");
    from_ = Named(new QDateTimeEdit(this), "ChartFrom");
    to_ = Named(new QDateTimeEdit(this), "ChartTo");
    for (QDateTimeEdit* edit : {from_, to_}) {
      edit->setDisplayFormat("dd.MM.yyyy hh:mm");
      edit->setTimeSpec(Qt::UTC);
    }
    auto* whole = Named(new QPushButton("Весь архив", this), "ChartWhole");
    bar->addWidget(new QLabel("Архив:", this));
    bar->addWidget(table_);
    bar->addWidget(new QLabel("Величина:", this));
    bar->addWidget(quantity_);
    bar->addSpacing(12);
    bar->addWidget(new QLabel("С", this));
    bar->addWidget(from_);
    bar->addWidget(new QLabel("по", this));
    bar->addWidget(to_);
    bar->addWidget(whole);
    bar->addStretch();

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    // One pair of axes for the chart's life: a removed axis may still be drawn.
    xAxis_ = new QDateTimeAxis;
    yAxis_ = new QValueAxis;
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    canvas_ = Named(new ChartCanvas(chart_, this), "ReportChart");
    canvas_->setRenderHint(QPainter::Antialiasing, false);
    layout->addWidget(canvas_, 1);
    scroll_ = Named(new QScrollBar(Qt::Horizontal, this), "ChartScroll");
    layout->addWidget(scroll_);

    connect(table_, &QComboBox::currentIndexChanged, this, [this] { BuildChart(); });
    connect(quantity_, &QComboBox::currentIndexChanged, this, [this] { DrawQuantity(); });
    connect(whole, &QPushButton::clicked, this, [this] { Show(chart.Whole); });
    for (QDateTimeEdit* edit : {from_, to_})
      connect(edit, &QDateTimeEdit::editingFinished, this, [this] {
        Show(ClampChartRange({Day(from_->dateTime()), Day(to_->dateTime())}, chart.Whole));
      });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int hours) {
      if (updating_) return;
      const double from = chart.Whole.From + hours / 24.0;
      Show(ClampChartRange({from, from + shown_.Width()}, chart.Whole));
    });
    canvas_->Zoomed = [this](double centreMs, double factor) {
      Show(ZoomChartRange(shown_, chart.Whole, Day(centreMs), factor));
    };
    canvas_->Dragged = [this](double fraction) {
      Show(PanChartRange(shown_, chart.Whole, fraction * shown_.Width()));
    };
  }

  void SetReports(const std::vector<OpenedReport>& reports) override {
    reports_ = reports;
    BuildChart();
  }
  RecordTable Table() const override { return RecordTable(table_->currentData().toInt()); }
  bool HasSeries() const override { return !chart.Series.empty(); }
  bool SavePng(const QString& file) override {
    return !chart.Series.empty() && canvas_->grab().save(file, "PNG");
  }

  ReportChart chart;

 private:
  template <class W>
  W* Named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  }

  // Date-times are the meter's clock; the axis shows them as UTC so that no time zone shifts them.
  static double Ms(double day) { return (day - UnixEpochDay) * MsPerDay; }
  static double Day(double ms) { return ms / MsPerDay + UnixEpochDay; }
  static double Day(const QDateTime& t) { return Day(double(t.toMSecsSinceEpoch())); }
  static QDateTime Moment(double day) {
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(Ms(day))), Qt::UTC);
  }

  void BuildChart() {
    chart = BuildReportChart(reports_, Table());
    const QVariant wanted = quantity_->currentData();
    quantity_->blockSignals(true);
    quantity_->clear();
    for (ChartQuantity q : ChartQuantities(chart)) quantity_->addItem(Q(QuantityTitle(q)), int(q));
    const int keep = quantity_->findData(wanted);
    quantity_->setCurrentIndex(keep >= 0 ? keep : 0);
    quantity_->blockSignals(false);
    DrawQuantity();
  }

  void DrawQuantity() {
    chart_->removeAllSeries();
    if (quantity_->count() == 0) return;
    const auto quantity = ChartQuantity(quantity_->currentData().toInt());
    std::vector<const ChartSeries*> drawn;
    for (const ChartSeries& s : chart.Series)
      if (s.Quantity == quantity) drawn.push_back(&s);

    // The axes get their ranges before the series come, so that the points are laid out once.
    QValueAxis* y = yAxis_;
    QDateTimeAxis* x = xAxis_;
    y->setTitleText(Q(QuantityTitle(quantity)));
    const ChartValueRange values = ValueRangeOf(chart, quantity);
    y->setRange(values.Low, values.High);
    y->applyNiceNumbers();
    Show(chart.Whole);
    int colour = 0;
    for (const ChartSeries* s : drawn) {
      const QColor pen = Palette[colour++ % std::size(Palette)];
      bool first = true;
      for (const auto& segment : s->Segments) {
        QAbstractSeries* series = s->Style == ChartStyle::Bars ? Bars(segment, pen) : Line(segment, pen);
        series->setName(Q(s->Label));
        chart_->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(first);
        first = false;
      }
    }
  }

  // Amounts per period: a translucent step area over each record's interval.
  QAbstractSeries* Bars(const std::vector<ChartPoint>& segment, const QColor& colour) {
    auto* upper = new QLineSeries;
    QList<QPointF> points;
    points.reserve(qsizetype(segment.size() * 2));
    for (const ChartPoint& p : segment) {
      points.append({Ms(p.Begin), p.Value});
      points.append({Ms(p.End), p.Value});
    }
    upper->replace(points);
    auto* lower = new QLineSeries;
    lower->append(Ms(segment.front().Begin), 0);
    lower->append(Ms(segment.back().End), 0);
    auto* area = new QAreaSeries(upper, lower);
    QColor fill = colour;
    fill.setAlpha(110);
    area->setBrush(fill);
    area->setPen(QPen(colour, 1));
    return area;
  }

  QAbstractSeries* Line(const std::vector<ChartPoint>& segment, const QColor& colour) {
    auto* line = new QLineSeries;
    QList<QPointF> points;
    points.reserve(qsizetype(segment.size()));
    for (const ChartPoint& p : segment) points.append({Ms(p.End), p.Value});
    line->replace(points);
    line->setPen(QPen(colour, 1.5));
    line->setPointsVisible(segment.size() == 1);
    return line;
  }

  // Moves the axis only: the points stay as they were built.
  void Show(ChartRange range) {
    if (chart.Series.empty()) return;
    shown_ = range;
    updating_ = true;
    const QString format = range.Width() > 60 ? "dd.MM.yyyy" : "dd.MM hh:mm";
    if (xAxis_->format() != format) xAxis_->setFormat(format);
    xAxis_->setRange(Moment(range.From), Moment(range.To));
    from_->setDateTime(Moment(range.From));
    to_->setDateTime(Moment(range.To));
    scroll_->setRange(0, int(std::lround((chart.Whole.Width() - range.Width()) * 24)));
    scroll_->setPageStep(std::max(1, int(std::lround(range.Width() * 24))));
    scroll_->setValue(int(std::lround((range.From - chart.Whole.From) * 24)));
    updating_ = false;
  }

  std::vector<OpenedReport> reports_;
  QChart* chart_;
  ChartCanvas* canvas_;
  QComboBox* table_;
  QComboBox* quantity_;
  QDateTimeEdit* from_;
  QDateTimeEdit* to_;
  QScrollBar* scroll_;
  QDateTimeAxis* xAxis_;
  QValueAxis* yAxis_;
  ChartRange shown_;
  bool updating_ = false;
};

}  // namespace

ReportChartPanel* CreateReportChartPanel(QWidget* parent) { return new QtChartPanel(parent); }

}  // namespace velk::gui
