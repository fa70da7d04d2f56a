#include "WmfTestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <utility>

namespace kyklos {
namespace {

using test::FramedPicture;
using wmfgen::WmfWriter;

// A placeable picture whose drawing covers its bounding box (left, top)..(right, bottom).
std::vector<std::uint8_t> Placeable(int left, int top, int right, int bottom, int unitsPerInch)
{
    WmfWriter w;
    w.SetWindowOrg(left, top);
    w.SetWindowExt(right - left, bottom - top);
    w.Record(wmfgen::kSetPixel, {0, 0, top, left});
    w.Record(wmfgen::kSetPixel, {0, 0, bottom, right});
    return w.Finish(0, unitsPerInch, left, top, right, bottom);
}

// The device rectangle covered by a played picture's corner pixels.
Rect PixelSpan(const RecordingCanvas& dc)
{
    auto px = dc.Calls("SetPixel");
    if (px.size() != 2) return {};
    return {px[0].args[0], px[0].args[1], px[1].args[0] + 1, px[1].args[1] + 1};
}

TEST(MetaFile, ReadingRefusesShortWrongTypeAndTruncatedFiles)
{
    CMetaFile mf;
    EXPECT_FALSE(mf.LoadFromMemory(std::vector<std::uint8_t>{0xD7, 0xCD, 0xC6}));
    EXPECT_TRUE(mf.IsEmpty());

    auto placeable = Placeable(0, 0, 100, 100, 1000);
    EXPECT_FALSE(mf.LoadFromMemory(std::span(placeable).first(20)));      // placeable header cut short
    EXPECT_FALSE(mf.LoadFromMemory(std::span(placeable).first(22 + 17))); // metafile header cut short

    auto wrongType = placeable;
    wrongType[22] = 3;
    EXPECT_FALSE(mf.LoadFromMemory(wrongType));
    EXPECT_TRUE(mf.IsEmpty());
    wrongType[22] = 2; // disk metafile: fine
    EXPECT_TRUE(mf.LoadFromMemory(wrongType));

    EXPECT_FALSE(mf.LoadFromMemory(std::span(placeable).first(placeable.size() - 2))); // truncated
    EXPECT_TRUE(mf.IsEmpty());

    auto trailing = placeable;
    trailing.insert(trailing.end(), 48, 0xEE);
    EXPECT_TRUE(mf.LoadFromMemory(trailing));
    EXPECT_FALSE(mf.IsEmpty());

    // A size field promising gigabytes is refused without reserving them.
    auto huge = placeable;
    huge[22 + 6] = 0xFF;
    huge[22 + 7] = 0xFF;
    huge[22 + 8] = 0xFF;
    huge[22 + 9] = 0x7F;
    EXPECT_FALSE(mf.LoadFromMemory(huge));
    // As does one smaller than the header itself.
    auto tiny = placeable;
    tiny[22 + 6] = 4;
    tiny[22 + 7] = 0;
    tiny[22 + 8] = 0;
    tiny[22 + 9] = 0;
    EXPECT_FALSE(mf.LoadFromMemory(tiny));
}

TEST(MetaFile, LoadReadsFilesAndFailsQuietlyOnMissingOnes)
{
    CMetaFile mf;
    EXPECT_FALSE(mf.Load("/nonexistent/VarnLogo.WMF"));
    const auto path =
        std::filesystem::temp_directory_path() / ("kyklos_metafile_test_" + std::to_string(::getpid()) + ".wmf");
    const auto bytes = Placeable(0, 0, 100, 100, 1000);
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out << "trailing";
    }
    EXPECT_TRUE(mf.Load(path.string()));
    int w = 0, h = 0;
    EXPECT_TRUE(mf.NaturalSize(w, h));
    EXPECT_EQ(w, 25); // 100 units at 1000 per inch: 2.54 mm
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() - 1));
    }
    EXPECT_FALSE(mf.Load(path.string()));
    std::filesystem::remove(path);
}

