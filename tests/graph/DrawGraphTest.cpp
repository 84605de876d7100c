// Drawing the graph into images and through the widget (offscreen platform).
#include "graph/DrawGraph.h"
#include "graph/ChartFile.h"
#include "graph/ClimateGraph.h"
#include "graph/GraphGeometry.h"
#include "putil/UserPrompt.h"

#include "GraphTestData.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <vector>

using namespace skyfetch;

namespace {

const QRgb kBlue = qRgb(64, 128, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGrey = qRgb(200, 200, 200);

// The axes of the alpine cell.
constexpr double kTemperatureAxisMin = -20;
constexpr double kTemperatureAxisMax = 20;
constexpr double kPrecipitationAxisMax = 150;

ClimateGraphData AlpineData() {
    return test::MakeGraphData(test::kAlpineTemperature, test::kAlpinePrecipitation);
}

// The graph on grey, w x h drawing units at scale pixels each.
QImage Draw(const ClimateGraphData& data, int w, int h, int w0, int scale = 1) {
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    image.fill(kGrey);
    const GraphFonts fonts = MakeGraphFonts(h);
    QPainter painter(&image);
    painter.scale(scale, scale);
    DrawGraph(&painter, data, fonts, w, h, w0);
    return image;
}

// The part of a picture at scale that the graph's clear covers, from (2, 2) on.
QImage Cleared(const QImage& image, int scale) {
    return image.convertToFormat(QImage::Format_RGB32)
        .copy(2 * scale, 2 * scale, image.width() - 2 * scale, image.height() - 2 * scale);
}

int Count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

bool IsDark(QRgb c) {
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

// Records the messages and answers questions with `answer`.
struct RecordingPrompt : UserPrompt {
    PromptAnswer show(const std::string& text, PromptIcon, PromptButtons buttons) override {
        texts.push_back(text);
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : answer;
    }
    std::vector<std::string> texts;
    PromptAnswer answer = PromptAnswer::Yes;
};

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The texts of the enabled and disabled items of the graph's context menu, opened by a
// right click; the item named `trigger` (if any) is chosen.
QStringList ContextMenu(CClimateGraph& graph, const QString& trigger = {}) {
    QStringList seen;
    QTimer::singleShot(50, [&seen, trigger] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            seen << (action->isEnabled() ? "" : "disabled ") + action->text();
            if (action->text() == trigger)
                chosen = action;
        }
        if (chosen)
            chosen->trigger();
        menu->close();
    });
    QTest::mouseClick(&graph, Qt::RightButton, {}, QPoint(40, 40));
    return seen;
}

struct Run {
    int begin;
    int end; // exclusive
};

// Horizontal runs of `colour` along row y.
std::vector<Run> RowRuns(const QImage& image, int y, QRgb colour) {
    std::vector<Run> runs;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != colour)
            continue;
        if (!runs.empty() && runs.back().end == x)
            runs.back().end = x + 1;
        else
            runs.push_back({x, x + 1});
    }
    return runs;
}

// Height of the blue bar in column x from its highest pixel down to the baseline (the red
// line may cross the bar).
int BarHeight(const QImage& image, int x, int yBase) {
    for (int y = 0; y < yBase; ++y)
        if (image.pixel(x, y) == kBlue)
            return yBase - y;
    return 0;
}

} // namespace

class DrawGraphTest : public QObject {
    Q_OBJECT
private slots:
    void barsAndLineFollowTheValues_data();
    void barsAndLineFollowTheValues();
    void withoutDataOnlyTheClear();
    void nullPainterDrawsNothing();
    void widgetShowsNotLandInsteadOfTheGraph();
    void widgetKeepsTheFirstWidthForLaterLayouts();
    void copyHoldsBothPicturesOfTheLastFoundCell();
    void contextMenuOffersTheCopy();
    void whileNotLandShowsNothingIsCopiedOrSaved();
    void titlesStayClearOfThreeDigitLabels();
    void saveWritesThePictureOfTheCopy_data();
    void saveWritesThePictureOfTheCopy();
    void saveAsksBeforeReplacingAndReportsFailures();
};

