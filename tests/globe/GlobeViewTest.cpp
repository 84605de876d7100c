#include "globe/GlobeView.h"
#include "globe/GlobeData.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeSurfaceFormat.h"

#include "TestData.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QSurfaceFormat>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace skyfetch;

namespace {

class RecordingHost : public GlobeHost {
public:
    void ApplyPickedLocation(double lon, double lat) override { picks.push_back({lon, lat}); }
    void OnGlobeArrowKey(int key) override { keys.push_back(key); }
    void FocusGlobe() override { ++focusRequests; }
    void ShowNotLandAt(int x, int y) override { notLand.push_back({x, y}); }

    std::vector<std::pair<double, double>> picks;
    std::vector<std::pair<int, int>> notLand;
    std::vector<int> keys;
    int focusRequests = 0;
};

constexpr int kSize = 300;

QColor texture_colour(const CTexture& texture, int column, int row) {
    column = (column % 1024 + 1024) % 1024;
    row = std::clamp(row, 0, 1023);
    const unsigned char* p = texture.GetData() + row * texture.GetWidthByte32() + column * 3;
    return QColor(p[0], p[1], p[2]);
}

// Whether the colour lies within the range of the texels around (lon, lat), widened by a
// little for filtering.
bool matches_texture_near(const CTexture& texture, double lon, double lat, QColor colour,
                          QString& detail) {
    const int column = static_cast<int>((lon + 180) / 360 * 1024);
    const int row = static_cast<int>((lat + 90) / 180 * 1024);
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) {
            const QColor c = texture_colour(texture, column + dc, row + dr);
            const int v[3] = {c.red(), c.green(), c.blue()};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], v[k]);
                hi[k] = std::max(hi[k], v[k]);
            }
        }
    const int got[3] = {colour.red(), colour.green(), colour.blue()};
    detail = QString("pixel %1,%2,%3; texels %4-%5, %6-%7, %8-%9")
                 .arg(got[0])
                 .arg(got[1])
                 .arg(got[2])
                 .arg(lo[0])
                 .arg(hi[0])
                 .arg(lo[1])
                 .arg(hi[1])
                 .arg(lo[2])
                 .arg(hi[2]);
    for (int k = 0; k < 3; ++k)
        if (got[k] < lo[k] - 3 || got[k] > hi[k] + 3)
            return false;
    return true;
}

