// The chart's copy as other Windows programs read it: an enhanced metafile drawn with GDI
// beside the PNG and SVG, through the system clipboard. Runs under Wine.
#include "graph/ClimateGraph.h"
#include "graph/ClipboardFormats.h"

#include <QMimeData>
#include <QtTest>

#include <windows.h>

#include <string>
#include <vector>

using namespace skyfetch;

namespace {

// What the metafile records, as far as the tests look.
struct Records {
    std::vector<std::wstring> texts;
    std::vector<int> polylinePoints;  // points of each polyline
    std::vector<COLORREF> penColours; // solid pens made, with their widths below
    std::vector<LONG> penWidths;
    std::vector<COLORREF> brushColours; // solid brushes made
    std::vector<LONG> fontEscapements;
};

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM context) {
    auto& r = *reinterpret_cast<Records*>(context);
    switch (record->iType) {
    case EMR_EXTTEXTOUTW: {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        r.texts.emplace_back(chars, text->emrtext.nChars);
        break;
    }
    case EMR_POLYLINE16:
        r.polylinePoints.push_back(int(reinterpret_cast<const EMRPOLYLINE16*>(record)->cpts));
        break;
    case EMR_POLYLINE:
        r.polylinePoints.push_back(int(reinterpret_cast<const EMRPOLYLINE*>(record)->cptl));
        break;
    case EMR_CREATEPEN: {
        const auto* pen = reinterpret_cast<const EMRCREATEPEN*>(record);
        r.penColours.push_back(pen->lopn.lopnColor);
        r.penWidths.push_back(pen->lopn.lopnWidth.x);
        break;
    }
    case EMR_CREATEBRUSHINDIRECT:
        r.brushColours.push_back(
            reinterpret_cast<const EMRCREATEBRUSHINDIRECT*>(record)->lb.lbColor);
        break;
    case EMR_EXTCREATEFONTINDIRECTW:
        r.fontEscapements.push_back(reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)
                                        ->elfw.elfLogFont.lfEscapement);
        break;
    }
    return 1;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

template <typename T> bool Contains(const std::vector<T>& values, T value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// The clipboard as another program sees it: which formats it offers, and the records and
// description of its metafile.
struct ClipboardView {
    bool opened = false;
    bool metafile = false;
    bool png = false;
    bool svg = false;
    std::wstring description;
    Records records;
};

ClipboardView ReadClipboard() {
    ClipboardView view;
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 50 && !view.opened; ++attempt) {
        view.opened = OpenClipboard(nullptr);
        if (!view.opened)
            QTest::qWait(20);
    }
    if (!view.opened)
        return view;
    view.png = IsClipboardFormatAvailable(RegisterClipboardFormatW(L"PNG"));
    view.svg = IsClipboardFormatAvailable(RegisterClipboardFormatW(L"image/svg+xml"));
    if (const auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE))) {
        view.metafile = true;
        wchar_t description[64] = {};
        const UINT length = GetEnhMetaFileDescriptionW(metafile, 64, description);
        if (length != GDI_ERROR)
            view.description.assign(description, length);
        EnumEnhMetaFile(nullptr, metafile, Collect, &view.records, nullptr);
    }
    CloseClipboard();
    return view;
}

} // namespace

class MetafileClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void theChartIsOnTheClipboardAsAMetafile() {
        CClimateGraph graph;
        graph.resize(322, 202); // a 320 x 200 drawing inside the border
        const double t[12] = {-12.3, -10, -4, 2, 8, 13, 18.7, 17, 11, 4, -3, -9};
        const double p[12] = {80, 70, 90, 101, 95, 60, 40, 55, 75, 88, 92, 85};
        graph.m_hasData = 1;
        std::copy(t, t + 12, graph.m_temperature);
        std::copy(p, p + 12, graph.m_precipitation);
        graph.OnCommand(CClimateGraph::kCopyCommand);

        const ClipboardView view = ReadClipboard();
        QVERIFY(view.opened);
        QVERIFY(view.metafile);
        QVERIFY(view.png);
        QVERIFY(view.svg);
        // The program's name and the picture's, each ended by a NUL.
        QCOMPARE(view.description.substr(0, 15), std::wstring(L"Skyfetch\0Graph\0", 15));

        const Records& r = view.records;
        // Every text of the chart: titles, month letters, both axes' labels.
        for (const std::wstring text :
             {L"Precipitation (mm)", L"Temperature (\u00B0C)", L"Month", L"J", L"F", L"D", L"0",
              L"50", L"100", L"150", L"-20", L"-10", L"10", L"20"})
            QVERIFY2(Contains(r.texts, text), QString::fromStdWString(text).toUtf8());
        QCOMPARE(r.texts.size(), std::size_t(3 + 12 + 4 + 5));
        // The axes as one polyline, the temperature line through twelve months in red.
        QVERIFY(Contains(r.polylinePoints, 4));
        QVERIFY(Contains(r.polylinePoints, 12));
        QVERIFY(Contains(r.penColours, COLORREF(RGB(255, 0, 0))));
        QVERIFY(Contains(r.penWidths, LONG(4)));
        QVERIFY(Contains(r.brushColours, COLORREF(RGB(64, 128, 255))));
        // Horizontal, upward and downward text.
        QVERIFY(Contains(r.fontEscapements, LONG(0)));
        QVERIFY(Contains(r.fontEscapements, LONG(900)));
        QVERIFY(Contains(r.fontEscapements, LONG(2700)));
    }

    void withoutDataTheMetafileHoldsOnlyTheClear() {
        CClimateGraph graph;
        graph.resize(322, 202);
        graph.OnCommand(CClimateGraph::kCopyCommand);
        const ClipboardView view = ReadClipboard();
        QVERIFY(view.metafile);
        QVERIFY(view.records.texts.empty());
        QVERIFY(view.records.polylinePoints.empty());
    }

    void theCopyCarriesTheMetafileBytes() {
        CClimateGraph graph;
        graph.resize(322, 202);
        graph.m_hasData = 1;
        std::unique_ptr<QMimeData> data(graph.MakeClipboardData());
        const QByteArray bytes = data->data(kMetafileMimeType);
        // An enhanced metafile starts with its header record, EMR_HEADER (1).
        QVERIFY(bytes.size() > int(sizeof(ENHMETAHEADER)));
        QCOMPARE(reinterpret_cast<const ENHMETAHEADER*>(bytes.constData())->iType,
                 DWORD(EMR_HEADER));
        QVERIFY(data->hasFormat(QStringLiteral("image/svg+xml")));
        QVERIFY(data->hasImage());
    }
};

QTEST_MAIN(MetafileClipboardTest)
#include "MetafileClipboardTest.moc"