void DrawGraphTest::barsAndLineFollowTheValues_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("initialWidth");
    QTest::newRow("first width") << 180 << 180;
    QTest::newRow("widened") << 260 << 180;
    QTest::newRow("large") << 400 << 400;
}

void DrawGraphTest::barsAndLineFollowTheValues() {
    QFETCH(int, width);
    QFETCH(int, initialWidth);
    const int height = 130;
    const int yBase = height - 38;
    const int plotHeight = height - 53;

    // Bars, with a flat temperature whose line runs along the top, clear of them.
    ClimateGraphData flat = AlpineData();
    for (double& t : flat.m_temperature)
        t = 5;
    const QImage barImage = Draw(flat, width, height, initialWidth);
    // Twelve bars, found along the row just above the month axis.
    const std::vector<Run> bars = RowRuns(barImage, yBase - 1, kBlue);
    QCOMPARE(int(bars.size()), 12);
    const int slot = bars[1].begin - bars[0].begin;
    for (int i = 0; i < 12; ++i) {
        // Equal bars, one pixel apart from the month tick between them.
        QCOMPARE(bars[i].end - bars[i].begin, slot - 1);
        if (i > 0)
            QCOMPARE(bars[i].begin - bars[i - 1].begin, slot);
        const int x = (bars[i].begin + bars[i].end - 1) / 2;
        const double expectedBar =
            test::kAlpinePrecipitation[i] / kPrecipitationAxisMax * plotHeight;
        QVERIFY2(qAbs(BarHeight(barImage, x, yBase) - expectedBar) <= 1.0,
                 qPrintable(QString("month %1 bar %2, expected %3")
                                .arg(i)
                                .arg(BarHeight(barImage, x, yBase))
                                .arg(expectedBar)));
    }

    // The red line's corners lie at the months' centres at the temperatures' heights.
    const QImage image = Draw(AlpineData(), width, height, initialWidth);
    QCOMPARE(RowRuns(image, yBase - 1, kBlue).size(), size_t(12));
    for (int i = 0; i < 12; ++i) {
        const double centre = (bars[i].begin + bars[i].end) / 2.0;
        const double expectedY = yBase - (test::kAlpineTemperature[i] - kTemperatureAxisMin) /
                                             (kTemperatureAxisMax - kTemperatureAxisMin) *
                                             plotHeight;
        bool found = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                found = found || image.pixel(int(centre) + dx, int(expectedY) + dy) == kRed;
        QVERIFY2(found,
                 qPrintable(
                     QString("month %1: no red near (%2, %3)").arg(i).arg(centre).arg(expectedY)));
    }
    // Away from the corners the line stays between its neighbouring points: nothing red
    // above the warmest month or below the coldest.
    const double top = yBase - (18.7 - kTemperatureAxisMin) / 40 * plotHeight;
    const double bottom = yBase - (-12.3 - kTemperatureAxisMin) / 40 * plotHeight;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kRed)
                QVERIFY2(y >= top - 3 && y <= bottom + 3, qPrintable(QString::number(y)));
    // The axes and texts are drawn in black.
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += IsDark(image.pixel(x, y));
    QVERIFY(dark > 300);
}

void DrawGraphTest::withoutDataOnlyTheClear() {
    ClimateGraphData data = AlpineData();
    data.m_hasData = 0;
    const QImage image = Draw(data, 180, 130, 180);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool cleared = x >= 2 && y >= 2;
            QCOMPARE(image.pixel(x, y), cleared ? qRgb(255, 255, 255) : kGrey);
        }
}

void DrawGraphTest::nullPainterDrawsNothing() {
    const GraphFonts fonts = MakeGraphFonts(130);
    DrawGraph(nullptr, AlpineData(), fonts, 180, 130, 180);
    DrawGraphNotice(nullptr, QStringLiteral("Not land!"), fonts, 180, 130);
}

