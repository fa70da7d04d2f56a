#include "metafile/WmfPlayer.h"

#include "metafile/WmfCharset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <utility>

namespace kyklos {

namespace {

enum MapMode {
    MM_TEXT = 1,
    MM_LOMETRIC,
    MM_HIMETRIC,
    MM_LOENGLISH,
    MM_HIENGLISH,
    MM_TWIPS,
    MM_ISOTROPIC,
    MM_ANISOTROPIC
};
constexpr int TA_UPDATECP = 1;
constexpr int ETO_OPAQUE = 0x0002;
constexpr int ETO_CLIPPED = 0x0004;
constexpr int R2_BLACK = 1, R2_NOT = 6, R2_NOP = 11, R2_WHITE = 16;
constexpr int PS_NULL = 5;
constexpr std::uint32_t PATCOPY = 0x00F00021, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// Device coordinates handed to the canvas stay well inside int.
constexpr double kMaxDevice = 1 << 24;
constexpr int kMaxSaveDepth = 256;
constexpr std::size_t kMaxClipOps = 64;
// Fonts asked for by character height are about this much taller in the cell.
constexpr double kCellPerEm = 1.15;
constexpr double kAscentPerCell = 0.8;
constexpr int kMeasureHeight = 1000;
// Widest character a font may ask for, in cells: beyond it glyphs are bars.
constexpr double kMaxWidthPerCell = 32;
// A mapping that stretches text by less than this share along its baseline
// (against across it) leaves the glyphs at their natural width.
constexpr double kStretchTolerance = 0.01;

struct Box {
    double left = std::numeric_limits<double>::infinity(), top = left;
    double right = -left, bottom = -left;
    bool Empty() const { return !(left <= right && top <= bottom); }
    void Add(double x, double y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    void Add(const Box& b)
    {
        if (b.Empty()) return;
        Add(b.left, b.top);
        Add(b.right, b.bottom);
    }
    void Inflate(double d)
    {
        left -= d;
        top -= d;
        right += d;
        bottom += d;
    }
    Box Intersect(const Box& c) const
    {
        Box r;
        r.left = std::max(left, c.left);
        r.top = std::max(top, c.top);
        r.right = std::min(right, c.right);
        r.bottom = std::min(bottom, c.bottom);
        return r;
    }
    static Box Everything()
    {
        const double inf = std::numeric_limits<double>::infinity();
        Box b;
        b.left = -inf;
        b.top = -inf;
        b.right = inf;
        b.bottom = inf;
        return b;
    }
};

struct ClipOp {
    bool exclude = false;
    Box box; // reference space
};

// The device-context state a metafile changes; SaveDC pushes all of it.
struct DcState {
    int mapMode = MM_ANISOTROPIC;
    double wox = 0, woy = 0, wex = 1, wey = 1;
    double vox = 0, voy = 0, vex = 1, vey = 1;
    bool viewportExtSet = false;
    WmfPen pen;
    WmfBrush brush;
    WmfFont font{.height = 16};
    Colour textColour = kBlack;
    Colour bkColour = kWhite;
    bool opaque = true;
    int align = 0;
    FillMode fill = FillMode::Alternate;
    int rop2 = 13;
    int charExtra = 0;
    double cpx = 0, cpy = 0;
    Box clipBox = Box::Everything();
    std::vector<ClipOp> clip;