TEST(MetaFile, NaturalSizeInTenthsOfAMillimetre)
{
    CMetaFile mf;
    ASSERT_TRUE(mf.LoadFromMemory(Placeable(-30, -40, 3066, 4087, 606)));
    int w = 0, h = 0;
    ASSERT_TRUE(mf.NaturalSize(w, h));
    EXPECT_EQ(w, 3096 * 254 / 606);
    EXPECT_EQ(h, 4127 * 254 / 606);

    ASSERT_TRUE(mf.LoadFromMemory(FramedPicture([](WmfWriter&) {})));
    EXPECT_FALSE(mf.NaturalSize(w, h)); // plain metafile: no natural size
}

TEST(MetaFile, PlainMetafileIsStretchedOverTheWholeTarget)
{
    CMetaFile mf;
    ASSERT_TRUE(mf.LoadFromMemory(FramedPicture([](WmfWriter&) {})));
    RecordingCanvas dc;
    mf.Play(dc, Rect{10, 20, 210, 70}, 11);
    EXPECT_EQ(PixelSpan(dc), (Rect{10, 20, 210, 70}));
}

TEST(MetaFile, PlacedCentredWithItsAspectKept)
{
    // One inch square at 254 units per inch: natural size 254 × 254.
    CMetaFile mf;
    ASSERT_TRUE(mf.LoadFromMemory(Placeable(0, 0, 254, 254, 254)));
    RecordingCanvas dc;
    mf.Play(dc, Rect{0, 0, 100, 50}, 11);
    EXPECT_EQ(PixelSpan(dc), (Rect{25, 0, 75, 50}));
    EXPECT_EQ(mf.Placement(Rect{0, 0, 100, 50}, 11), (Rect{25, 0, 75, 50}));
}

TEST(MetaFile, DegenerateBoundingBoxIsStretchedInsteadOfDividingByZero)
{
    for (auto box : {std::array{0, 0, 0, 100}, std::array{0, 0, 100, 0}, std::array{100, 0, 0, 100},
                     std::array{0, 100, 100, 0}, std::array{0, 0, 1, 1}}) {
        WmfWriter w;
        w.Record(wmfgen::kSetPixel, {0, 0, 0, 0});
        w.Record(wmfgen::kSetPixel, {0, 0, 50, 50});
        CMetaFile mf;
        ASSERT_TRUE(mf.LoadFromMemory(w.Finish(0, 1000, box[0], box[1], box[2], box[3])));
        int nw = 0, nh = 0;
        EXPECT_FALSE(mf.NaturalSize(nw, nh));
        RecordingCanvas dc;
        mf.Play(dc, Rect{0, 0, 100, 50}, 11);
        EXPECT_EQ(PixelSpan(dc), (Rect{0, 0, 100, 50}));
    }
}

TEST(MetaFile, FitRectModes)
{
    struct Row {
        int mode;
        Rect expected;
    };
    // A 40 × 20 picture in a 100 × 50 rectangle.
    const Row rows[] = {
        {1, {0, 0, 40, 20}},    {2, {30, 0, 70, 20}},   {3, {60, 0, 100, 20}}, {4, {0, 15, 40, 35}},
        {5, {30, 15, 70, 35}},  {6, {60, 15, 100, 35}}, {7, {0, 30, 40, 50}},  {8, {30, 30, 70, 50}},
        {9, {60, 30, 100, 50}}, {10, {0, 0, 100, 50}},  {11, {0, 0, 100, 50}}, {12, {0, 0, 100, 50}},
        {0, {0, 0, 100, 50}},   {13, {0, 0, 100, 50}},  {-1, {0, 0, 100, 50}},
    };
    for (const auto& row : rows) {
        Rect r{0, 0, 100, 50};
        CMetaFile::FitRect(r, 40, 20, row.mode);
        EXPECT_EQ(r, row.expected) << "mode " << row.mode;
    }

    // The one-inch square: centred 50 × 50, left edge L + 25; mode 12 keeps it left.
    Rect r{0, 0, 100, 50};
    CMetaFile::FitRect(r, 254, 254, 11);
    EXPECT_EQ(r, (Rect{25, 0, 75, 50}));
    r = {1000, 2000, 1100, 2050};
    CMetaFile::FitRect(r, 254, 254, 11);
    EXPECT_EQ(r, (Rect{1025, 2000, 1075, 2050}));
    r = {0, 0, 100, 50};
    CMetaFile::FitRect(r, 254, 254, 12);
    EXPECT_EQ(r, (Rect{0, 0, 50, 50}));
    // Relatively taller rectangle: both modes centre vertically.
    for (int mode : {11, 12}) {
        r = {0, 0, 50, 100};
        CMetaFile::FitRect(r, 254, 254, mode);
        EXPECT_EQ(r, (Rect{0, 25, 50, 75})) << mode;
    }
    // Truncation toward zero, products before quotients.
    r = {10, 10, 111, 60};
    CMetaFile::FitRect(r, 3, 2, 11);
    EXPECT_EQ(r, (Rect{23, 10, 98, 60}));
    r = {-11, -11, 0, 0};
    CMetaFile::FitRect(r, 2, 2, 5);
    EXPECT_EQ(r, (Rect{-6, -6, -4, -4})); // (-13) / 2 is -6, not -7
    // Larger than the rectangle: clipped to it.
    r = {0, 0, 100, 50};
    CMetaFile::FitRect(r, 300, 100, 5);
    EXPECT_EQ(r, (Rect{0, 0, 100, 50}));
    r = {0, 0, 100, 50};
    CMetaFile::FitRect(r, 300, 100, 9);
    EXPECT_EQ(r, (Rect{0, 0, 100, 50}));
    // Huge values do not overflow.
    r = {-1000000000, -1000000000, 1000000000, 1000000000};
    CMetaFile::FitRect(r, 30000, 10000, 11);
    EXPECT_EQ(r, (Rect{-1000000000, -333333333, 1000000000, 333333333}));
}