void DrawGraphTest::widgetShowsNotLandInsteadOfTheGraph() {
    QString notice;
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    const GraphFonts fonts = MakeGraphFonts(graph.ClientHeight());
    graph.SetFonts(&fonts);
    graph.SetNoticeSource([&notice] { return notice; });

    const QImage drawn = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(Count(drawn, kBlue) > 100);
    QVERIFY(Count(drawn, kRed) > 50);

    notice = QStringLiteral("Not land!");
    const QImage notLand = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(Count(notLand, kBlue), 0);
    QCOMPARE(Count(notLand, kRed), 0);
    // Only the border and the centred words are dark; the words straddle the centre.
    const QRect client = graph.contentsRect();
    int words = 0, wordsLeft = 0;
    for (int y = client.top(); y <= client.bottom(); ++y)
        for (int x = client.left(); x <= client.right(); ++x)
            if (IsDark(notLand.pixel(x, y))) {
                ++words;
                wordsLeft += x < client.center().x();
                QVERIFY(qAbs(y - client.center().y()) < client.height() / 5);
            }
    QVERIFY(words > 20);
    QVERIFY(wordsLeft > words / 4 && wordsLeft < 3 * words / 4);
}

void DrawGraphTest::widgetKeepsTheFirstWidthForLaterLayouts() {
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    const GraphFonts fonts = MakeGraphFonts(graph.ClientHeight());
    graph.SetFonts(&fonts);
    QVERIFY(!graph.m_sized);
    graph.grab();
    QVERIFY(graph.m_sized);
    QCOMPARE(graph.m_initialWidth, graph.ClientWidth());
    const int w0 = graph.m_initialWidth;

    graph.resize(262, 132);
    const QImage shown = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(graph.m_initialWidth, w0);

    const QRect client = graph.contentsRect();
    auto render = [&](int initialWidth) {
        QImage image(client.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawGraph(&painter, graph, fonts, client.width(), client.height(), initialWidth);
        return image;
    };
    const QImage inside = shown.copy(client);
    QCOMPARE(inside, render(w0));
    QVERIFY(inside != render(client.width()));
}

void DrawGraphTest::copyHoldsBothPicturesOfTheLastFoundCell() {
    QString notice;
    CClimateGraph graph;
    graph.resize(182, 132);
    const GraphFonts fonts = MakeGraphFonts(graph.ClientHeight());
    graph.SetFonts(&fonts);
    graph.SetNoticeSource([&notice] { return notice; });
    graph.grab();

    // No cell found yet: the picture holds only the clear.
    {
        std::unique_ptr<QMimeData> empty(graph.MakeClipboardData());
        const QString svg = QString::fromUtf8(empty->data("image/svg+xml"));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(!svg.contains("Temperature"));
        const QImage image = qvariant_cast<QImage>(empty->imageData());
        QCOMPARE(image.size(), graph.contentsRect().size() * 2);
        QCOMPARE(Count(image.convertToFormat(QImage::Format_RGB32), kBlue), 0);
    }

    // A found cell, then a location that is not land: the clipboard object is made from the
    // data alone (the notice only disables the commands that call it).
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    notice = QStringLiteral("Not land!");
    graph.grab();
    std::unique_ptr<QMimeData> copy(graph.MakeClipboardData());
    const QString svg = QString::fromUtf8(copy->data("image/svg+xml"));
    QVERIFY(svg.contains(QStringLiteral("Temperature (°C)")));
    QVERIFY(svg.contains(QStringLiteral("Precipitation (mm)")));
    QVERIFY(svg.contains(QStringLiteral(">Month<")));
    QVERIFY(!svg.contains(QStringLiteral("Not land!")));
    // The image is the drawing at twice its size (this screen's ratio is 1), declared at
    // 192 dots per inch so that a worksheet places it at the drawing's size.
    const QImage image = qvariant_cast<QImage>(copy->imageData());
    QCOMPARE(image.size(), QSize(360, 260));
    QCOMPARE(image.dotsPerMeterX(), 7559);
    QCOMPARE(image.dotsPerMeterY(), 7559);
    QCOMPARE(Cleared(image, 2), Cleared(Draw(graph, 180, 130, graph.m_initialWidth, 2), 2));
    QCOMPARE(ClipboardPictureScale(1.5), 2);
    QCOMPARE(ClipboardPictureScale(2.5), 3);
}

void DrawGraphTest::contextMenuOffersTheCopy() {
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));
    QGuiApplication::clipboard()->clear();

    // Without a file source there is nothing to save through.
    const QStringList seen = ContextMenu(graph, QStringLiteral("&Copy to clipboard"));
    QCOMPARE(seen, (QStringList{QStringLiteral("&Copy to clipboard"),
                                QStringLiteral("disabled &Save chart as...")}));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->hasFormat("image/svg+xml"));
    QVERIFY(QString::fromUtf8(data->data("image/svg+xml")).contains("Precipitation (mm)"));
    QVERIFY(data->hasImage());
    QVERIFY(graph.OnCommand(1234)); // unknown commands are handled too
}