    // Logical units to the metafile's device space.
    double Sx() const { return Scales().first; }
    double Sy() const { return Scales().second; }
    std::pair<double, double> Scales() const
    {
        switch (mapMode) {
        case MM_TEXT: return {1.0, 1.0};
        case MM_LOMETRIC: return {96.0 / 254.0, -96.0 / 254.0};
        case MM_HIMETRIC: return {96.0 / 2540.0, -96.0 / 2540.0};
        case MM_LOENGLISH: return {0.96, -0.96};
        case MM_HIENGLISH: return {0.096, -0.096};
        case MM_TWIPS: return {96.0 / 1440.0, -96.0 / 1440.0};
        case MM_ISOTROPIC: {
            const double sx = vex / wex, sy = vey / wey;
            const double m = std::min(std::abs(sx), std::abs(sy));
            return {std::copysign(m, sx), std::copysign(m, sy)};
        }
        default: return {vex / wex, vey / wey};
        }
    }
    double X(double x) const { return (x - wox) * Sx() + vox; }
    double Y(double y) const { return (y - woy) * Sy() + voy; }
};

int ClampDevice(double v)
{
    if (!(v > -kMaxDevice)) return static_cast<int>(-kMaxDevice);
    if (!(v < kMaxDevice)) return static_cast<int>(kMaxDevice);
    return static_cast<int>(std::lround(v));
}

bool SetExtent(double& ex, double& ey, std::int64_t x, std::int64_t y)
{
    // Zero extents are refused; huge ones would lose all precision.
    constexpr std::int64_t kMax = std::int64_t{1} << 30;
    if (x == 0 || y == 0 || std::abs(x) > kMax || std::abs(y) > kMax) return false;
    ex = static_cast<double>(x);
    ey = static_cast<double>(y);
    return true;
}

void Scale(double& ex, double& ey, const std::int32_t* a)
{
    if (a[1] == 0 || a[3] == 0) return;
    const auto x = static_cast<std::int64_t>(ex) * a[0] / a[1];
    const auto y = static_cast<std::int64_t>(ey) * a[2] / a[3];
    SetExtent(ex, ey, x, y);
}

double ClampOrigin(double v) { return std::clamp(v, -1e9, 1e9); }

class Interpreter {
public:
    Interpreter(const WmfPicture& pic, Canvas& dc) : pic_(pic), dc_(dc) {}

    // Runs the records once. Without a device mapping it only collects the
    // bounds of what is drawn.
    void Run(bool draw)
    {
        draw_ = draw;
        state_ = DcState{};
        stack_.clear();
        bounds_ = Box{};
        InvalidateCanvas();
        for (const auto& r : pic_.records) Execute(r);
    }

    const Box& Bounds() const { return bounds_; }

    void SetDeviceMapping(const Box& bounds, const Rect& target)
    {
        const double w = std::max(0, target.Width() - 1), h = std::max(0, target.Height() - 1);
        const double spanX = bounds.right - bounds.left, spanY = bounds.bottom - bounds.top;
        kx_ = spanX > 0 ? w / spanX : 0;
        ky_ = spanY > 0 ? h / spanY : 0;
        if (kx_ == 0 && ky_ == 0)
            kx_ = ky_ = 1;
        else if (kx_ == 0)
            kx_ = ky_;
        else if (ky_ == 0)
            ky_ = kx_;
        ox_ = (spanX > 0 ? target.left : (target.left + target.right) / 2.0) - bounds.left * kx_;
        oy_ = (spanY > 0 ? target.top : (target.top + target.bottom) / 2.0) - bounds.top * ky_;
    }

private:
    // Reference space to device.
    int Dx(double x) const { return ClampDevice(ox_ + x * kx_); }
    int Dy(double y) const { return ClampDevice(oy_ + y * ky_); }
    Point DevicePoint(double lx, double ly) const { return {Dx(state_.X(lx)), Dy(state_.Y(ly))}; }
    Rect DeviceRect(const Box& b) const { return {Dx(b.left), Dy(b.top), Dx(b.right), Dy(b.bottom)}; }
    Box RefBox(double l, double t, double r, double b) const
    {
        Box box;
        box.Add(state_.X(l), state_.Y(t));
        box.Add(state_.X(r), state_.Y(b));
        return box;
    }
    Rect DeviceBox(double l, double t, double r, double b) const { return DeviceRect(RefBox(l, t, r, b)); }

    void Include(Box b)
    {
        b = b.Intersect(state_.clipBox);
        bounds_.Add(b);
    }
    double HalfPen() const
    {
        if (PenIsNull()) return 0;
        return state_.pen.width * std::abs(state_.Sx()) / 2;
    }
    bool PenIsNull() const { return state_.pen.style == PS_NULL || state_.rop2 == R2_NOP; }

    void InvalidateCanvas()
    {
        pen_.reset();
        brush_.reset();
        font_.reset();
        textColour_.reset();
        bkColour_.reset();
        opaque_.reset();
        align_.reset();
        fill_.reset();
    }

    template <class T, class F>
    static void Send(std::optional<T>& sent, const T& wanted, F&& send)
    {
        if (!sent || !(*sent == wanted)) {
            send(wanted);
            sent = wanted;
        }
    }

