#pragma once
// The verdict bar under the evaluation panel's verdict: RONt on a scale about
// the tolerance (wide enough that a guard band small beside t still shows),
// the tolerance t marked, the ISO 14253-1 zones in their colours (conforms
// up to t − U, the guard band from t − U to t + U, does not conform beyond)
// and RONt with its expanded uncertainty ±U.

#include <QWidget>

#include <optional>

namespace kyklos {

class VerdictBar : public QWidget {
    Q_OBJECT
public:
    // All in millimetres.
    struct Values {
        double RontMm = 0.0;
        double ExpandedMm = 0.0;
        double ToleranceMm = 0.0;
    };

    explicit VerdictBar(QWidget* parent = nullptr);

    void SetValues(const std::optional<Values>& values);
    const std::optional<Values>& Shown() const { return values_; }

    // The x of a length in millimetres on the bar's scale, clamped to its ends.
    int Position(double mm) const;

    static const QColor kConformsColour;
    static const QColor kGuardBandColour;
    static const QColor kNotConformsColour;

    QSize sizeHint() const override { return {200, 22}; }
    QSize minimumSizeHint() const override { return {80, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The scale's ends: two guard bands beyond the tolerance's and RONt's
    // outer ends (a twentieth of t at least), not below 0.
    double ScaleStartMm() const;
    double ScaleEndMm() const;
    double RoomMm() const;

    std::optional<Values> values_;
};

} // namespace kyklos
