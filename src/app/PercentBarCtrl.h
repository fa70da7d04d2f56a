#pragma once
// A progress bar that paints itself: the filled part and the remainder in two
// palette colours, with the percentage (or a custom text) centred on top in
// the inverse colours, so the text changes colour exactly at the fill edge.

#include <QColor>
#include <QFrame>
#include <QString>

namespace kyklos {

class CPercentBarCtrl : public QFrame {
    Q_OBJECT
public:
    explicit CPercentBarCtrl(QWidget* parent = nullptr);

    // Stores the position (range 0..100) and repaints at once when the filled
    // width in pixels changed since the last repaint. Returns the old position.
    int SetPos(int position);
    int Pos() const { return position_; }

    // A non-empty text replaces the percentage; an empty one brings it back.
    void SetText(const QString& text);

    // The text drawn for the current position.
    QString DisplayText() const;
    // Width in pixels of the filled part for the current position and size.
    int FilledWidth() const;

    QColor BarColour() const { return barColour_; }
    QColor BackgroundColour() const { return backgroundColour_; }
    QColor TextOnBackgroundColour() const { return textOnBackgroundColour_; }
    QColor TextOnBarColour() const { return textOnBarColour_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ReadColours();
    double Fraction() const;

    static constexpr int kLower = 0;
    static constexpr int kUpper = 100;

    int position_ = 0;
    QString text_;
    int lastWidth_ = -1;
    QColor barColour_;
    QColor backgroundColour_;
    QColor textOnBackgroundColour_;
    QColor textOnBarColour_;
};

} // namespace kyklos
