// The progress display: the self-painted bar's colours, text and repaint
// rule, the dialog's Active state, and Cancel during a slow filter run.

#include "app/PercentBarCtrl.h"
#include "app/ProgressDialog.h"
#include "document/KyklosDoc.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>

using namespace kyklos;

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Pixels inside the bar's frame exactly of the given colour.
int CountColour(const QImage& image, const QRect& inside, const QColor& colour)
{
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++count;
    return count;
}

class EventCounter : public QObject {
public:
    int keys = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) ++keys;
        return false;
    }
};

// A profile the 5 UPR filter takes many progress steps over.
void LoadSlowProfile(CKyklosDoc& doc)
{
    const int n = 36000;
    std::vector<double> radii(n);
    for (int i = 0; i < n; ++i)
        radii[static_cast<std::size_t>(i)] = 10.0 + 0.002 * std::sin(7.0 * 2.0 * doc.Pi * i / n);
    doc.Profile = EqualStepProfile(std::move(radii));
    doc.DataLoaded = true;
    doc.Settings.FilterCutoffUpr = 5;
}

} // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT

private slots:
    void barColoursAtZeroAndHundred()
    {
        CPercentBarCtrl bar;
        QFont big = bar.font();
        big.setPixelSize(24);
        bar.setFont(big);
        bar.resize(300, 40);
        const QRect inside = bar.contentsRect();
        const int area = inside.width() * inside.height();
        QVERIFY(bar.BarColour().rgb() != bar.BackgroundColour().rgb());
        QCOMPARE(bar.TextOnBackgroundColour(), bar.BarColour());
        QCOMPARE(bar.TextOnBarColour(), bar.BackgroundColour());

        // 0 %: no fill; the text, all of it, in the bar colour on the background.
        bar.SetPos(0);
        QCOMPARE(bar.DisplayText(), QStringLiteral("0%"));
        QImage image = bar.grab().toImage();
        const int textAtZero = CountColour(image, inside, bar.BarColour());
        QVERIFY(textAtZero > 10);
        QVERIFY(CountColour(image, inside, bar.BackgroundColour()) > area / 2);
        QCOMPARE(image.pixelColor(inside.left() + 2, inside.top() + 2).rgb(), bar.BackgroundColour().rgb());

        // 100 %: all filled; the text in the background colour on the bar.
        bar.SetPos(100);
        QCOMPARE(bar.DisplayText(), QStringLiteral("100%"));
        image = bar.grab().toImage();
        QVERIFY(CountColour(image, inside, bar.BackgroundColour()) > 10);
        QVERIFY(CountColour(image, inside, bar.BarColour()) > area / 2);
        QCOMPARE(image.pixelColor(inside.right() - 2, inside.bottom() - 2).rgb(), bar.BarColour().rgb());
    }

    void textChangesColourAtTheFillEdge()
    {
        CPercentBarCtrl bar;
        QFont big = bar.font();
        big.setPixelSize(30);
        bar.setFont(big);
        bar.resize(200, 44);
        bar.SetText(QStringLiteral("MMMMMMMM"));
        bar.SetPos(50);
        const QRect inside = bar.contentsRect();
        const int edge = inside.left() + bar.FilledWidth();
        const QImage image = bar.grab().toImage();
        const QRect left(inside.left(), inside.top(), edge - inside.left(), inside.height());
        const QRect right(edge, inside.top(), inside.right() - edge + 1, inside.height());
        // The same text in both colours: it is drawn twice, clipped at the edge.
        QVERIFY(CountColour(image, left, bar.TextOnBarColour()) > 10);
        QVERIFY(CountColour(image, right, bar.TextOnBackgroundColour()) > 10);
    }

    void customTextReplacesThePercentage()
    {
        CPercentBarCtrl bar;
        bar.SetPos(37);
        QCOMPARE(bar.DisplayText(), QStringLiteral("37%"));
        bar.SetText(QStringLiteral("Reading"));
        QCOMPARE(bar.DisplayText(), QStringLiteral("Reading"));
        bar.SetText(QString());
        QCOMPARE(bar.DisplayText(), QStringLiteral("37%"));
        bar.SetPos(250); // out of range: never more than a full bar
        QCOMPARE(bar.DisplayText(), QStringLiteral("100%"));
        QCOMPARE(bar.FilledWidth(), bar.contentsRect().width());
    }

    void repaintsOnlyWhenTheFilledWidthChanges()
    {
        CPercentBarCtrl bar;
        bar.resize(50 + 2 * bar.frameWidth(), 20); // 50 pixels: two per cent per pixel
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCoreApplication::processEvents();
        PaintCounter counter;
        bar.installEventFilter(&counter);

        QCOMPARE(bar.SetPos(10), 0);
        QCOMPARE(counter.paints, 1);
        QCOMPARE(bar.SetPos(11), 10); // still 5 pixels
        QCOMPARE(counter.paints, 1);
        bar.SetPos(12); // 6 pixels
        QCOMPARE(counter.paints, 2);

        bar.resize(bar.width() + 1, 20);
        QCoreApplication::processEvents();
        const int afterResize = counter.paints;
        bar.SetPos(12); // same position, but the control was resized
        QCOMPARE(counter.paints, afterResize + 1);
    }

    void showCancelAndClose()
    {
        CProgressDialog dialog;
        QVERIFY(!dialog.IsActive());
        QVERIFY(dialog.Show("ZizeruzeVizava", "50 UPR Gaussian Filter..."));
        QVERIFY(dialog.IsActive());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ZizeruzeVizava"));
        QCOMPARE(dialog.MessageLabel()->text(), QStringLiteral("50 UPR Gaussian Filter..."));
        QCOMPARE(dialog.CancelButton()->text(), QStringLiteral("Cancel"));
        QVERIFY(!dialog.Show("again", "refused while active"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ZizeruzeVizava"));

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.IsActive());
        QVERIFY(!dialog.isVisible());

        QVERIFY(dialog.Show("ZizeruzeVizava", "5 UPR Gaussian Filter..."));
        QCOMPARE(dialog.Bar()->Pos(), 0);
        dialog.Close();
        QVERIFY(!dialog.IsActive());
        QVERIFY(!dialog.isVisible());
    }

    void otherWindowsWaitAndGetTheKeyboardBack()
    {
        QWidget owner;
        owner.resize(300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        CProgressDialog dialog;
        dialog.SetOwner(&owner);
        CKyklosDoc doc(nullptr, &dialog);
        LoadSlowProfile(doc);
        EventCounter counter;
        owner.installEventFilter(&counter);

        // While the filter runs, in its progress steps:
        const auto whileFiltering = [&dialog](const std::function<void()>& action) {
            auto* step = new QTimer(&dialog);
            connect(step, &QTimer::timeout, &dialog, [step, action, &dialog] {
                if (dialog.Bar()->Pos() == 0) return;
                step->deleteLater();
                step->stop();
                action();
            });
            step->start(0);
        };
        // a key for the owner goes nowhere; afterwards the owner has the keyboard again.
        whileFiltering([&owner] { QTest::keyClick(&owner, Qt::Key_A); });
        QVERIFY(doc.AnalyzeProfile());
        QCOMPARE(counter.keys, 0);
        QVERIFY(!dialog.isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), &owner);

        // The window manager's close request (close box, Alt+F4) waits for the filter's end.
        bool ownerShownAfterClose = false;
        whileFiltering([&owner, &ownerShownAfterClose] {
            QCloseEvent close;
            QCoreApplication::sendEvent(owner.windowHandle(), &close);
            ownerShownAfterClose = owner.isVisible();
        });
        QVERIFY(doc.AnalyzeProfile());
        QVERIFY(ownerShownAfterClose);
        QVERIFY(owner.isVisible());
        QTRY_VERIFY(!owner.isVisible());
    }

    void cancelDuringASlowFilter()
    {
        CProgressDialog dialog;
        CKyklosDoc doc(nullptr, &dialog);
        QVERIFY(doc.AnalysisValid);
        QVERIFY(!dialog.IsActive());

        LoadSlowProfile(doc);

        // The click comes once the run is under way, that is from inside a PumpMessage.
        bool wasActive = false;
        int positionAtCancel = -1;
        QTimer clicker;
        connect(&clicker, &QTimer::timeout, &dialog, [&] {
            if (dialog.Bar()->Pos() == 0) return;
            clicker.stop();
            wasActive = dialog.IsActive();
            positionAtCancel = dialog.Bar()->Pos();
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        });
        clicker.start(0);
        QVERIFY(!doc.AnalyzeProfile());
        QVERIFY(wasActive);
        QVERIFY(positionAtCancel > 0 && positionAtCancel < 100);
        // Stopped at the next progress step, not at the end.
        QVERIFY(dialog.Bar()->Pos() < 100);
        QVERIFY(!doc.AnalysisValid);
        QVERIFY(!doc.Result.FitValid);
        QVERIFY(!dialog.IsActive());
        QVERIFY(!dialog.isVisible());

        // Without a Cancel the same profile runs to its end.
        doc.Settings.FilterCutoffUpr = 5;
        QVERIFY(doc.AnalyzeProfile());
        QVERIFY(doc.AnalysisValid);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialog_test.moc"
