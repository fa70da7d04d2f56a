#pragma once
// The harmonic spectrum in the evaluation panel: HarmonicChart drawn
// through the Qt canvas into an image at the screen's device pixel ratio, so
// that a single-pixel bar stays one pixel on a high-density screen. The image
// is drawn again only when the spectrum, the options or the size change.
// Its text is the widget's font, as large as the panel's other text.
// Hovering a bar shows its UPR, its ½ peak-to-valley amplitudes and where its
// first peak lies.

#include "graph/HarmonicChart.h"

#include <QImage>
#include <QWidget>

namespace kyklos {

class HarmonicChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit HarmonicChartWidget(QWidget* parent = nullptr);

    // The spectrum and the choices shown; each redraws the chart.
    void SetData(HarmonicChartData data);
    void SetOptions(const HarmonicChartOptions& options);
    const HarmonicChartOptions& Options() const { return chart_.Options; }

    // The harmonic under a point of the widget (logical pixels), if any.
    std::optional<int> HarmonicAt(const QPoint& pos) const;
    // The tooltip for a point: UPR, filtered and raw amplitude in the display
    // unit, the first peak in degrees; empty where no bar is.
    QString ToolTipAt(const QPoint& pos) const;

    // Draws the chart into its image now, whatever the cache holds (for the
    // benchmark: the cost of one repaint after a change).
    void Render();
    const QImage& Image() const { return image_; }
    // The chart's geometry as last drawn, in the image's device pixels.
    const HarmonicChartLayout& Layout() const { return chart_.Layout(); }
    int RenderCount() const { return renderCount_; }

    QSize sizeHint() const override { return {360, 240}; }
    // Room for the title, the legend, the axes' labels and a plot in the widget's font.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Device pixels of the image for the widget's size at its pixel ratio.
    QSize DeviceSize() const;

    HarmonicChart chart_;
    QImage image_;
    bool stale_ = true;
    int renderCount_ = 0;
};

} // namespace kyklos