void DrawGraphTest::whileNotLandShowsNothingIsCopiedOrSaved() {
    QString notice = QStringLiteral("Not land!");
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData(); // the last cell found
    graph.SetNoticeSource([&notice] { return notice; });
    int asked = 0;
    graph.SetSaveFileSource([&asked] {
        ++asked;
        return std::string();
    });
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));
    QVERIFY(graph.ShowsNotice());
    QCOMPARE(ContextMenu(graph), (QStringList{QStringLiteral("disabled &Copy to clipboard"),
                                              QStringLiteral("disabled &Save chart as...")}));
    // Commands from elsewhere do nothing either.
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    QVERIFY(graph.OnCommand(CClimateGraph::kCopyCommand));
    QVERIFY(graph.OnCommand(CClimateGraph::kSaveCommand));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    QCOMPARE(asked, 0);

    notice.clear();
    QCOMPARE(
        ContextMenu(graph, QStringLiteral("&Save chart as...")),
        (QStringList{QStringLiteral("&Copy to clipboard"), QStringLiteral("&Save chart as...")}));
    QCOMPARE(asked, 1);
}

void DrawGraphTest::titlesStayClearOfThreeDigitLabels() {
    // Precipitation up to 250 mm: labels "0" to "250" beside the right axis. Right of the
    // axis ticks, the labels and the title must be apart by at least one blank column.
    ClimateGraphData data = AlpineData();
    const double wet[12] = {120, 180, 250, 210, 90, 60, 40, 55, 75, 88, 92, 85};
    std::copy(wet, wet + 12, data.m_precipitation);
    for (int height : {130, 150}) {
        const int width = 180;
        const QImage image = Draw(data, width, height, width);
        const GraphGeometry g = ComputeGraphGeometry(data, width, height, width);
        QCOMPARE(g.rightTicks.back().label, std::string("250"));
        std::vector<bool> inked;
        for (int x = g.layout.xRight + 5; x < width; ++x) {
            bool any = false;
            for (int y = 2; y < g.layout.yBase; ++y)
                any = any || image.pixel(x, y) != qRgb(255, 255, 255);
            inked.push_back(any);
        }
        // Inked runs: the labels, then the title.
        int runs = 0;
        for (std::size_t i = 0; i < inked.size(); ++i)
            runs += inked[i] && (i == 0 || !inked[i - 1]);
        QVERIFY2(runs >= 2,
                 qPrintable(QString("height %1: the title touches a label").arg(height)));
        QVERIFY2(!inked.back(), qPrintable(QString("height %1: the title is cut off").arg(height)));
    }
}

