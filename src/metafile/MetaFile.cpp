#include "metafile/MetaFile.h"

#include "metafile/WmfPicture.h"
#include "metafile/WmfPlayer.h"

#include <algorithm>
#include <cstring>

namespace kyklos {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kMetaHeaderSize = 18;
// A logo is a few kilobytes; anything beyond this is not a picture we show.
constexpr std::uint64_t kMaxMetafileBytes = 32u << 20;

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | (U16(p + 2) << 16); }
int I16(const std::uint8_t* p) { return static_cast<std::int16_t>(U16(p)); }

// The metafile header's type and size in bytes; false when the type is refused.
bool CheckMetaHeader(const std::uint8_t* header, std::uint64_t& bytes)
{
    const std::uint32_t type = U16(header);
    if (type != 1 && type != 2) return false;
    bytes = std::uint64_t{U32(header + 6)} * 2;
    // A size that does not even cover the header cannot be a picture.
    return bytes >= kMetaHeaderSize && bytes <= kMaxMetafileBytes;
}

} // namespace

struct CMetaFile::Picture {
    std::vector<std::uint8_t> bits; // the Windows metafile, from its header on
    WmfPicture wmf;
};

CMetaFile::CMetaFile() = default;
CMetaFile::~CMetaFile() = default;
CMetaFile::CMetaFile(CMetaFile&&) noexcept = default;
CMetaFile& CMetaFile::operator=(CMetaFile&&) noexcept = default;

bool CMetaFile::Load(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    const bool ok = Read(file);
    std::fclose(file);
    return ok;
}

bool CMetaFile::Read(std::FILE* file)
{
    picture_.reset();
    header_.fill(0);
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    if (end < start || std::fseek(file, start, SEEK_SET) != 0) return false;
    const auto available = static_cast<std::uint64_t>(end - start);

    std::uint8_t head[kPlaceableSize + kMetaHeaderSize] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    if (got < 4) return false;
    const std::size_t metaStart = U32(head) == kPlaceableKey ? kPlaceableSize : 0;
    if (got < metaStart + kMetaHeaderSize) return false;
    std::uint64_t bytes = 0;
    if (!CheckMetaHeader(head + metaStart, bytes)) return false;
    // Never reserve more than the file holds.
    if (metaStart + bytes > available) return false;

    std::vector<std::uint8_t> all(metaStart + bytes);
    if (std::fseek(file, start, SEEK_SET) != 0) return false;
    if (std::fread(all.data(), 1, all.size(), file) != all.size()) return false;
    return LoadFromMemory(all);
}

bool CMetaFile::LoadFromMemory(std::span<const std::uint8_t> data)
{
    picture_.reset();
    header_.fill(0);
    if (data.size() < 4) return false;
    std::size_t metaStart = 0;
    if (U32(data.data()) == kPlaceableKey) {
        if (data.size() < kPlaceableSize) return false;
        std::copy_n(data.begin(), kPlaceableSize, header_.begin());
        metaStart = kPlaceableSize;
    }
    if (data.size() < metaStart + kMetaHeaderSize) return false;
    std::uint64_t bytes = 0;
    if (!CheckMetaHeader(data.data() + metaStart, bytes)) return false;
    // Trailing bytes after the declared size are allowed; fewer are not.
    if (data.size() - metaStart < bytes) return false;
    if (!SetBits(data.subspan(metaStart, static_cast<std::size_t>(bytes)))) {
        header_.fill(0);
        return false;
    }
    return true;
}

bool CMetaFile::SetBits(std::span<const std::uint8_t> bits)
{
    auto picture = std::make_unique<Picture>();
    if (!picture->wmf.Parse(bits)) return false;
    picture->bits.assign(bits.begin(), bits.end());
    picture_ = std::move(picture);
    return true;
}

bool CMetaFile::IsEmpty() const { return !picture_; }

