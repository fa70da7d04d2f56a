#pragma once
// The report's footer: the maker's logo, or three lines of text when its file
// is missing; with a collaboration logo, both logos and the caption between them.

#include "platform/Canvas.h"

#include <string_view>

namespace kyklos {

class CMetaFile;

// The maker's web address, shown in the footer, the About box and the Web Site command.
inline constexpr std::string_view kMakerWebAddress = "www.varnholt.example";

void DrawFooter(Canvas& dc, const Rect& footerRect, const CMetaFile& makerLogo, const CMetaFile& collaborationLogo);

} // namespace kyklos
