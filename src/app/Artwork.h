#pragma once
// The application's pictures, drawn at run time so that they are sharp at
// every device pixel ratio: the toolbar images, the splash picture and
// the About picture.

#include <QIcon>
#include <QPixmap>

namespace kyklos {

enum class ToolbarImage {
    New,
    Open,
    Copy,
    Print,
    WebSite,
    About
};

// A 16 × 15 toolbar image with its double-resolution variant.
QIcon ToolbarIcon(ToolbarImage image);
// The image alone at a device pixel ratio (1 or 2 for the icon's two variants).
QPixmap ToolbarPixmap(ToolbarImage image, qreal devicePixelRatio);

// The window icon: the application icon drawing, resources/icons/kyklos.svg.
QIcon ApplicationIcon();

inline constexpr int kSplashWidth = 520;
inline constexpr int kSplashHeight = 317;
inline constexpr int kAboutPictureWidth = 326;
inline constexpr int kAboutPictureHeight = 146;

// The splash picture, 520 × 317 device-independent pixels.
QPixmap SplashPicture(qreal devicePixelRatio);
// The About box picture, 326 × 146 device-independent pixels.
QPixmap AboutPicture(qreal devicePixelRatio);

} // namespace kyklos