    Colour RopColour(Colour c) const
    {
        if (state_.rop2 == R2_BLACK) return kBlack;
        if (state_.rop2 == R2_WHITE) return kWhite;
        if (state_.rop2 == R2_NOT)
            return {static_cast<std::uint8_t>(255 - c.r), static_cast<std::uint8_t>(255 - c.g),
                    static_cast<std::uint8_t>(255 - c.b)};
        return c;
    }

    Pen DevicePen() const
    {
        Pen p;
        const auto& wp = state_.pen;
        if (PenIsNull()) {
            p.style = PenStyle::Null;
            return p;
        }
        // Styled lines are only drawn one unit wide; wider ones are solid.
        static constexpr PenStyle kStyles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                                               PenStyle::DashDotDot};
        p.style = (wp.style < 5 && wp.width <= 1) ? kStyles[wp.style]
                                                  : (wp.style == 8 && wp.width <= 1 ? PenStyle::Dot : PenStyle::Solid);
        const double w = wp.width * std::abs(state_.Sx()) * kx_;
        p.width = w < 1.5 ? 0 : ClampDevice(w);
        p.colour = RopColour(wp.colour);
        return p;
    }
    Brush DeviceBrush() const
    {
        Brush b;
        b.style = state_.rop2 == R2_NOP ? BrushStyle::Null : state_.brush.style;
        b.colour = RopColour(state_.brush.colour);
        b.hatch = state_.brush.hatch;
        return b;
    }

    void SyncBackground()
    {
        Send(opaque_, state_.opaque, [&](bool v) { dc_.SetBackgroundMode(v); });
        Send(bkColour_, state_.bkColour, [&](Colour c) { dc_.SetBackgroundColour(c); });
    }
    void SyncLine()
    {
        Send(pen_, DevicePen(), [&](const Pen& p) { dc_.SetPen(p); });
        SyncBackground();
    }
    void SyncFill()
    {
        SyncLine();
        Send(brush_, DeviceBrush(), [&](const Brush& b) { dc_.SetBrush(b); });
        Send(fill_, state_.fill, [&](FillMode m) { dc_.SetFillMode(m); });
    }

    // The clip region is rebuilt from the saved canvas state whenever it
    // shrinks back (RestoreDC, SelectClipRgn, OffsetClipRgn).
    void ResetCanvasClip()
    {
        if (!draw_) return;
        dc_.Restore();
        dc_.Save();
        InvalidateCanvas();
        for (const auto& op : state_.clip) ApplyClip(op);
    }
    void ApplyClip(const ClipOp& op)
    {
        if (!draw_) return;
        const Rect r = DeviceRect(op.box);
        if (op.exclude)
            dc_.ExcludeClip(r);
        else
            dc_.IntersectClip(r);
    }
    void AddClip(bool exclude, const Box& box)
    {
        if (state_.clip.size() >= kMaxClipOps) return;
        ClipOp op{exclude, box};
        state_.clip.push_back(op);
        if (!exclude) state_.clipBox = state_.clipBox.Intersect(box);
        ApplyClip(op);
    }

