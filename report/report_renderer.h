#pragma once

class QPagedPaintDevice;

namespace durnmoor {

struct ReportLayout;

inline constexpr char report_font[] = "Arial";

// Draws a layout on a printer or a PDF writer: A4 landscape, one page of the device for each
// page of the layout. Column n stands n - 1 average character widths of the font in use from
// the left edge of the printable area, and lines follow each other at the font's line
// spacing. False when the device could not be painted on.
bool render_report(const ReportLayout &layout, QPagedPaintDevice &device);

} // namespace durnmoor