bool CMetaFile::NaturalSize(int& width, int& height) const
{
    const int unitsPerInch = static_cast<int>(U16(header_.data() + 14));
    if (unitsPerInch == 0) return false;
    const int left = I16(header_.data() + 6), top = I16(header_.data() + 8);
    const int right = I16(header_.data() + 10), bottom = I16(header_.data() + 12);
    width = (right - left) * 254 / unitsPerInch;
    height = (bottom - top) * 254 / unitsPerInch;
    // An empty or inverted bounding box has no usable size: the picture is stretched instead.
    return width > 0 && height > 0;
}

Rect CMetaFile::Placement(const Rect& target, int fitMode) const
{
    Rect rect = target;
    int width = 0, height = 0;
    if (NaturalSize(width, height)) FitRect(rect, width, height, fitMode);
    return rect;
}

void CMetaFile::Play(Canvas& dc, const Rect& target, int fitMode) const
{
    if (!picture_) return;
    WmfPlayer(picture_->wmf, dc).Play(Placement(target, fitMode));
}

void CMetaFile::FitRect(Rect& rect, int width, int height, int mode)
{
    // 64-bit products so that huge rectangles cannot overflow; the quotients are
    // the 32-bit values of the placement rules.
    const std::int64_t w = width, h = height;
    const Rect r0 = rect;
    auto& L = rect.left;
    auto& T = rect.top;
    auto& R = rect.right;
    auto& B = rect.bottom;
    auto i32 = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    if (mode >= 1 && mode <= 9) {
        const int row = (mode - 1) / 3, column = (mode - 1) % 3;
        if (row == 0)
            B = i32(T + h);
        else if (row == 1) {
            T = i32((std::int64_t{T} + B - h) / 2);
            B = i32(T + h);
        } else
            T = i32(B - h);
        if (column == 0)
            R = i32(L + w);
        else if (column == 1) {
            L = i32((std::int64_t{L} + R - w) / 2);
            R = i32(L + w);
        } else
            L = i32(R - w);
        L = std::max(L, r0.left);
        R = std::min(R, r0.right);
        T = std::max(T, r0.top);
        B = std::min(B, r0.bottom);
        return;
    }
    if (mode != 11 && mode != 12) return;
    const std::int64_t W = std::int64_t{R} - L, H = std::int64_t{B} - T;
    if (W * h > H * w) {
        if (h == 0) return; // no proportions to keep
        const std::int64_t newWidth = H * w / h;
        if (mode == 11) {
            L = i32((std::int64_t{L} + R - newWidth) / 2);
            R = i32(L + newWidth);
        } else {
            R = i32(L + newWidth);
        }
    } else {
        if (w == 0) return;
        const std::int64_t newHeight = W * h / w;
        T = i32((std::int64_t{T} + B - newHeight) / 2);
        B = i32(T + newHeight);
    }
}

// The archive's picture bytes are the Windows metafile itself, from its
// header on, as it is kept and played; no enhanced metafile is made from it.
std::vector<std::uint8_t> CMetaFile::Serialize() const
{
    std::vector<std::uint8_t> out(header_.begin(), header_.end());
    const std::uint32_t n = picture_ ? static_cast<std::uint32_t>(picture_->bits.size()) : 0;
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(n >> (8 * k)));
    if (picture_) out.insert(out.end(), picture_->bits.begin(), picture_->bits.end());
    return out;
}

bool CMetaFile::Deserialize(std::span<const std::uint8_t> archive)
{
    picture_.reset();
    header_.fill(0);
    if (archive.size() < header_.size() + 4) return false;
    const std::uint32_t n = U32(archive.data() + header_.size());
    const auto rest = archive.subspan(header_.size() + 4);
    if (n > rest.size()) return false;
    // Only the placeable header is taken; the block's last two bytes are always written as zeros.
    std::copy_n(archive.begin(), kPlaceableSize, header_.begin());
    if (n == 0) return true;
    std::uint64_t bytes = 0;
    if (n < kMetaHeaderSize || !CheckMetaHeader(rest.data(), bytes) || bytes > n ||
        !SetBits(rest.first(static_cast<std::size_t>(bytes)))) {
        header_.fill(0);
        return false;
    }
    return true;
}

} // namespace kyklos