void DrawGraphTest::saveWritesThePictureOfTheCopy_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::newRow("svg") << "chart.svg"
                         << "chart.svg";
    QTest::newRow("png") << "chart.png"
                         << "chart.png";
    QTest::newRow("pdf") << "chart.PDF"
                         << "chart.PDF";
    QTest::newRow("no extension") << "chart"
                                  << "chart.svg";
}

void DrawGraphTest::saveWritesThePictureOfTheCopy() {
    QFETCH(QString, name);
    QFETCH(QString, written);
    QTemporaryDir folder;
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    const GraphFonts fonts = MakeGraphFonts(graph.ClientHeight());
    graph.SetFonts(&fonts);
    graph.grab();
    const std::string chosen = (folder.path() + "/" + name).toStdString();
    graph.SetSaveFileSource([&chosen] { return chosen; });
    RecordingPrompt prompt;
    set_user_prompt(&prompt);
    QVERIFY(graph.OnCommand(CClimateGraph::kSaveCommand));
    set_user_prompt(nullptr);
    QVERIFY(prompt.texts.empty());

    const QByteArray bytes = ReadFile(folder.path() + "/" + written);
    std::unique_ptr<QMimeData> copy(graph.MakeClipboardData());
    if (written.endsWith(".png")) {
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        // Four times the drawing's size, for a worksheet or a printed page.
        const QImage image = QImage::fromData(bytes, "PNG");
        QCOMPARE(image.size(), QSize(720, 520));
        QCOMPARE(image.dotsPerMeterX(), 15118);
        QCOMPARE(Cleared(image, 4), Cleared(Draw(graph, 180, 130, graph.m_initialWidth, 4), 4));
    } else if (written.endsWith(".PDF")) {
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.trimmed().endsWith("%%EOF"));
        // One page of the client size in points.
        const QRegularExpression page(R"(/MediaBox \[0 0 180(\.0*)? 130(\.0*)?\])");
        QVERIFY(page.match(QString::fromLatin1(bytes)).hasMatch());
    } else {
        QSvgRenderer renderer(bytes);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox(), QRect(0, 0, 180, 130));
        QCOMPARE(bytes, copy->data("image/svg+xml"));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{written});
}

void DrawGraphTest::saveAsksBeforeReplacingAndReportsFailures() {
    QTemporaryDir folder;
    CClimateGraph graph;
    graph.resize(182, 132);
    static_cast<ClimateGraphData&>(graph) = AlpineData();
    std::string chosen = (folder.path() + "/chart.png").toStdString();
    graph.SetSaveFileSource([&chosen] { return chosen; });
    RecordingPrompt prompt;
    set_user_prompt(&prompt);
    { std::ofstream(chosen) << "old picture"; }
    prompt.answer = PromptAnswer::No;
    graph.OnCommand(CClimateGraph::kSaveCommand);
    prompt.answer = PromptAnswer::Yes;
    const QByteArray kept = ReadFile(QString::fromStdString(chosen));
    graph.OnCommand(CClimateGraph::kSaveCommand);
    const QByteArray replaced = ReadFile(QString::fromStdString(chosen));
    // A folder that is not there: the system's reason, and nothing written.
    chosen = (folder.path() + "/missing/chart.png").toStdString();
    graph.OnCommand(CClimateGraph::kSaveCommand);
    set_user_prompt(nullptr);

    QCOMPARE(kept, QByteArray("old picture"));
    QVERIFY(replaced.startsWith("\x89PNG"));
    const std::string question =
        folder.path().toStdString() + "/chart.png already exists\nDo you want to overwrite it?";
    QCOMPARE(prompt.texts.size(), std::size_t(3));
    QCOMPARE(prompt.texts[0], question);
    QCOMPARE(prompt.texts[1], question);
    QVERIFY2(prompt.texts[2].rfind("Could not save the chart as \"" + chosen + "\".\n", 0) == 0,
             prompt.texts[2].c_str());
    QVERIFY(!QDir(folder.path() + "/missing").exists());
}

QTEST_MAIN(DrawGraphTest)
#include "DrawGraphTest.moc"