    double FontCellRef(const WmfFont& f) const
    {
        const double sy = std::abs(state_.Sy());
        if (f.height == 0) return 16 * sy; // the system's default size
        return f.height < 0 ? -f.height * sy * kCellPerEm : f.height * sy;
    }
    // The average character width the font asks for, in the metafile's device
    // space; 0 for the face's natural width.
    double FontWidthRef(const WmfFont& f) const { return std::abs(f.width * state_.Sx()); }
    // The baseline's direction after the mapping, which may stretch one axis more than the other.
    int DeviceEscapement(int escapement) const
    {
        if (escapement == 0 || kx_ == ky_) return escapement;
        const double angle = escapement / 10.0 * std::numbers::pi / 180;
        const double device = std::atan2(ky_ * std::sin(angle), kx_ * std::cos(angle));
        return static_cast<int>(std::lround(device * 1800 / std::numbers::pi));
    }
    // How much the mapping onto the device lengthens a unit along the
    // baseline of text at the given escapement, and across it. Across, the
    // mapping of turned text would also shear the glyphs; the distance from
    // the baseline that keeps their area (the mapping's determinant over the
    // stretch along) stands in for it.
    double AlongBaseline(int escapement) const
    {
        const double angle = escapement / 10.0 * std::numbers::pi / 180;
        return std::hypot(kx_ * std::cos(angle), ky_ * std::sin(angle));
    }
    double AcrossBaseline(int escapement) const
    {
        const double along = AlongBaseline(escapement);
        return along > 0 ? kx_ * ky_ / along : ky_;
    }
    bool Stretched(int escapement) const
    {
        const double along = AlongBaseline(escapement), across = AcrossBaseline(escapement);
        return std::abs(along - across) > kStretchTolerance * std::max(along, across);
    }
    // The font text is measured with: kMeasureHeight high, its width in proportion.
    FontSpec MeasuringFont(const WmfFont& f, double cellRef) const
    {
        FontSpec s;
        s.face = f.face;
        s.height = kMeasureHeight;
        if (f.width != 0 && cellRef > 0)
            s.width = std::max(1, ClampDevice(std::min(FontWidthRef(f) / cellRef, kMaxWidthPerCell) * kMeasureHeight));
        s.weight = f.weight > 0 ? std::min(f.weight, 1000) : 400;
        s.italic = f.italic;
        s.underline = f.underline;
        s.strikeOut = f.strikeOut;
        return s;
    }
    void SelectMeasuringFont(const WmfFont& f, double cellRef, int& measuredCell)
    {
        const FontSpec font = MeasuringFont(f, cellRef);
        measuredCell = dc_.SetFont(font);
        font_ = font;
    }
    // The font drawn with: its cell scaled across the baseline and its width
    // along it. A font of natural width gets the face's natural width times
    // the ratio of the two, so that glyphs are squeezed or widened as the
    // mapping stretches the picture, not only spaced.
    FontSpec DrawingFont(const WmfFont& f, double cellRef)
    {
        const double along = AlongBaseline(f.escapement), across = AcrossBaseline(f.escapement);
        int width = 0;
        if (f.width != 0) {
            width = std::max(1, ClampDevice(std::min(FontWidthRef(f), kMaxWidthPerCell * cellRef) * along));
        } else if (Stretched(f.escapement)) {
            int measuredCell = 0;
            SelectMeasuringFont(f, cellRef, measuredCell);
            width = std::max(1, ClampDevice(dc_.AverageCharWidth() * cellRef * along / kMeasureHeight));
        }
        FontSpec s = MeasuringFont(f, cellRef);
        s.height = std::max(1, ClampDevice(cellRef * across));
        s.width = width;
        s.escapement = DeviceEscapement(f.escapement);
        return s;
    }
    // Advances of each character in the metafile's device space, measured on
    // the canvas with the extra character spacing added.
    std::vector<double> MeasuredAdvancesRef(std::string_view text, double cellRef)
    {
        std::vector<double> advances;
        int measured = 0;
        SelectMeasuringFont(state_.font, cellRef, measured);
        if (measured <= 0) return advances;
        const double extra = state_.charExtra * std::abs(state_.Sx());
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
            advances.push_back(dc_.TextExtent(text.substr(i, n)).width * cellRef / measured + extra);
            i += n;
        }
        return advances;
    }
    double TextWidthRef(const DecodedText& t, double cellRef)
    {
        if (!t.dx.empty()) {
            double sum = 0;
            for (int d : t.dx) sum += d;
            return std::abs(sum * state_.Sx());
        }
        if (t.utf8.empty()) return 0;
        if (state_.charExtra != 0) {
            double sum = 0;
            for (double a : MeasuredAdvancesRef(t.utf8, cellRef)) sum += a;
            return sum;
        }
        int measured = 0;
        SelectMeasuringFont(state_.font, cellRef, measured);
        const Size size = dc_.TextExtent(t.utf8);
        return measured > 0 ? size.width * cellRef / measured : 0;
    }

    void Execute(const WmfRecord& r);
    void DrawText(const WmfText& t);
    void DrawBitmap(const WmfBitmap& b);
    void FillBox(const Box& box, const WmfBrush& brush);
    void Arcs(const WmfRecord& r);

