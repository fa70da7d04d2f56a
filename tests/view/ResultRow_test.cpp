// Result rows: label, number aligned on its decimal point, unit. The
// recording canvas makes every character half a cell wide (10 units here).

#include "platform/RecordingCanvas.h"
#include "view/KyklosView.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

struct RowCase {
    double value;
    int decimals;
    const char* text;
    int charactersLeftOfColumn;
};

class ResultRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FontSpec font;
        font.height = 20;
        dc.SetFont(font);
        dc.calls.clear();
    }

    std::vector<RecordedCall> Draw(double value, int decimals, bool show = true)
    {
        dc.calls.clear();
        view.DrawResultRow(dc, 100, 400, 600, 300, "Roundness:", show, value, decimals, "\u00B5m");
        return dc.Calls("TextOut");
    }

    RecordingCanvas dc;
    CKyklosView view{"/nonexistent-logo-directory"};
};

TEST_F(ResultRowTest, NumbersLineUpOnTheirDecimalPoint)
{
    const RowCase cases[] = {
        {2.0, 3, "2.000", 1},
        {-45.5, 2, "-45.50", 3},
        {-0.0001, 3, "-0.000", 2}, // the minus of a tiny negative value stays
        {78.74015748031496, 2, "78.74", 2},
        {12345.25, 2, "12345.25", 5},
        {12.0, 0, "12", 1}, // no point: all but the last character left of the column
        {7.0, 0, "7", 0},
        {1e70, 3, nullptr, 71}, // 75 characters still fit the field
    };
    for (const RowCase& c : cases) {
        const auto texts = Draw(c.value, c.decimals);
        ASSERT_EQ(texts.size(), 3u);
        if (c.text) {
            EXPECT_EQ(texts[1].text, c.text);
        }
        EXPECT_EQ(texts[1].args[0], 400 - 10 * c.charactersLeftOfColumn) << texts[1].text;
        EXPECT_EQ(texts[1].args[1], 300);
        EXPECT_EQ(texts[1].align, (TextAlign{HAlign::Left, VAlign::Baseline}));
    }
}

TEST_F(ResultRowTest, LabelAndUnitKeepTheirColumnsWithoutAValue)
{
    const auto texts = Draw(30.0, 2, false);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Roundness:");
    EXPECT_EQ(texts[0].args, (std::vector<int>{100, 300}));
    EXPECT_EQ(texts[1].text, "\u00B5m");
    EXPECT_EQ(texts[1].args, (std::vector<int>{600, 300}));
    for (const auto& t : texts) EXPECT_EQ(t.align, (TextAlign{HAlign::Left, VAlign::Baseline}));
}

TEST_F(ResultRowTest, ValuesThatAreNoNumbersShowADash)
{
    // Not finite, or too long for the 80-character field (1e100 needs 105 characters).
    for (const double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(), 1e100, -1e300}) {
        const auto texts = Draw(value, 3);
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[1].text, "\u2014") << value;
        EXPECT_EQ(texts[1].args[0], 400);
        EXPECT_EQ(texts[2].text, "\u00B5m");
    }
}

} // namespace
} // namespace kyklos
