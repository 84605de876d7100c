#include "graph/DrawGraph.h"

#include "graph/GraphGeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace skyfetch {
namespace {

const QColor kBarColour(64, 128, 255);
const QColor kLineColour(255, 0, 0);
constexpr int kLineWidth = 4;

enum class Across { Left, Centre, Right };
enum class Down { Baseline, Top };

// Writes text so that the anchor lies on the given part of it; rotated fonts turn the
// text about the anchor.
void Text(QPainter& p, const GraphFont& font, GraphPoint anchor, const QString& text, Across across,
          Down down) {
    p.save();
    p.setFont(font.font);
    p.translate(anchor.x, anchor.y);
    if (font.escapement != 0)
        p.rotate(-font.escapement / 10.0); // escapement turns counter-clockwise on screen
    const QFontMetrics metrics = p.fontMetrics();
    const int w = metrics.horizontalAdvance(text);
    const int x = across == Across::Left ? 0 : across == Across::Centre ? -(w / 2) : -w;
    const int y = down == Down::Baseline ? 0 : metrics.ascent();
    p.drawText(QPoint(x, y), text);
    p.restore();
}

void Clear(QPainter& p, const GraphRect& r) {
    p.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), Qt::white);
}

void PrepareDefaults(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
}

} // namespace

void DrawGraph(QPainter* painter, const ClimateGraphData& data, const GraphFonts& fonts, int width,
               int height, int initialWidth) {
    if (painter == nullptr)
        return;
    QPainter& p = *painter;
    p.save();
    PrepareDefaults(p);

    // Measured on the painter's device, as the text is drawn there.
    p.setFont(fonts.horizontal.font);
    const QFontMetrics labels = p.fontMetrics();
    p.setFont(fonts.downward.font);
    const int titleDescent = p.fontMetrics().descent();
    p.setFont(fonts.upward.font);
    GraphTextSize text;
    text.labelWidth = [&labels](const std::string& label) {
        return labels.horizontalAdvance(QString::fromStdString(label));
    };
    text.titleDescent = std::max(titleDescent, p.fontMetrics().descent());
    const GraphGeometry g = ComputeGraphGeometry(data, width, height, initialWidth, text);
    Clear(p, g.clear);
    if (!g.hasData) {
        p.restore();
        return;
    }
    const GraphLayout& l = g.layout;

    QPolygon frame;
    for (const GraphPoint& pt : g.frame)
        frame << QPoint(pt.x, pt.y);
    p.drawPolyline(frame);

    for (const GraphTick& tick : g.rightTicks) {
        p.drawLine(l.xRight, tick.y, l.xRight + 4, tick.y);
        Text(p, fonts.horizontal, {l.xRight + 6, tick.y + 3}, QString::fromStdString(tick.label),
             Across::Left, Down::Baseline);
    }
    Text(p, fonts.downward, g.precipitationTitle, QStringLiteral("Precipitation (mm)"),
         Across::Centre, Down::Baseline);

    for (int i = 0; i <= 12; ++i)
        p.drawLine(g.monthTicks[i], l.yBase, g.monthTicks[i], height - 34);
    for (int i = 0; i < 12; ++i)
        Text(p, fonts.horizontal, g.monthLetters[i], QString(QChar(kMonthLetters[i])),
             Across::Centre, Down::Top);
    Text(p, fonts.horizontal, g.monthTitle, QStringLiteral("Month"), Across::Centre, Down::Top);

    for (const GraphRect& bar : g.bars)
        p.fillRect(QRect(bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top),
                   kBarColour);

    for (const GraphTick& tick : g.leftTicks) {
        p.drawLine(l.xLeft, tick.y, l.xLeft - 4, tick.y);
        Text(p, fonts.horizontal, {l.xLeft - 6, tick.y + 3}, QString::fromStdString(tick.label),
             Across::Right, Down::Baseline);
    }
    Text(p, fonts.upward, g.temperatureTitle, QStringLiteral("Temperature (°C)"), Across::Centre,
         Down::Baseline);

    QPen red(kLineColour, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(red);
    QPolygon line;
    for (const GraphPoint& pt : g.line)
        line << QPoint(pt.x, pt.y);
    p.drawPolyline(line);

    p.restore();
}

void DrawGraphNotice(QPainter* painter, const QString& notice, const GraphFonts& fonts, int width,
                     int height) {
    if (painter == nullptr)
        return;
    QPainter& p = *painter;
    p.save();
    PrepareDefaults(p);
    Clear(p, GraphRect{2, 2, width, height});
    Text(p, fonts.horizontal, {width / 2, height / 2}, notice, Across::Centre, Down::Baseline);
    p.restore();
}

} // namespace skyfetch
