#pragma once
// Edit Copy: the report page as the window shows it, placed on the clipboard
// as an SVG picture (vector drawing and text) and as an image for programs
// that take only bitmaps.

class QWidget;

namespace kyklos {

class CKyklosDoc;
class CKyklosView;

// Draws the page at viewWidget's size with the screen's measurements. Nothing
// is reported when the clipboard is not available.
void CopyReportToClipboard(CKyklosView& view, const CKyklosDoc& doc, QWidget* viewWidget);

} // namespace kyklos