    const WmfPicture& pic_;
    Canvas& dc_;
    bool draw_ = false;
    DcState state_;
    std::vector<DcState> stack_;
    Box bounds_;
    double kx_ = 1, ky_ = 1, ox_ = 0, oy_ = 0;
    std::optional<Pen> pen_;
    std::optional<Brush> brush_;
    std::optional<FontSpec> font_;
    std::optional<Colour> textColour_, bkColour_;
    std::optional<bool> opaque_;
    std::optional<TextAlign> align_;
    std::optional<FillMode> fill_;
};

void Interpreter::Execute(const WmfRecord& r)
{
    auto& s = state_;
    const auto* a = r.a;
    switch (r.op) {
    case WmfOp::SetWindowOrg:
        s.wox = a[0];
        s.woy = a[1];
        break;
    case WmfOp::SetViewportOrg:
        s.vox = a[0];
        s.voy = a[1];
        break;
    case WmfOp::OffsetWindowOrg:
        s.wox = ClampOrigin(s.wox + a[0]);
        s.woy = ClampOrigin(s.woy + a[1]);
        break;
    case WmfOp::OffsetViewportOrg:
        s.vox = ClampOrigin(s.vox + a[0]);
        s.voy = ClampOrigin(s.voy + a[1]);
        break;
    case WmfOp::SetWindowExt:
        if (SetExtent(s.wex, s.wey, a[0], a[1]) && !s.viewportExtSet) {
            // Without a viewport of its own the metafile's device is its first window, unit for unit.
            s.vex = std::abs(s.wex);
            s.vey = std::abs(s.wey);
            s.viewportExtSet = true;
        }
        break;
    case WmfOp::SetViewportExt:
        if (SetExtent(s.vex, s.vey, a[0], a[1])) s.viewportExtSet = true;
        break;
    case WmfOp::ScaleWindowExt: Scale(s.wex, s.wey, a); break;
    case WmfOp::ScaleViewportExt: Scale(s.vex, s.vey, a); break;
    case WmfOp::SetMapMode:
        if (a[0] >= MM_TEXT && a[0] <= MM_ANISOTROPIC) s.mapMode = a[0];
        break;
    case WmfOp::SetBkMode: s.opaque = a[0] != 1; break;
    case WmfOp::SetPolyFillMode: s.fill = a[0] == 2 ? FillMode::Winding : FillMode::Alternate; break;
    case WmfOp::SetRop2: s.rop2 = a[0]; break;
    case WmfOp::SetTextAlign: s.align = a[0]; break;
    case WmfOp::SetTextCharExtra: s.charExtra = a[0]; break;
    case WmfOp::SetTextColour: s.textColour = r.colour; break;
    case WmfOp::SetBkColour: s.bkColour = r.colour; break;
    case WmfOp::SaveDC:
        if (stack_.size() < kMaxSaveDepth) stack_.push_back(s);
        break;
    case WmfOp::RestoreDC: {
        const int n = a[0];
        const int depth = static_cast<int>(stack_.size());
        int keep = -1; // saved states left after restoring
        if (n < 0 && -n <= depth)
            keep = depth + n;
        else if (n > 0 && n <= depth)
            keep = n - 1;
        if (keep < 0) break;
        state_ = stack_[static_cast<std::size_t>(keep)];
        stack_.resize(static_cast<std::size_t>(keep));
        ResetCanvasClip();
        break;
    }
    case WmfOp::SelectObject: {
        const auto& o = pic_.objects[r.first];
        if (const auto* pen = std::get_if<WmfPen>(&o))
            s.pen = *pen;
        else if (const auto* brush = std::get_if<WmfBrush>(&o))
            s.brush = *brush;
        else if (const auto* font = std::get_if<WmfFont>(&o))
            s.font = *font;
        break;
    }
    case WmfOp::SelectClipRegion:
        s.clip.clear();
        s.clipBox = Box::Everything();
        ResetCanvasClip();
        if (a[0] != 0) {
            const auto& g = std::get<WmfRegion>(pic_.objects[r.first]);
            AddClip(false, RefBox(g.left, g.top, g.right, g.bottom));
        }
        break;
    case WmfOp::OffsetClip: {
        const double dx = a[0] * s.Sx(), dy = a[1] * s.Sy();
        auto shift = [&](Box& b) {
            b.left += dx;
            b.right += dx;
            b.top += dy;
            b.bottom += dy;
        };
        for (auto& op : s.clip) shift(op.box);
        shift(s.clipBox);
        ResetCanvasClip();
        break;
    }
    case WmfOp::IntersectClip:
    case WmfOp::ExcludeClip: AddClip(r.op == WmfOp::ExcludeClip, RefBox(a[0], a[1], a[2], a[3])); break;
    case WmfOp::MoveTo:
        s.cpx = a[0];
        s.cpy = a[1];
        break;
    case WmfOp::LineTo: {
        Box b;
        b.Add(s.X(s.cpx), s.Y(s.cpy));
        b.Add(s.X(a[0]), s.Y(a[1]));
        if (!draw_) {
            b.Inflate(HalfPen());
            Include(b);
        } else {
            SyncLine();
            const Point p0 = DevicePoint(s.cpx, s.cpy), p1 = DevicePoint(a[0], a[1]);
            dc_.MoveTo(p0.x, p0.y);
            dc_.LineTo(p1.x, p1.y);
        }
        s.cpx = a[0];
        s.cpy = a[1];
        break;
    }
    case WmfOp::SetPixel:
        if (!draw_) {
            Box b;
            b.Add(s.X(a[0]), s.Y(a[1]));
            Include(b);
        } else {
            const Point p = DevicePoint(a[0], a[1]);
            dc_.SetPixel(p.x, p.y, r.colour);
        }
        break;
    case WmfOp::Polyline:
    case WmfOp::Polygon:
    case WmfOp::PolyPolygon: {
        const std::size_t first = r.op == WmfOp::PolyPolygon ? static_cast<std::size_t>(a[0]) : r.first;
        std::size_t count = r.count;
        if (r.op == WmfOp::PolyPolygon) {
            count = 0;
            for (std::uint32_t i = 0; i < r.count; ++i)
                count += static_cast<std::size_t>(pic_.polygonSizes[r.first + i]);
        }
        const auto pts = std::span<const Point>(pic_.points).subspan(first, count);
        if (!draw_) {
            Box b;
            for (const auto& p : pts) b.Add(s.X(p.x), s.Y(p.y));
            b.Inflate(HalfPen());
            Include(b);
            break;
        }
        std::vector<Point> dev;
        dev.reserve(pts.size());
        for (const auto& p : pts) dev.push_back(DevicePoint(p.x, p.y));
        if (r.op == WmfOp::Polyline) {
            SyncLine();
            dc_.Polyline(dev);
        } else if (r.op == WmfOp::Polygon) {
            SyncFill();
            dc_.Polygon(dev);
        } else {
            SyncFill();
            std::vector<int> counts(pic_.polygonSizes.begin() + r.first, pic_.polygonSizes.begin() + r.first + r.count);
            dc_.PolyPolygon(dev, counts);
        }
        break;
    }
    case WmfOp::Rectangle:
    case WmfOp::Ellipse:
    case WmfOp::RoundRect: {
        if (!draw_) {
            Box b = RefBox(a[0], a[1], a[2], a[3]);
            b.Inflate(HalfPen());
            Include(b);
            break;
        }
        SyncFill();
        const Rect box = DeviceBox(a[0], a[1], a[2], a[3]);
        if (r.op == WmfOp::Rectangle)
            dc_.Rectangle(box);
        else if (r.op == WmfOp::Ellipse)
            dc_.Ellipse(box);
        else
            dc_.RoundRect(box, ClampDevice(std::abs(a[4] * s.Sx() * kx_)), ClampDevice(std::abs(a[5] * s.Sy() * ky_)));
        break;
    }
    case WmfOp::Arc:
    case WmfOp::Pie:
    case WmfOp::Chord: Arcs(r); break;
    case WmfOp::Text: DrawText(pic_.texts[r.first]); break;
    case WmfOp::Bitmap: DrawBitmap(pic_.bitmaps[r.first]); break;
    case WmfOp::PatBlt: {
        const auto rop = static_cast<std::uint32_t>(a[4]);
        const Box b = RefBox(a[0], a[1], static_cast<double>(a[0]) + a[2], static_cast<double>(a[1]) + a[3]);
        if (rop == BLACKNESS || rop == WHITENESS)
            FillBox(b, WmfBrush{BrushStyle::Solid, rop == BLACKNESS ? kBlack : kWhite, HatchStyle::Horizontal});
        else if (rop == PATCOPY)
            FillBox(b, s.brush);
        break;
    }
    case WmfOp::FillRegion:
    case WmfOp::FrameRegion: {
        const auto& g = std::get<WmfRegion>(pic_.objects[static_cast<std::size_t>(a[0])]);
        const WmfBrush brush = a[1] >= 0 ? std::get<WmfBrush>(pic_.objects[static_cast<std::size_t>(a[1])]) : s.brush;
        const Box b = RefBox(g.left, g.top, g.right, g.bottom);
        if (r.op == WmfOp::FillRegion) {
            FillBox(b, brush);
        } else {
            const double fw = std::abs(a[2] * s.Sx()), fh = std::abs(a[3] * s.Sy());
            FillBox({b.left, b.top, b.right, b.top + fh}, brush);
            FillBox({b.left, b.bottom - fh, b.right, b.bottom}, brush);
            FillBox({b.left, b.top, b.left + fw, b.bottom}, brush);
            FillBox({b.right - fw, b.top, b.right, b.bottom}, brush);
        }
        break;
    }
    }
}

void Interpreter::FillBox(const Box& box, const WmfBrush& brush)
{
    if (brush.style == BrushStyle::Null || box.Empty()) return;
    if (!draw_) {
        Include(box);
        return;
    }
    if (brush.style == BrushStyle::Solid) {
        dc_.FillRect(DeviceRect(box), brush.colour);
        return;
    }
    dc_.Save();
    dc_.SetPen(Pen{PenStyle::Null, 0, kBlack});
    dc_.SetBrush(Brush{brush.style, brush.colour, brush.hatch});
    dc_.Rectangle(DeviceRect(box));
    dc_.Restore();
}

void Interpreter::Arcs(const WmfRecord& r)
{
    const auto* a = r.a;
    const auto& s = state_;
    if (draw_) {
        const Rect box = DeviceBox(a[0], a[1], a[2], a[3]);
        const Point start = DevicePoint(a[4], a[5]), end = DevicePoint(a[6], a[7]);
        if (r.op == WmfOp::Arc) {
            SyncLine();
            dc_.Arc(box, start, end);
        } else {
            SyncFill();
            if (r.op == WmfOp::Pie)
                dc_.Pie(box, start, end);
            else
                dc_.Chord(box, start, end);
        }
        return;
    }
    // Bounds of the drawn part of the ellipse: sample it counter-clockwise (as
    // seen on the device) from the start radial to the end radial.
    const Box box = RefBox(a[0], a[1], a[2], a[3]);
    const double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    const double rx = (box.right - box.left) / 2, ry = (box.bottom - box.top) / 2;
    const double a0 = std::atan2(-(s.Y(a[5]) - cy), s.X(a[4]) - cx);
    double a1 = std::atan2(-(s.Y(a[7]) - cy), s.X(a[6]) - cx);
    if (a1 <= a0) a1 += 2 * std::numbers::pi;
    Box b;
    constexpr int kSteps = 64;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = a0 + (a1 - a0) * i / kSteps;
        b.Add(cx + rx * std::cos(t), cy - ry * std::sin(t));
    }
    if (r.op == WmfOp::Pie) b.Add(cx, cy);
    b.Inflate(HalfPen());
    Include(b);
}

