// The graph's copy as another program sees it: a second process reads the X clipboard
// while this one, the owner, keeps serving it. Needs an X server (xvfb-run).
#include "graph/ClimateGraph.h"

#include "GraphTestData.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QtTest>

using namespace skyfetch;

namespace {

struct ProbeResult {
    int exitCode = -1;
    QByteArray output;
};

// Runs the probe for one format while this process goes on answering clipboard requests
// (on X11 the content lives only in its owner).
ProbeResult ReadClipboardFromAnotherProcess(const QString& format) {
    QProcess probe;
    probe.start(QStringLiteral(SKYFETCH_CLIPBOARD_PROBE), {format});
    if (!probe.waitForStarted(10000))
        return {};
    QElapsedTimer clock;
    clock.start();
    while (probe.state() != QProcess::NotRunning && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (probe.state() != QProcess::NotRunning) {
        probe.kill();
        probe.waitForFinished();
        return {};
    }
    return {probe.exitCode(), probe.readAllStandardOutput()};
}

ClimateGraphData SteppeData() {
    const double t[12] = {-15, -13, -5, 6, 14, 19, 22, 20, 13, 5, -4, -11};
    const double p[12] = {12, 10, 14, 22, 35, 48, 55, 45, 28, 20, 17, 14};
    return test::MakeGraphData(t, p);
}

int CountRed(const QImage& image) {
    int n = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            n += rgb.pixel(x, y) == qRgb(255, 0, 0);
    return n;
}

} // namespace

class ClipboardCopyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void anotherProgramReadsTheVectorPicture();
    void copyWhileNotLandLeavesTheClipboardAsItWas();
    void copyBeforeAnyCellHoldsOnlyTheClear();
};

void ClipboardCopyTest::initTestCase() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("the clipboard between processes needs an X server; run under xvfb-run");
}

void ClipboardCopyTest::anotherProgramReadsTheVectorPicture() {
    CClimateGraph graph;
    graph.resize(230, 162);
    static_cast<ClimateGraphData&>(graph) = SteppeData();
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));
    QVERIFY(graph.m_sized);

    QVERIFY(graph.OnCommand(CClimateGraph::kCopyCommand));
    const ProbeResult svg = ReadClipboardFromAnotherProcess(QStringLiteral("image/svg+xml"));
    QCOMPARE(svg.exitCode, 0);
    const QString text = QString::fromUtf8(svg.output);
    QVERIFY(text.contains(QStringLiteral("<svg")));
    QVERIFY(text.contains(QStringLiteral("Temperature (°C)")));
    QVERIFY(text.contains(QStringLiteral("Precipitation (mm)")));

    const ProbeResult png = ReadClipboardFromAnotherProcess(QStringLiteral("image/png"));
    QCOMPARE(png.exitCode, 0);
    const QImage image = QImage::fromData(png.output, "PNG");
    // At least twice the drawing's size, so that it is sharp in a worksheet.
    QCOMPARE(image.size(), graph.contentsRect().size() * 2);
    QVERIFY(CountRed(image) > 50);
}

void ClipboardCopyTest::copyWhileNotLandLeavesTheClipboardAsItWas() {
    QString notice;
    CClimateGraph graph;
    graph.resize(230, 162);
    graph.SetNoticeSource([&notice] { return notice; });
    static_cast<ClimateGraphData&>(graph) = SteppeData();
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));

    // The location check found no land: the notice is shown, the data stay as they were.
    notice = QStringLiteral("Not land!");
    graph.repaint();
    QCOMPARE(CountRed(graph.grab().toImage()), 0);

    // No chart is shown, so none is copied: not the last found cell's either.
    QGuiApplication::clipboard()->setText(QStringLiteral("copied before"));
    graph.OnCommand(CClimateGraph::kCopyCommand);
    const ProbeResult before = ReadClipboardFromAnotherProcess(QStringLiteral("text/plain"));
    QCOMPARE(before.exitCode, 0);
    QCOMPARE(before.output, QByteArray("copied before"));
    QCOMPARE(ReadClipboardFromAnotherProcess(QStringLiteral("image/svg+xml")).exitCode, 2);

    // Back on land, the copy holds the chart shown.
    notice.clear();
    graph.repaint();
    graph.OnCommand(CClimateGraph::kCopyCommand);
    const ProbeResult svg = ReadClipboardFromAnotherProcess(QStringLiteral("image/svg+xml"));
    QCOMPARE(svg.exitCode, 0);
    const QString text = QString::fromUtf8(svg.output);
    QVERIFY(text.contains(QStringLiteral("Temperature (°C)")));
    QVERIFY(!text.contains(QStringLiteral("Not land!")));
    const ProbeResult png = ReadClipboardFromAnotherProcess(QStringLiteral("image/png"));
    QCOMPARE(png.exitCode, 0);
    QVERIFY(CountRed(QImage::fromData(png.output, "PNG")) > 50);
}

void ClipboardCopyTest::copyBeforeAnyCellHoldsOnlyTheClear() {
    CClimateGraph graph;
    graph.resize(230, 162);
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));
    graph.OnCommand(CClimateGraph::kCopyCommand);
    const ProbeResult svg = ReadClipboardFromAnotherProcess(QStringLiteral("image/svg+xml"));
    QCOMPARE(svg.exitCode, 0);
    const QString text = QString::fromUtf8(svg.output);
    QVERIFY(text.contains(QStringLiteral("<svg")));
    QVERIFY(!text.contains(QStringLiteral("Temperature")));
    QVERIFY(!text.contains(QStringLiteral("<text")));
}

QTEST_MAIN(ClipboardCopyTest)
#include "ClipboardCopyTest.moc"