TEST(MetaFile, ArchiveRoundTrip)
{
    const auto bytes = Placeable(-10, -20, 290, 130, 1000);
    CMetaFile mf;
    ASSERT_TRUE(mf.LoadFromMemory(bytes));
    const auto archive = mf.Serialize();
    ASSERT_EQ(archive.size(), 24 + 4 + (bytes.size() - 22));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 22, archive.begin()));
    EXPECT_EQ(archive[22], 0);
    EXPECT_EQ(archive[23], 0);
    const std::uint32_t n =
        archive[24] | (archive[25] << 8) | (archive[26] << 16) | (static_cast<std::uint32_t>(archive[27]) << 24);
    EXPECT_EQ(n, bytes.size() - 22);
    EXPECT_TRUE(std::equal(bytes.begin() + 22, bytes.end(), archive.begin() + 28));

    CMetaFile copy;
    ASSERT_TRUE(copy.Deserialize(archive));
    EXPECT_EQ(copy.Serialize(), archive);
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    ASSERT_TRUE(mf.NaturalSize(w1, h1));
    ASSERT_TRUE(copy.NaturalSize(w2, h2));
    EXPECT_EQ(w1, w2);
    EXPECT_EQ(h1, h2);
    RecordingCanvas a, b;
    mf.Play(a, Rect{0, 0, 300, 300}, 11);
    copy.Play(b, Rect{0, 0, 300, 300}, 11);
    EXPECT_EQ(PixelSpan(a), PixelSpan(b));

    // Whatever an archive holds after the placeable header, the block is written
    // back with its two zero bytes.
    auto padded = archive;
    padded[22] = 0xAB;
    padded[23] = 0xCD;
    ASSERT_TRUE(copy.Deserialize(padded));
    EXPECT_EQ(copy.Serialize(), archive);

    // Empty picture: the header block and a zero count.
    CMetaFile empty;
    const auto none = empty.Serialize();
    EXPECT_EQ(none, std::vector<std::uint8_t>(28, 0));
    ASSERT_TRUE(copy.Deserialize(none));
    EXPECT_TRUE(copy.IsEmpty());

    // A count larger than the archive, or bits that are no metafile, are refused.
    auto bad = archive;
    bad[27] = 0x10;
    EXPECT_FALSE(copy.Deserialize(bad));
    EXPECT_TRUE(copy.IsEmpty());
    bad = archive;
    bad[28] = 7;
    EXPECT_FALSE(copy.Deserialize(bad));
    EXPECT_FALSE(copy.Deserialize(std::span(archive).first(20)));
}

// ---- The logos we ship and real-world metafiles ----

