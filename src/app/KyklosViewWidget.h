#pragma once
// The window of the report view: paints the page of CKyklosView for the
// document, and turns a double-click on the scale bar and a context-menu
// request into signals for the main window, which owns the commands.

#include "platform/Canvas.h"

#include <QWidget>

namespace kyklos {

class CKyklosDoc;
class CKyklosView;
class ProgressPort;

class KyklosViewWidget : public QWidget {
    Q_OBJECT
public:
    // progress, when given, is the filter's progress display: while it is up
    // the profile is half filtered and must not be drawn.
    KyklosViewWidget(CKyklosView& view, const CKyklosDoc& doc, const ProgressPort* progress, QWidget* parent = nullptr);

    // The scale bar of the last page painted in this window, in widget pixels.
    Rect ScaleBarRect() const { return scaleBarRect_; }
    int PaintCount() const { return paintCount_; }

signals:
    void ScaleBarDoubleClicked();
    void ContextMenuRequested(const QPoint& globalPos);
    void FirstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CKyklosView& view_;
    const CKyklosDoc& doc_;
    const ProgressPort* progress_;
    Rect scaleBarRect_{};
    int paintCount_ = 0;
};

} // namespace kyklos
