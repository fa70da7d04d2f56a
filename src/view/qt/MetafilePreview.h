#pragma once
// Rendering a logo metafile on its own, for checking what a logo file will
// look like in the report's footer.

#include <string>

namespace kyklos {

// Plays the metafile at wmfPath fitted into a width × height white picture
// (centred, aspect kept, as the footer places a logo) and writes it in the
// format the extension of outPath names: .png, .svg or .pdf (a page of that
// size at 96 pixels per inch). False with a one-line reason in `error` when
// the metafile cannot be read, the size is not positive, the extension is
// another one, or the file cannot be written.
bool RenderMetafile(const std::string& wmfPath, const std::string& outPath, int width, int height, std::string& error);

} // namespace kyklos