bool is_red(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

// Whether a red pixel lies within one pixel of (x, y).
bool red_near(const QImage& image, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (is_red(image.pixelColor(x + dx, y + dy)))
                return true;
    return false;
}

// Client pixel of an eye-space point in a square window.
QPoint eye_to_pixel(const CGlobeView& view, double ex, double ey) {
    const double x = (ex / (2 * view.m_zoom) + 0.5) * view.width();
    const double y = (0.5 - ey / (2 * view.m_zoom)) * view.height();
    return QPoint(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

} // namespace

class GlobeViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CGlobeData> m_data;
    std::unique_ptr<CGlobeView> m_view;
    RecordingHost m_host;

    // The view still, centred on (lon, lat), with the selection at (selLon, selLat).
    QImage Frame(double lon, double lat, double selLon, double selLat, float zoom = 1.05f) {
        m_view->StopAnimation();
        m_view->m_spin = -lon;
        m_view->m_tilt = lat;
        m_view->m_longitude = selLon;
        m_view->m_latitude = selLat;
        m_view->m_zoom = zoom;
        m_view->m_zoomTarget = m_view->m_zoomStart = zoom;
        return m_view->grabFramebuffer();
    }

private slots:
    void initTestCase() {
        QVERIFY(test::register_built_resources());
        m_data = std::make_unique<CGlobeData>();
        m_view = std::make_unique<CGlobeView>();
        m_view->resize(kSize, kSize);
        m_view->SetData(m_data.get());
        m_view->SetHost(&m_host);
        m_view->m_longitude = 147.25;
        m_view->m_latitude = -42.75;
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QTRY_VERIFY(m_view->IsSetUp());
        QVERIFY(m_data->IsPrepared());
        QCOMPARE(m_view->GetTexture().GetWidth(), 1024);
    }

    void firstPaintFliesToTheSelection() {
        // The first paint turned the globe towards the location the host gave.
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->AnimationActive(), 20000);
        QCOMPARE(m_view->m_spin, -147.25);
        QCOMPARE(m_view->m_tilt, -42.75);
    }

    void viewCentreShowsTheTextureThere_data() {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::newRow("Sahara") << 12.3 << 23.4;
        QTest::newRow("Pacific") << -140.2 << 5.1;
        QTest::newRow("Amazon") << -62.6 << -4.4;
        QTest::newRow("Tasmania") << 146.6 << -42.1;
        QTest::newRow("Greenland") << -41.3 << 72.7;
    }
    void viewCentreShowsTheTextureThere() {
        QFETCH(double, lon);
        QFETCH(double, lat);
        const QImage image = Frame(lon, lat, lon + 90, 0);
        if (qEnvironmentVariableIsSet("SKYFETCH_SAVE_FRAMES"))
            image.save(QString("/tmp/globe-%1.png").arg(QTest::currentDataTag()));
        QCOMPARE(image.width(), kSize);
        // Pixel (150, 150) covers eye x 0..0.007 and y -0.007..0: a fraction of a degree.
        const QColor centre = image.pixelColor(kSize / 2, kSize / 2);
        QString detail;
        QVERIFY2(matches_texture_near(m_view->GetTexture(), lon, lat, centre, detail),
                 qPrintable(detail));
        // A quarter turn away the colour is different: the check can tell places apart.
        QVERIFY(!matches_texture_near(m_view->GetTexture(), lon + 90, -lat / 2, centre, detail) ||
                !matches_texture_near(m_view->GetTexture(), lon - 120, lat, centre, detail));
    }

    void seaIsBlueWhereTheMaskHasSea() {
        const double lon = -150.25, lat = -20.25; // South Pacific
        QVERIFY(!m_view->IsLand(lon, lat));
        const QColor sea = Frame(lon, lat, 0, 0).pixelColor(kSize / 2, kSize / 2);
        QVERIFY2(sea.blue() > sea.red() + 20 && sea.blue() > sea.green(), qPrintable(sea.name()));
        const double landLon = 20.25, landLat = 20.25; // Sahara
        QVERIFY(m_view->IsLand(landLon, landLat));
        const QColor land = Frame(landLon, landLat, 0, 0).pixelColor(kSize / 2, kSize / 2);
        QVERIFY2(land.red() > land.blue(), qPrintable(land.name()));
    }

    void markerIsWhereTheProjectionSays_data() {
        QTest::addColumn<double>("selLon");
        QTest::addColumn<double>("selLat");
        QTest::addColumn<float>("zoom");
        QTest::newRow("north-east") << 30.25 << 20.25 << 1.05f;
        QTest::newRow("south-west") << -40.75 << -35.25 << 1.05f;
        QTest::newRow("zoomed") << 10.25 << 5.25 << 0.4430f;
        QTest::newRow("deepest") << -3.25 << 2.75 << 0.2492f;
    }
    void markerIsWhereTheProjectionSays() {
        QFETCH(double, selLon);
        QFETCH(double, selLat);
        QFETCH(float, zoom);
        const QImage image = Frame(0, 0, selLon, selLat, zoom);
        double px, py;
        m_view->ProjectSelection(px, py);
        // The square covers the selected cell on the near side.
        const QPoint square = eye_to_pixel(*m_view, px, py);
        QVERIFY2(red_near(image, square.x(), square.y()),
                 qPrintable(QString("no red at %1,%2").arg(square.x()).arg(square.y())));
        // The circle's top, bottom, left and right vertices.
        const double r = 0.05 * zoom;
        const double offsets[4][2] = {{0, r}, {0, -r}, {r, 0}, {-r, 0}};
        for (const auto& o : offsets) {
            const QPoint p = eye_to_pixel(*m_view, px + o[0], py + o[1]);
            QVERIFY2(red_near(image, p.x(), p.y()),
                     qPrintable(QString("no circle at %1,%2").arg(p.x()).arg(p.y())));
        }
        // Half-way between the square and the circle the globe shows through.
        const QPoint between = eye_to_pixel(*m_view, px + r * 0.6, py);
        QVERIFY(!is_red(image.pixelColor(between)));
    }

    void farSideSelectionShowsOnlyTheCircle() {
        const QImage image = Frame(0, 0, 160.25, 20.25);
        double px, py;
        m_view->ProjectSelection(px, py);
        const QPoint centre = eye_to_pixel(*m_view, px, py);
        QVERIFY(!red_near(image, centre.x(), centre.y()));
        const QPoint top = eye_to_pixel(*m_view, px, py + 0.05 * m_view->m_zoom);
        QVERIFY(red_near(image, top.x(), top.y()));
    }

    void clickOnLandPicksTheCellAndFliesThere() {
        Frame(147.25, -42.75, 0, 0);
        m_host.picks.clear();
        m_host.focusRequests = 0;
        // Aim at a point inside the cell 145.75 E, 41.75 S, off its centre.
        m_view->m_longitude = 145.9;
        m_view->m_latitude = -41.65;
        double px, py;
        m_view->ProjectSelection(px, py);
        const QPoint p = eye_to_pixel(*m_view, px, py);
        QVERIFY(m_view->IsLand(145.75, -41.75));
        QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, p);
        QCOMPARE(m_host.picks.size(), size_t(1));
        QCOMPARE(m_host.picks[0].first, 145.75);
        QCOMPARE(m_host.picks[0].second, -41.75);
        QCOMPARE(m_view->m_longitude, 145.75);
        QCOMPARE(m_view->m_latitude, -41.75);
        QCOMPARE(m_host.focusRequests, 1);
        QVERIFY(m_view->AnimationActive());
        QCOMPARE(m_view->AnimationInterval(), 20);
        QVERIFY(m_view->m_travel > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->AnimationActive(), 10000);
        QCOMPARE(m_view->m_spin, -145.75);
        QCOMPARE(m_view->m_tilt, -41.75);
    }

    void clickOnSeaOrOffTheGlobeSelectsNothing() {
        Frame(-150.25, -20.25, 5, 6);
        m_host.picks.clear();
        m_host.focusRequests = 0;
        QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(kSize / 2, kSize / 2));
        QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QVERIFY(m_host.picks.empty());
        QCOMPARE(m_view->m_longitude, 5.0);
        QCOMPARE(m_host.focusRequests, 2); // each click still focuses the globe
        // The sea is reported at the pointer; a click off the globe is no miss.
        const QPoint centre = m_view->mapToGlobal(QPoint(kSize / 2, kSize / 2));
        QCOMPARE(m_host.notLand, (std::vector<std::pair<int, int>>{{centre.x(), centre.y()}}));
    }

    void theFocusShowsAsAFrameInsideTheBorder() {
        const QColor highlight = m_view->palette().color(QPalette::Active, QPalette::Highlight);
        // Other test programs share the X server and may take the activation away: the
        // frame is grabbed again until the focus held from before to after the grab.
        QImage focused;
        bool held = false;
        for (int attempt = 0; attempt < 20 && !held; ++attempt) {
            m_view->activateWindow();
            (void)QTest::qWaitForWindowActive(m_view.get(), 1000);
            m_view->setFocus(Qt::TabFocusReason);
            if (!m_view->hasFocus())
                continue;
            focused = Frame(0, 0, 0, 0);
            held = m_view->hasFocus();
        }
        QVERIFY(held);
        for (const QPoint p : {QPoint(2, kSize / 2), QPoint(kSize / 2, 1),
                               QPoint(kSize - 2, kSize / 2), QPoint(kSize / 2, kSize - 3)})
            QCOMPARE(focused.pixelColor(p), highlight);
        QCOMPARE(focused.pixelColor(0, 0), QColor(Qt::black)); // inside the border only

        m_view->clearFocus();
        const QImage unfocused = Frame(0, 0, 0, 0);
        QCOMPARE(unfocused.pixelColor(2, kSize / 2), QColor(Qt::black));
        QCOMPARE(unfocused.pixelColor(kSize / 2, 1), QColor(Qt::black));
    }

    void dragSpinsOnTheSpinTimer() {
        Frame(0, 0, 0, 0);
        m_host.picks.clear();
        QTest::mousePress(m_view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
        QCOMPARE(m_view->cursor().shape(), Qt::ClosedHandCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(160, 150),
                         m_view->mapToGlobal(QPointF(160, 150)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_view.get(), &move);
        QCOMPARE(m_view->m_spinSpeed, 0.6f);
        QVERIFY(m_view->AnimationActive());
        QCOMPARE(m_view->AnimationInterval(), 15); // the free spin ticks at desktop timer speed
        QCOMPARE(m_view->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseRelease(m_view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 150));
        QVERIFY(m_host.picks.empty()); // still spinning: no selection
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->AnimationActive(), 10000);
        QVERIFY(m_view->m_spin > 10); // it turned on its own after the release
    }

    void wheelDoubleClickAndResizeZoom() {
        Frame(0, 0, 0, 0);
        QWheelEvent up(QPointF(150, 150), m_view->mapToGlobal(QPointF(150, 150)), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view.get(), &up);
        QVERIFY(std::fabs(m_view->m_zoomTarget - 0.7875) < 1e-4);
        QCOMPARE(m_view->AnimationInterval(), 20);
        QTest::mouseDClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
        QVERIFY(std::fabs(m_view->m_zoomTarget - 0.5906) < 1e-4);
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->AnimationActive(), 10000);
        QCOMPARE(m_view->m_zoom, static_cast<float>(m_view->m_zoomTarget));
        // A resize returns to the whole globe.
        m_view->resize(kSize + 20, kSize);
        QTRY_COMPARE(m_view->m_zoom, 1.05f);
        QCOMPARE(m_view->m_zoomTarget, double(1.05f));
        QVERIFY(std::fabs(m_view->m_aspect - (kSize + 20.0f) / kSize) < 1e-6);
        m_view->resize(kSize, kSize);
        QTRY_COMPARE(m_view->m_aspect, 1.0f);
    }

    void contextMenuOffersTheZoomCommands() {
        Frame(0, 0, 0, 0);
        QStringList texts;
        QList<bool> enabled;
        QTimer::singleShot(200, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* a : menu->actions()) {
                texts << a->text();
                enabled << a->isEnabled();
            }
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mousePress(m_view.get(), Qt::RightButton, Qt::NoModifier, QPoint(150, 150));
        QCOMPARE(texts, QStringList({"Zoom in", "Zoom out", "Show selected location"}));
        QCOMPARE(enabled, QList<bool>({true, false, true}));
        // "Zoom in" was chosen.
        QVERIFY(std::fabs(m_view->m_zoomTarget - 0.7875) < 1e-4);
        QVERIFY(m_view->OnCommand(CGlobeView::ID_GLOBE_ZOOM_OUT));
        QCOMPARE(m_view->m_zoomTarget, 1.05);
        QVERIFY(!m_view->OnCommand(4711));
        // From the view's centre (0, 0) to a selection elsewhere: a flight of
        // sqrt(30.25^2 + 40.75^2) = 50.7506 degrees that ends centred on it.
        m_view->m_longitude = 30.25;
        m_view->m_latitude = 40.75;
        QVERIFY(m_view->OnCommand(CGlobeView::ID_GLOBE_SHOW_SELECTED));
        QCOMPARE(m_view->m_targetLon, 30.25);
        QCOMPARE(m_view->m_targetLat, 40.75);
        QVERIFY2(std::fabs(m_view->m_travel - 50.7506) < 1e-4,
                 qPrintable(QString::number(m_view->m_travel)));
        QTRY_VERIFY_WITH_TIMEOUT(!m_view->AnimationActive(), 10000);
        QCOMPARE(m_view->m_spin, -30.25);
        QCOMPARE(m_view->m_tilt, 40.75);
    }

    void arrowKeysGoToTheHost() {
        m_host.keys.clear();
        m_view->setFocus();
        for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_A, Qt::Key_Right, Qt::Key_Down})
            QTest::keyClick(m_view.get(), static_cast<Qt::Key>(key));
        QCOMPARE(m_host.keys,
                 std::vector<int>({Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down}));
    }

    void withoutAUsableContextNothingIsDrawn() {
        // A core profile has none of the fixed-function calls the globe draws with.
        CGlobeView view;
        QSurfaceFormat impossible;
        impossible.setVersion(9, 9);
        impossible.setProfile(QSurfaceFormat::CoreProfile);
        view.setFormat(impossible);
        view.SetData(m_data.get());
        view.resize(100, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(100);
        QVERIFY(!view.IsSetUp());
        view.ShowSelectedLocation(); // no crash, nothing to draw
        QTest::qWait(50);
        const QImage frame = view.grabFramebuffer();
        for (int y = 0; y < frame.height(); y += 10)
            for (int x = 0; x < frame.width(); x += 10)
                QCOMPARE(frame.pixelColor(x, y).rgb() & 0xFFFFFF, 0u);
    }

    void cleanupTestCase() { m_view.reset(); }
};

int main(int argc, char** argv) {
    // The OpenGL widget needs an X display; Qt's offscreen platform cannot host it.
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "No X display: run under xvfb-run. Skipped.\n");
        return 77;
    }
    configure_globe_surface_format();
    QApplication app(argc, argv);
    GlobeViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GlobeViewTest.moc"
