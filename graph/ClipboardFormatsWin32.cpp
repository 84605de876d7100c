// The chart as an enhanced metafile, drawn with GDI from the same geometry DrawGraph
// paints, and the clipboard converter that hands it to other programs; the PNG.
#include "graph/ClipboardFormats.h"

#include "graph/GraphGeometry.h"

// The OLE types of Qt's converter interface (FORMATETC, STGMEDIUM, IDataObject), which a
// lean windows.h leaves out.
#include <ole2.h>
#include <windows.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/private/qwindowsmime_p.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace skyfetch {
namespace {

const QString kPngMimeType = QStringLiteral("image/png");
const COLORREF kBarColour = RGB(64, 128, 255);
const COLORREF kLineColour = RGB(255, 0, 0);
constexpr int kLineWidth = 4;

std::wstring Wide(const std::string& text) {
    return QString::fromStdString(text).toStdWString();
}

// One of the graph's fonts for GDI: the same face and pixel size, turned by its
// escapement (tenths of a degree, counter-clockwise).
HFONT MakeFont(const GraphFont& font) {
    const int pixels = font.font.pixelSize() > 0 ? font.font.pixelSize() : 12;
    const std::wstring face = font.font.family().toStdWString();
    return CreateFontW(-pixels, 0, font.escapement, font.escapement, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FF_SWISS | DEFAULT_PITCH, face.c_str());
}

void Text(HDC dc, HFONT font, UINT align, GraphPoint at, const std::wstring& text) {
    SelectObject(dc, font);
    SetTextAlign(dc, align);
    TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void Fill(HDC dc, const GraphRect& r, HBRUSH brush) {
    const RECT rect{r.left, r.top, r.right, r.bottom};
    FillRect(dc, &rect, brush);
}

// Draws the chart on dc as DrawGraph does on a QPainter.
void DrawGdi(HDC dc, const ClimateGraphData& data, const GraphFonts& fonts, int width, int height,
             int initialWidth) {
    const HFONT horizontal = MakeFont(fonts.horizontal);
    const HFONT upward = MakeFont(fonts.upward);
    const HFONT downward = MakeFont(fonts.downward);
    const HGDIOBJ oldFont = SelectObject(dc, horizontal);

    // Measured on the metafile's reference device, as the text is drawn there.
    GraphTextSize text;
    text.labelWidth = [dc, horizontal](const std::string& label) {
        SelectObject(dc, horizontal);
        const std::wstring wide = Wide(label);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    for (const HFONT title : {upward, downward}) {
        SelectObject(dc, title);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        text.titleDescent = std::max(text.titleDescent, static_cast<int>(metrics.tmDescent));
    }
    const GraphGeometry g = ComputeGraphGeometry(data, width, height, initialWidth, text);

    Fill(dc, g.clear, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (g.hasData) {
        const GraphLayout& l = g.layout;
        // Text is drawn over the white chart without a box of its own.
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        POINT frame[4];
        for (std::size_t i = 0; i < g.frame.size(); ++i)
            frame[i] = {g.frame[i].x, g.frame[i].y};
        Polyline(dc, frame, 4);

        for (const GraphTick& tick : g.rightTicks) {
            Line(dc, l.xRight, tick.y, l.xRight + 4, tick.y);
            Text(dc, horizontal, TA_LEFT | TA_BASELINE, {l.xRight + 6, tick.y + 3},
                 Wide(tick.label));
        }
        Text(dc, downward, TA_CENTER | TA_BASELINE, g.precipitationTitle, L"Precipitation (mm)");

        for (int i = 0; i <= 12; ++i)
            Line(dc, g.monthTicks[i], l.yBase, g.monthTicks[i], height - 34);
        for (int i = 0; i < 12; ++i)
            Text(dc, horizontal, TA_CENTER | TA_TOP, g.monthLetters[i],
                 std::wstring(1, wchar_t(kMonthLetters[i])));
        Text(dc, horizontal, TA_CENTER | TA_TOP, g.monthTitle, L"Month");

        const HBRUSH bars = CreateSolidBrush(kBarColour);
        for (const GraphRect& bar : g.bars)
            Fill(dc, bar, bars);
        DeleteObject(bars);

        for (const GraphTick& tick : g.leftTicks) {
            Line(dc, l.xLeft, tick.y, l.xLeft - 4, tick.y);
            Text(dc, horizontal, TA_RIGHT | TA_BASELINE, {l.xLeft - 6, tick.y + 3},
                 Wide(tick.label));
        }
        Text(dc, upward, TA_CENTER | TA_BASELINE, g.temperatureTitle, L"Temperature (\u00B0C)");

        const HPEN red = CreatePen(PS_SOLID, kLineWidth, kLineColour);
        const HGDIOBJ oldPen = SelectObject(dc, red);
        POINT line[12];
        for (std::size_t i = 0; i < g.line.size(); ++i)
            line[i] = {g.line[i].x, g.line[i].y};
        Polyline(dc, line, 12);
        SelectObject(dc, oldPen);
        DeleteObject(red);
    }
    SelectObject(dc, oldFont);
    DeleteObject(horizontal);
    DeleteObject(upward);
    DeleteObject(downward);
}

// The bytes of the chart's metafile; empty when GDI could not make one.
QByteArray RecordMetafile(const ClimateGraphData& data, const GraphFonts& fonts, int width,
                          int height, int initialWidth) {
    // The screen is the reference device: one logical unit is one of its pixels, as on the
    // window. The description names the program and the picture.
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateEnhMetaFileW(screen, nullptr, nullptr, L"Skyfetch\0Graph\0");
    ReleaseDC(nullptr, screen);
    if (dc == nullptr)
        return {};
    DrawGdi(dc, data, fonts, width, height, initialWidth);
    const HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    if (metafile == nullptr)
        return {};
    QByteArray bytes(static_cast<qsizetype>(GetEnhMetaFileBits(metafile, 0, nullptr)), '\0');
    if (bytes.isEmpty() ||
        GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()),
                           reinterpret_cast<BYTE*>(bytes.data())) != UINT(bytes.size()))
        bytes.clear();
    DeleteEnhMetaFile(metafile);
    return bytes;
}

// Qt's clipboard is an OLE data object that asks its converters for each format another
// program wants. This one hands out the metafile bytes of kMetafileMimeType as
// CF_ENHMETAFILE, a format GDI keeps as a handle (TYMED_ENHMF), not as plain bytes, and
// the bytes of "image/png" in the registered format "PNG" (Qt's own image converter offers
// PNG only for pictures with transparency). The program never reads these formats back,
// so it converts in one direction only.
class ChartConverter final : public QNativeInterface::Private::QWindowsMime {
public:
    ChartConverter() : m_png(RegisterClipboardFormatW(L"PNG")) {}

    bool canConvertFromMime(const FORMATETC& format, const QMimeData* data) const override {
        if (format.cfFormat == CF_ENHMETAFILE)
            return (format.tymed & TYMED_ENHMF) && data->hasFormat(kMetafileMimeType);
        return m_png != 0 && format.cfFormat == m_png && (format.tymed & TYMED_HGLOBAL) &&
               data->hasFormat(kPngMimeType);
    }
    bool convertFromMime(const FORMATETC& format, const QMimeData* data,
                         STGMEDIUM* medium) const override {
        if (!canConvertFromMime(format, data))
            return false;
        // The receiver owns what the medium holds and frees it (ReleaseStgMedium).
        medium->pUnkForRelease = nullptr;
        if (format.cfFormat == CF_ENHMETAFILE) {
            const QByteArray bytes = data->data(kMetafileMimeType);
            const HENHMETAFILE metafile = SetEnhMetaFileBits(
                static_cast<UINT>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.constData()));
            if (metafile == nullptr)
                return false;
            medium->tymed = TYMED_ENHMF;
            medium->hEnhMetaFile = metafile;
            return true;
        }
        const QByteArray bytes = data->data(kPngMimeType);
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(bytes.size()));
        void* target = memory ? GlobalLock(memory) : nullptr;
        if (target == nullptr) {
            if (memory)
                GlobalFree(memory);
            return false;
        }
        std::memcpy(target, bytes.constData(), std::size_t(bytes.size()));
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        return true;
    }
    QList<FORMATETC> formatsForMime(const QString& mimeType, const QMimeData*) const override {
        if (mimeType == kMetafileMimeType)
            return {FORMATETC{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF}};
        if (mimeType == kPngMimeType && m_png != 0)
            return {FORMATETC{CLIPFORMAT(m_png), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
        return {};
    }
    bool canConvertToMime(const QString&, IDataObject*) const override { return false; }
    QVariant convertToMime(const QString&, IDataObject*, QMetaType) const override { return {}; }
    QString mimeForFormat(const FORMATETC&) const override { return {}; }

private:
    UINT m_png;
};

// Registered with the Windows platform once, the first time a chart is copied; it lives
// as long as the process.
void EnsureConverter() {
    static const bool registered = [] {
        using QNativeInterface::Private::QWindowsApplication;
        auto* platform = qGuiApp ? qGuiApp->nativeInterface<QWindowsApplication>() : nullptr;
        if (platform == nullptr)
            return false;
        static ChartConverter converter;
        platform->registerMime(&converter);
        return true;
    }();
    (void)registered;
}

} // namespace

void AddPlatformClipboardFormats(QMimeData& data, const ClimateGraphData& graph,
                                 const GraphFonts& fonts, int width, int height, int initialWidth,
                                 const QImage& image) {
    EnsureConverter();
    const QByteArray metafile = RecordMetafile(graph, fonts, width, height, initialWidth);
    if (!metafile.isEmpty())
        data.setData(kMetafileMimeType, metafile);
    QByteArray png;
    QBuffer buffer(&png);
    if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"))
        data.setData(kPngMimeType, png);
}

} // namespace skyfetch