void Interpreter::DrawText(const WmfText& record)
{
    auto& s = state_;
    const DecodedText t = DecodeWmfText(record.bytes, record.dx, s.font.charset);
    const bool updateCp = (s.align & TA_UPDATECP) != 0;
    const double lx = updateCp ? s.cpx : record.x, ly = updateCp ? s.cpy : record.y;
    const double rx = s.X(lx), ry = s.Y(ly);
    const int hBits = s.align & 6, vBits = s.align & 24;
    const HAlign h = hBits == 6 ? HAlign::Centre : hBits == 2 ? HAlign::Right : HAlign::Left;
    const VAlign v = vBits == 24 ? VAlign::Baseline : vBits == 8 ? VAlign::Bottom : VAlign::Top;
    const double cell = FontCellRef(s.font);
    const bool needWidth = !draw_ || updateCp;
    const double width = needWidth ? TextWidthRef(t, cell) : 0;
    // Under a mapping that stretches the baseline more than the glyphs'
    // height, the characters are placed one by one at their measured advances
    // so that the line keeps its length whatever the canvas's font does.
    std::vector<double> measuredAdvances;
    if (draw_ && t.dx.empty() && !t.utf8.empty() && (s.charExtra != 0 || Stretched(s.font.escapement)))
        measuredAdvances = MeasuredAdvancesRef(t.utf8, cell);
    const bool hasRect = record.hasRect;
    const int options = record.options;
    const Box rect = hasRect ? RefBox(record.rect[0], record.rect[1], record.rect[2], record.rect[3]) : Box{};

    if (!draw_) {
        if ((options & ETO_OPAQUE) && hasRect) Include(rect);
        if (!t.utf8.empty()) {
            const double u0 = h == HAlign::Left ? 0 : h == HAlign::Centre ? -width / 2 : -width;
            const double v0 = v == VAlign::Top ? 0 : v == VAlign::Bottom ? -cell : -cell * kAscentPerCell;
            const double angle = s.font.escapement / 10.0 * std::numbers::pi / 180;
            const double c = std::cos(angle), sn = std::sin(angle);
            Box b;
            for (double u : {u0, u0 + width})
                for (double w : {v0, v0 + cell}) b.Add(rx + u * c + w * sn, ry - u * sn + w * c);
            if ((options & ETO_CLIPPED) && hasRect) b = b.Intersect(rect);
            Include(b);
        }
    } else {
        if ((options & ETO_OPAQUE) && hasRect) dc_.FillRect(DeviceRect(rect), s.bkColour);
        if (!t.utf8.empty()) {
            Send(font_, DrawingFont(s.font, cell), [&](const FontSpec& f) { dc_.SetFont(f); });
            Send(textColour_, s.textColour, [&](Colour c) { dc_.SetTextColour(c); });
            Send(align_, TextAlign{h, v}, [&](TextAlign al) { dc_.SetTextAlign(al); });
            SyncBackground();
            std::vector<double> refAdvances = std::move(measuredAdvances);
            for (int d : t.dx) refAdvances.push_back(d * std::abs(s.Sx()));
            // Rounded running positions, so the spacing does not drift along the line.
            const double along = AlongBaseline(s.font.escapement);
            std::vector<int> advances;
            double sum = 0;
            int previous = 0;
            for (double d : refAdvances) {
                sum += d * along;
                const int pos = ClampDevice(sum);
                advances.push_back(pos - previous);
                previous = pos;
            }
            const bool clipped = (options & ETO_CLIPPED) && hasRect;
            if (clipped) {
                dc_.Save();
                dc_.IntersectClip(DeviceRect(rect));
            }
            dc_.TextOut(Dx(rx), Dy(ry), t.utf8, advances);
            if (clipped) dc_.Restore();
        }
    }
    if (updateCp && s.Sx() != 0) {
        const double dxLogical = width / s.Sx();
        if (h == HAlign::Left)
            s.cpx += dxLogical;
        else if (h == HAlign::Right)
            s.cpx -= dxLogical;
    }
}