void ExpectPlaysInside(const CMetaFile& mf, const std::string& name)
{
    const Rect target{0, 0, 800, 600};
    const Rect placed = mf.Placement(target, 11);
    RecordingCanvas dc;
    mf.Play(dc, target, 11);
    int shapes = 0;
    for (const auto& c : dc.calls) {
        if (c.op == "Polygon" || c.op == "PolyPolygon" || c.op == "Polyline") ++shapes;
        if (c.op == "Polygon" || c.op == "Polyline") {
            for (std::size_t i = 0; i + 1 < c.args.size(); i += 2) {
                EXPECT_GE(c.args[i], placed.left - 2) << name;
                EXPECT_LE(c.args[i], placed.right + 2) << name;
                EXPECT_GE(c.args[i + 1], placed.top - 2) << name;
                EXPECT_LE(c.args[i + 1], placed.bottom + 2) << name;
            }
        }
        if (c.op == "TextOut" || c.op == "Ellipse" || c.op == "Rectangle" || c.op == "Arc" || c.op == "Pie") ++shapes;
    }
    EXPECT_GT(shapes, 0) << name;
    EXPECT_EQ(dc.SaveDepth(), 0) << name;
}

TEST(MetaFile, ShippedLogosLoadAndPlay)
{
    for (const char* name : {"VarnLogo.WMF", "Logo.WMF"}) {
        CMetaFile mf;
        ASSERT_TRUE(mf.Load(std::string(KYKLOS_SOURCE_DIR) + "/resources/" + name)) << name;
        int w = 0, h = 0;
        EXPECT_TRUE(mf.NaturalSize(w, h)) << name;
        EXPECT_GT(w, h) << name; // both are wide banners
        ExpectPlaysInside(mf, name);
    }
}

// Metafiles made by other programs, with a flag for a placeable header.
void ExpectFixturesLoadAndPlay(const std::filesystem::path& dir, std::span<const std::pair<const char*, bool>> files)
{
    for (const auto& [name, placeable] : files) {
        CMetaFile mf;
        ASSERT_TRUE(mf.Load((dir / name).string())) << name;
        int w = 0, h = 0;
        EXPECT_EQ(mf.NaturalSize(w, h), placeable) << name;
        ExpectPlaysInside(mf, name);
    }
}

// Those whose licences let them live in this repository (tests/metafile/fixtures/SOURCES.md).
TEST(MetaFile, RealWorldFixturesLoadAndPlay)
{
    const std::filesystem::path dir = std::filesystem::path(KYKLOS_SOURCE_DIR) / "tests/metafile/fixtures";
    const std::pair<const char*, bool> files[] = {
        {"imagemagick_clock.wmf", true}, {"poi_santa.wmf", true}, {"dotnet_telescope_01.wmf", true}};
    ExpectFixturesLoadAndPlay(dir, files);
    // The clip-art is mostly polygons.
    CMetaFile clock;
    ASSERT_TRUE(clock.Load((dir / "imagemagick_clock.wmf").string()));
    RecordingCanvas dc;
    clock.Play(dc, Rect{0, 0, 800, 600}, 11);
    EXPECT_EQ(dc.Count("Polygon"), 59);
    EXPECT_EQ(dc.Count("PolyPolygon"), 5);
}

// The LGPL and MPL ones stay in the shared fixtures beside the repository.
TEST(MetaFile, SharedRealWorldFixturesLoadAndPlay)
{
    const std::filesystem::path dir = std::filesystem::path(KYKLOS_FIXTURES_DIR) / "wmf";
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no fixtures at " << dir;
    const std::pair<const char*, bool> files[] = {
        {"libwmf_fjftest.wmf", true}, {"libwmf_text.wmf", false}, {"lo-sdk_fish.wmf", true}};
    ExpectFixturesLoadAndPlay(dir, files);
    // Text without any window: all 22 strings are drawn, two of them turned by 60 degrees.
    CMetaFile text;
    ASSERT_TRUE(text.Load((dir / "libwmf_text.wmf").string()));
    RecordingCanvas tdc;
    text.Play(tdc, Rect{0, 0, 800, 600}, 11);
    auto texts = tdc.Calls("TextOut");
    EXPECT_EQ(texts.size(), 22u);
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const RecordedCall& c) { return c.font.escapement != 0; }),
              2);
}

} // namespace
} // namespace kyklos
