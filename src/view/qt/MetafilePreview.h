#pragma once
// Rendering a logo metafile on its own, for checking what a logo file will
// look like in the report's footer.

#include <string>

namespace kyklos {

// Plays the metafile at wmfPath fitted into a width × height white image
// (centred, aspect kept, as the footer places a logo) and writes it as PNG.
// False with a one-line reason in `error` when the metafile cannot be read,
// the size is not positive, or the image cannot be written.
bool RenderMetafileToImage(const std::string& wmfPath, const std::string& pngPath, int width, int height,
                           std::string& error);

} // namespace kyklos