void Interpreter::DrawBitmap(const WmfBitmap& b)
{
    const auto& s = state_;
    const double x0 = s.X(b.x), y0 = s.Y(b.y);
    const double x1 = s.X(static_cast<double>(b.x) + b.width), y1 = s.Y(static_cast<double>(b.y) + b.height);
    Box box;
    box.Add(x0, y0);
    box.Add(x1, y1);
    if (!draw_) {
        Include(box);
        return;
    }
    const bool flipX = x1 < x0, flipY = y1 < y0;
    if (!flipX && !flipY) {
        dc_.DrawImage(DeviceRect(box), b.image);
        return;
    }
    Image mirrored;
    mirrored.width = b.image.width;
    mirrored.height = b.image.height;
    mirrored.pixels.resize(b.image.pixels.size());
    const auto w = static_cast<std::size_t>(b.image.width), h = static_cast<std::size_t>(b.image.height);
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x)
            mirrored.pixels[y * w + x] = b.image.pixels[(flipY ? h - 1 - y : y) * w + (flipX ? w - 1 - x : x)];
    dc_.DrawImage(DeviceRect(box), mirrored);
}

} // namespace

bool WmfPlayer::DrawnBounds(double& left, double& top, double& right, double& bottom)
{
    Interpreter measure(pic_, dc_);
    dc_.Save();
    measure.Run(false);
    dc_.Restore();
    const Box& b = measure.Bounds();
    if (b.Empty() || !std::isfinite(b.left) || !std::isfinite(b.right) || !std::isfinite(b.top) ||
        !std::isfinite(b.bottom))
        return false;
    left = b.left;
    top = b.top;
    right = b.right;
    bottom = b.bottom;
    return true;
}

void WmfPlayer::Play(const Rect& target)
{
    if (target.Width() <= 0 || target.Height() <= 0) return;
    Box bounds;
    if (!DrawnBounds(bounds.left, bounds.top, bounds.right, bounds.bottom)) return;
    Interpreter player(pic_, dc_);
    player.SetDeviceMapping(bounds, target);
    dc_.Save();
    player.Run(true);
    dc_.Restore();
}

} // namespace kyklos
