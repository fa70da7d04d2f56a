#pragma once
// Comparing a rendered page with a checked-in golden image, or rewriting the
// image on purpose with KYKLOS_UPDATE_GOLDEN=1.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace kyklos::test {

inline void ExpectMatchesGoldenImage(const QImage& page, const char* goldenPath)
{
    const char* update = std::getenv("KYKLOS_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(page.save(QString::fromLatin1(goldenPath), "PNG"));
        GTEST_SKIP() << "golden image written to " << goldenPath;
    }

    const QImage golden = QImage(QString::fromLatin1(goldenPath)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << "missing " << goldenPath;
    ASSERT_EQ(golden.size(), page.size());

    // Text rasterisation may move a few edge pixels between FreeType versions;
    // a misplaced trace, bar, ring or text line changes hundreds.
    int different = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb a = page.pixel(x, y), b = golden.pixel(x, y);
            const int delta =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            if (delta > 64) ++different;
        }
    const int allowed = page.width() * page.height() / 1000;
    EXPECT_LE(different, allowed) << different << " pixels differ; see the header of this test to refresh the image";
}

} // namespace kyklos::test
