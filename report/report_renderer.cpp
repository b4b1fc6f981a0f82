#include "report/report_renderer.h"

#include "report/report_layout.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace durnmoor {

namespace {

// About what a printer cannot reach anyway: a page of 53 lines under its header needs
// nearly the whole height of a landscape A4 sheet. A device that cannot print this close to
// the edge refuses it and keeps its own margins.
constexpr qreal margin_mm = 4;

// The average character width by its classic definition: the small letters and the blank,
// each weighted by how often it occurs in text. The figure a font states for itself is not
// used, since Arial's stand-ins (Liberation Sans) average over every glyph they hold and state
// a third more, although each character is exactly as wide as in Arial.
qreal average_char_width(const QFontMetricsF &metrics)
{
    static constexpr int weights[] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                      56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    qreal sum = 166 * metrics.horizontalAdvance(QLatin1Char(' '));
    int total = 166;
    for (int i = 0; i < 26; ++i) {
        sum += weights[i] * metrics.horizontalAdvance(QLatin1Char(char('a' + i)));
        total += weights[i];
    }
    return sum / total;
}

// Walks a page as it is printed, handing each cell with its font and baseline point to draw,
// and returns the room the page takes.
template <typename Draw>
QSizeF walk_page(const ReportPage &page, QFont font, QPaintDevice *device, Draw &&draw)
{
    qreal top = 0, right = 0;
    for (const ReportLine &line : page.lines) {
        font.setPointSize(line.point_size);
        font.setUnderline(line.underline);
        const QFontMetricsF metrics(font, device);
        const qreal column_width = average_char_width(metrics);
        qreal pen = 0;
        for (const ReportCell &cell : line.cells) {
            const qreal x = (cell.column - 1) * column_width;
            if (x < pen) // a column the text has run past is reached on the next line
                top += metrics.lineSpacing();
            draw(font, QPointF(x, top + metrics.ascent()), cell.text);
            pen = x + metrics.horizontalAdvance(cell.text);
            right = std::max(right, pen);
        }
        top += metrics.lineSpacing();
    }
    return {right, top};
}

} // namespace

bool render_report(const ReportLayout &layout, QPagedPaintDevice &device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Landscape);
    device.setPageMargins(QMarginsF(margin_mm, margin_mm, margin_mm, margin_mm),
                          QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QFont font(QString::fromLatin1(report_font));
    font.setStyleHint(QFont::SansSerif); // where neither Arial nor a stand-in is installed
    font.setBold(false);
    bool first_page = true;
    for (const ReportPage &page : layout.pages) {
        if (!first_page && !device.newPage())
            return false;
        first_page = false;
        // A page that outgrows the printable area (wide texts pushed onto extra lines, a
        // printer with wide margins) is printed a little smaller rather than cut off.
        const QSizeF room =
            walk_page(page, font, &device, [](const QFont &, QPointF, const QString &) {});
        const qreal scale =
            std::min({qreal(1), device.width() / room.width(), device.height() / room.height()});
        painter.save();
        painter.scale(scale, scale);
        walk_page(page, font, &device, [&painter](const QFont &f, QPointF at, const QString &text) {
            painter.setFont(f);
            painter.drawText(at, text);
        });
        painter.restore();
    }
    return painter.end();
}

} // namespace durnmoor
