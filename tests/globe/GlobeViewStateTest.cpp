#include "globe/GlobeViewState.h"
#include "globe/GlobeData.h"

#include "SyntheticGlobeBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace skyfetch {
namespace {

constexpr double kPi = 3.14159265359;

// Runs the timer until the view asks to stop it; the number of ticks, or -1.
int run_until_stopped(GlobeViewState& view, int limit = 5000) {
    for (int n = 1; n <= limit; ++n)
        if (view.Tick().stopTimer)
            return n;
    return -1;
}

GlobeViewState fresh_view() {
    GlobeViewState view;
    view.ResetView();
    view.SetClientSize(300, 300);
    return view;
}

TEST(GlobeAngles, Wrap180) {
    const struct {
        double in, out;
    } cases[] = {{190, -170}, {-540, -180}, {0, 0},      {180, 180}, {-180, -180},
                 {360, 0},    {540, 180},   {-190, 170}, {725, 5},   {-359.5, 0.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(GlobeViewState::Wrap180(c.in), c.out) << "Wrap180(" << c.in << ")";
}

TEST(GlobeAngles, AngleDifferenceTakesTheShortWay) {
    const struct {
        double a, b, out;
    } cases[] = {{170, -170, -20}, {-170, 170, 20}, {10, 350, 20},    {350, 10, -20},
                 {0, 0, 0},        {90, 45, 45},    {45, 90, -45},    {540, 0, -180},
                 {-179, 179, 2},   {179, -179, -2}, {30, -150, -180}, {-150, 30, 180}};
    for (const auto& c : cases)
        EXPECT_NEAR(GlobeViewState::AngleDifference(c.a, c.b), c.out, 1e-12)
            << "AngleDifference(" << c.a << ", " << c.b << ")";
}

// The model point under the view rotation, as OpenGL applies it: first the spin about z,
// then the tilt - 90 about x.
void rotate_like_opengl(double spin, double tilt, double& x, double& y, double& z) {
    const double s = spin * kPi / 180;
    const double x1 = x * std::cos(s) - y * std::sin(s);
    const double y1 = x * std::sin(s) + y * std::cos(s);
    const double t = (tilt - 90) * kPi / 180;
    const double y2 = y1 * std::cos(t) - z * std::sin(t);
    const double z2 = y1 * std::sin(t) + z * std::cos(t);
    x = x1;
    y = y2;
    z = z2;
}

TEST(GlobeGeometry, SphereToModelAxes) {
    const struct {
        double lon, lat, x, y, z;
    } cases[] = {{0, 0, 0, -1, 0},   {90, 0, 1, 0, 0},  {180, 0, 0, 1, 0},
                 {-90, 0, -1, 0, 0}, {33, 90, 0, 0, 1}, {0, -90, 0, 0, -1}};
    for (const auto& c : cases) {
        double x, y, z;
        GlobeViewState::SphereToModel(c.lon, c.lat, 2.0, x, y, z);
        EXPECT_NEAR(x, 2 * c.x, 1e-9) << c.lon << "," << c.lat;
        EXPECT_NEAR(y, 2 * c.y, 1e-9) << c.lon << "," << c.lat;
        EXPECT_NEAR(z, 2 * c.z, 1e-9) << c.lon << "," << c.lat;
    }
}

TEST(GlobeGeometry, ViewCentreIsMinusSpinAndTilt) {
    const struct { double spin, tilt; } cases[] = {{0, 0}, {-147.25, -42.75}, {30, 60}, {179, -80}};
    for (const auto& c : cases) {
        double x, y, z;
        GlobeViewState::SphereToModel(-c.spin, c.tilt, 1, x, y, z);
        rotate_like_opengl(c.spin, c.tilt, x, y, z);
        EXPECT_NEAR(x, 0, 1e-9);
        EXPECT_NEAR(y, 0, 1e-9);
        EXPECT_NEAR(z, 1, 1e-9); // towards the viewer
    }
}

TEST(GlobeGeometry, ProjectSelectionMatchesTheRotatedModelPoint) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lon(-180, 180), lat(-89.75, 89.75), spin(-180, 180),
        tilt(-80, 80);
    GlobeViewState view = fresh_view();
    int farSide = 0;
    for (int i = 0; i < 4000; ++i) {
        view.m_longitude = lon(random);
        view.m_latitude = lat(random);
        view.m_spin = spin(random);
        view.m_tilt = tilt(random);
        // Also the rim, where longitude + spin is a quarter turn.
        if (i % 10 == 0)
            view.m_spin = (i % 20 ? 90 : -90) - view.m_longitude;
        double x, y, z;
        GlobeViewState::SphereToModel(view.m_longitude, view.m_latitude, 1, x, y, z);
        rotate_like_opengl(view.m_spin, view.m_tilt, x, y, z);
        double px = 0, py = 0;
        view.ProjectSelection(px, py);
        ASSERT_NEAR(px, x, 1e-9) << view.m_longitude << "," << view.m_latitude;
        ASSERT_NEAR(py, y, 1e-6) << view.m_longitude << "," << view.m_latitude << " spin "
                                 << view.m_spin << " tilt " << view.m_tilt;
        farSide += z < 0;
    }
    EXPECT_GT(farSide, 1000); // the far side was covered too
}

TEST(GlobeGeometry, ProjectionBox) {
    const struct {
        int width, height;
        double halfX, halfY;
    } cases[] = {{300, 300, 1, 1}, {400, 200, 2, 1}, {200, 400, 1, 2}, {250, 0, 250, 1}};
    for (const auto& c : cases) {
        GlobeViewState view = fresh_view();
        view.SetClientSize(c.width, c.height);
        view.m_zoom = 0.5f;
        const ProjectionBox box = view.Projection();
        EXPECT_NEAR(box.left, -0.5 * c.halfX, 1e-6) << c.width << "x" << c.height;
        EXPECT_NEAR(box.right, 0.5 * c.halfX, 1e-6);
        EXPECT_NEAR(box.bottom, -0.5 * c.halfY, 1e-6);
        EXPECT_NEAR(box.top, 0.5 * c.halfY, 1e-6);
        EXPECT_NEAR(box.zNear, -2.5, 1e-6);
        EXPECT_EQ(box.zFar, 0);
    }
}

double angle_between(const Vertex& a, const Vertex& b) {
    const double dot = a.x * b.x + a.y * b.y + a.z * b.z;
    const double na = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    const double nb = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
    return std::acos(dot / (na * nb)) * 180 / kPi;
}

TEST(GlobeMarker, SquareGrowsWhenZoomedOut) {
    const struct {
        float zoom;
        double halfSize;
    } cases[] = {{0.249f, 0.25}, {0.2492f, 0.25}, {0.3f, 0.5},
                 {0.4430f, 0.5}, {0.5f, 1.0},     {1.05f, 1.0}};
    for (const auto& c : cases) {
        GlobeViewState view = fresh_view();
        view.m_zoom = c.zoom;
        view.m_longitude = 147.25;
        view.m_latitude = 0.25;
        EXPECT_EQ(view.MarkerHalfSize(), c.halfSize) << "zoom " << c.zoom;
        // Near the equator the square's sides span 2 h degrees, just above the surface.
        const auto square = view.MarkerSquare();
        for (const Vertex& v : square)
            EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.01, 1e-12);
        EXPECT_NEAR(angle_between(square[0], square[1]), 2 * c.halfSize, 1e-3);
        EXPECT_NEAR(angle_between(square[1], square[2]), 2 * c.halfSize, 1e-3);
    }
}

TEST(GlobeMarker, CircleKeepsItsScreenSize) {
    for (float zoom : {1.05f, 0.5f, 0.2492f}) {
        GlobeViewState view = fresh_view();
        view.m_zoom = zoom;
        view.m_longitude = 20;
        view.m_latitude = -30;
        view.m_spin = 110; // selection on the far side: the circle is still there
        double px, py;
        view.ProjectSelection(px, py);
        const auto circle = view.MarkerCircle();
        for (const Vertex& v : circle) {
            EXPECT_NEAR(std::hypot(v.x - px, v.y - py) / zoom, 0.05, 1e-6);
            EXPECT_EQ(v.z, 1.0); // in front of the whole globe
        }
        EXPECT_NEAR(circle[0].x, px, 1e-12); // first vertex straight above the centre
        EXPECT_GT(circle[0].y, py);
        EXPECT_GT(circle[4].x, px); // a quarter turn clockwise
    }
}

TEST(GlobeFlyTo, TravelsToTheTargetAndStops) {
    GlobeViewState view = fresh_view();
    EXPECT_EQ(view.FlyTo(147.25, -42.75), TimerRequest::Start20ms);
    EXPECT_NEAR(view.m_travel, std::sqrt(147.25 * 147.25 + 42.75 * 42.75), 1e-9);
    EXPECT_NEAR(view.m_travel, 153.33, 0.005);

    double lastLon = -view.m_spin, lastLat = view.m_tilt;
    double largest = 0, smallest = 1e9;
    int ticks = 0;
    for (; ticks < 1000; ++ticks) {
        const bool stop = view.Tick().stopTimer;
        const double moved = std::hypot(GlobeViewState::AngleDifference(-view.m_spin, lastLon),
                                        view.m_tilt - lastLat);
        lastLon = -view.m_spin;
        lastLat = view.m_tilt;
        if (stop)
            break;
        largest = std::max(largest, moved);
        smallest = std::min(smallest, moved);
    }
    ASSERT_LT(ticks, 1000) << "the fly-to never arrived";
    EXPECT_DOUBLE_EQ(view.m_spin, -147.25);
    EXPECT_DOUBLE_EQ(view.m_tilt, -42.75);
    EXPECT_EQ(view.m_travel, 0);
    // Slow at the ends, about two degrees a tick in the middle.
    EXPECT_LT(smallest, 0.1);
    EXPECT_GT(largest, 1.7);
    EXPECT_LE(largest, 2.0);
}

TEST(GlobeFlyTo, CrossesTheDateLineEastward) {
    GlobeViewState view = fresh_view();
    view.m_spin = -170; // centre at 170 E
    view.FlyTo(-170, 0);
    EXPECT_NEAR(view.m_travel, 20, 1e-9);
    double centre = -view.m_spin;
    double eastward = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool stop = view.Tick().stopTimer;
        const double step = GlobeViewState::AngleDifference(-view.m_spin, centre);
        EXPECT_GE(step, 0) << "moved west at tick " << i;
        eastward += step;
        centre = -view.m_spin;
        EXPECT_TRUE(centre >= 170 || centre <= -170) << "left the short way at " << centre;
        if (stop)
            break;
    }
    EXPECT_EQ(view.m_travel, 0);
    EXPECT_NEAR(eastward, 20, 1e-9);
    EXPECT_NEAR(GlobeViewState::Wrap180(-view.m_spin), -170, 1e-9);
}

TEST(GlobeFlyTo, BeyondTheTiltLimitEndsAtTheLimit) {
    for (double lat : {83.25, 89.75, -85.0, 80.25}) {
        GlobeViewState view = fresh_view();
        view.m_longitude = 10;
        view.m_latitude = lat;
        view.ShowSelectedLocation();
        const int ticks = run_until_stopped(view);
        ASSERT_GT(ticks, 0) << "fly-to to latitude " << lat << " never ended";
        EXPECT_EQ(view.m_travel, 0);
        EXPECT_DOUBLE_EQ(view.m_tilt, lat > 0 ? 80 : -80);
        EXPECT_DOUBLE_EQ(view.m_spin, -10);
        EXPECT_EQ(view.m_latitude, lat); // the selection itself stays
    }
}

TEST(GlobeZoom, FiveStepsInThenRefused) {
    GlobeViewState view = fresh_view();
    EXPECT_FALSE(view.CanZoomOut());
    EXPECT_EQ(view.Wheel(-120), TimerRequest::None); // already the whole globe
    const double expected[] = {0.7875, 0.5906, 0.4430, 0.3322, 0.2492};
    for (double target : expected) {
        ASSERT_TRUE(view.CanZoomIn());
        EXPECT_EQ(view.Wheel(120), TimerRequest::Start20ms);
        EXPECT_NEAR(view.m_zoomTarget, target, 5e-5);
        EXPECT_TRUE(view.CanZoomOut());
        const int ticks = run_until_stopped(view);
        ASSERT_GT(ticks, 0) << "zoom to " << target << " never ended";
        EXPECT_LE(ticks, 60);
        EXPECT_EQ(view.m_zoom, static_cast<float>(view.m_zoomTarget));
        EXPECT_EQ(view.m_zoomStart, view.m_zoomTarget);
    }
    EXPECT_FALSE(view.CanZoomIn());
    const double before = view.m_zoomTarget;
    EXPECT_EQ(view.Wheel(120), TimerRequest::None);
    EXPECT_EQ(view.ZoomIn(), TimerRequest::None);
    EXPECT_EQ(view.m_zoomTarget, before);

    // The wheel goes back one step at a time, to the whole globe again.
    for (int step = 0; step < 5; ++step) {
        EXPECT_EQ(view.Wheel(-120), TimerRequest::Start20ms) << "step " << step;
        ASSERT_GT(run_until_stopped(view), 0);
    }
    EXPECT_EQ(view.Wheel(-120), TimerRequest::None);
    EXPECT_FLOAT_EQ(view.m_zoom, 1.05f);
    EXPECT_FALSE(view.CanZoomOut());
}

TEST(GlobeZoom, ZoomOutJumpsToTheWholeGlobe) {
    GlobeViewState view = fresh_view();
    for (int i = 0; i < 3; ++i) {
        view.ZoomIn();
        run_until_stopped(view);
    }
    EXPECT_EQ(view.ZoomOut(), TimerRequest::Start20ms);
    EXPECT_EQ(view.m_zoomTarget, 1.05);
    // Slowest at both ends: the first step moves well under 1 % of the change.
    const double span = 1.05 - view.m_zoom;
    const float before = view.m_zoom;
    view.Tick();
    EXPECT_GT(view.m_zoom, before);
    EXPECT_LT((view.m_zoom - before) / span, 0.01);
    ASSERT_GT(run_until_stopped(view), 0);
    EXPECT_EQ(view.m_zoom, 1.05f);
    EXPECT_FALSE(view.CanZoomOut());
}

TEST(GlobeZoom, AChangeBelowSinglePrecisionStillEnds) {
    GlobeViewState view = fresh_view();
    for (int i = 0; i < 2; ++i) {
        view.Wheel(120);
        run_until_stopped(view);
    }
    // In and straight out again before a tick: the target differs from the float zoom
    // only by its rounding.
    view.Wheel(120);
    view.Wheel(-120);
    ASSERT_TRUE(view.ZoomRunning());
    EXPECT_GT(run_until_stopped(view, 200), 0);
    EXPECT_FALSE(view.ZoomRunning());
}

TEST(GlobeZoom, FlyToAndZoomTogetherEndTogether) {
    GlobeViewState view = fresh_view();
    view.FlyTo(40, 20);
    view.ZoomIn();
    const int ticks = run_until_stopped(view);
    ASSERT_GT(ticks, 0);
    EXPECT_EQ(view.m_travel, 0);
    EXPECT_FALSE(view.ZoomRunning());
    EXPECT_DOUBLE_EQ(view.m_spin, -40);
    EXPECT_DOUBLE_EQ(view.m_tilt, 20);
}

TEST(GlobeSpin, DecaysWrapsAndClamps) {
    GlobeViewState view = fresh_view();
    view.m_spin = 170;
    view.m_tilt = 60;
    view.m_spinSpeed = 3;
    view.m_tiltSpeed = 1.5f;
    const int ticks = run_until_stopped(view);
    // The speed shrinks by 3 % a tick and the timer stops below 0.01 degrees a tick.
    const int expectedTicks = static_cast<int>(std::ceil(std::log(0.01 / 3) / std::log(0.97)));
    EXPECT_NEAR(ticks, expectedTicks, 1);
    const double spun = 3 * (1 - std::pow(0.97, ticks)) / 0.03;
    EXPECT_NEAR(GlobeViewState::AngleDifference(view.m_spin, 170 + spun), 0, 0.01);
    EXPECT_GE(view.m_spin, -180);
    EXPECT_LE(view.m_spin, 180);
    EXPECT_EQ(view.m_tilt, 80); // 50 more degrees of tilt would go past the limit
    EXPECT_EQ(view.m_spinSpeed, 0);
    EXPECT_EQ(view.m_tiltSpeed, 0);
}

// All cells are land: every pick names a cell.
class GlobePicking : public ::testing::Test {
protected:
    GlobePicking() : m_registered(m_block.Block()) {}
    void SetUp() override { m_block.SetAllLand(); }

    test::SyntheticGlobeBlock m_block;
    test::RegisteredGlobeBlock m_registered;
};

// Client point of an eye-space point, as the pick reads client points.
void eye_to_client(const GlobeViewState& view, int width, int height, double ex, double ey,
                   double& x, double& y) {
    if (view.m_aspect > 1) {
        x = (ex / (2 * view.m_zoom * view.m_aspect) + 0.5) * width;
        y = (0.5 - ey / (2 * view.m_zoom)) * height;
    } else {
        x = (ex / (2 * view.m_zoom) + 0.5) * width;
        y = (0.5 - ey * view.m_aspect / (2 * view.m_zoom)) * height;
    }
}

TEST_F(GlobePicking, ProjectedCellCentresPickTheirOwnCell) {
    CGlobeData data;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> column(0, 719), row(0, 359);
    std::uniform_real_distribution<double> spin(-180, 180), tilt(-80, 80);
    const struct {
        int width, height;
        float zoom;
    } windows[] = {{300, 300, 1.05f}, {420, 280, 1.05f}, {280, 420, 0.5906f}, {300, 300, 0.2492f}};
    int checked = 0;
    for (const auto& w : windows) {
        GlobeViewState view = fresh_view();
        view.m_pData = &data;
        view.SetClientSize(w.width, w.height);
        view.m_zoom = w.zoom;
        for (int i = 0; i < 3000; ++i) {
            const int c = column(random);
            const int r = row(random);
            const double lon = c * 0.5 - 179.75;
            const double lat = r * 0.5 - 89.75;
            // Rotations that put the cell within 60 degrees of the view centre.
            view.m_spin = -lon + spin(random) / 3;
            view.m_tilt = std::clamp(lat + tilt(random) / 4, -80.0, 80.0);
            double x, y, z;
            GlobeViewState::SphereToModel(lon, lat, 1, x, y, z);
            rotate_like_opengl(view.m_spin, view.m_tilt, x, y, z);
            if (z < 0.5)
                continue;
            view.m_longitude = lon;
            view.m_latitude = lat;
            double ex, ey, cx, cy;
            view.ProjectSelection(ex, ey);
            eye_to_client(view, w.width, w.height, ex, ey, cx, cy);
            if (cx < 0 || cy < 0 || cx >= w.width || cy >= w.height)
                continue;
            view.m_longitude = view.m_latitude = 0;
            const auto picked = view.SelectAt(cx, cy, w.width, w.height);
            ASSERT_TRUE(picked) << "cell " << c << "," << r;
            EXPECT_EQ(picked->column, c);
            EXPECT_EQ(picked->row, r);
            EXPECT_DOUBLE_EQ(view.m_longitude, lon);
            EXPECT_DOUBLE_EQ(view.m_latitude, lat);
            ++checked;
        }
    }
    EXPECT_GT(checked, 4000);
}

TEST_F(GlobePicking, ClickSnapsToTheCellCentre) {
    CGlobeData data;
    GlobeViewState view = fresh_view();
    view.m_pData = &data;
    view.m_spin = -147.25;
    view.m_tilt = -42.75;
    // The view centre is in the cell around 147.25 E, 42.75 S; a point a little
    // north-west of the centre is still in it.
    view.m_longitude = 147.1;
    view.m_latitude = -42.9;
    double ex, ey, cx, cy;
    view.ProjectSelection(ex, ey);
    eye_to_client(view, 300, 300, ex, ey, cx, cy);
    view.m_longitude = view.m_latitude = 0;
    const auto picked = view.SelectAt(cx, cy, 300, 300);
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->lon, 147.25);
    EXPECT_EQ(picked->lat, -42.75);
    EXPECT_EQ(picked->column, 654);
    EXPECT_EQ(picked->row, 94);
}

TEST_F(GlobePicking, NothingOffTheDiscOrOnSea) {
    m_block.Mask(360, 180) = 0; // the cell at the view centre becomes sea
    CGlobeData data;
    GlobeViewState view = fresh_view();
    view.m_pData = &data;
    view.m_longitude = 5;
    view.m_latitude = 6;
    const struct {
        double x, y;
    } misses[] = {{2, 2}, {298, 3}, {150.5, 149.5}, {-10, 150}, {150, 320}};
    for (const auto& p : misses) {
        EXPECT_FALSE(view.SelectAt(p.x, p.y, 300, 300)) << p.x << "," << p.y;
        EXPECT_EQ(view.m_longitude, 5); // the selection did not move
        EXPECT_EQ(view.m_latitude, 6);
    }
    EXPECT_TRUE(view.SelectAt(100, 150, 300, 300));
}

TEST_F(GlobePicking, IsLandUsesTheGrid) {
    m_block.Mask(0, 0) = 0;
    CGlobeData data;
    GlobeViewState view = fresh_view();
    EXPECT_FALSE(view.IsLand(10, 10)); // no data yet
    view.m_pData = &data;
    EXPECT_TRUE(view.IsLand(10, 10));
    EXPECT_FALSE(view.IsLand(-179.9, -89.9));
    EXPECT_TRUE(view.IsLand(-179.4, -89.9));
    // Outside the grid is not land, even where truncation would give column 0.
    EXPECT_FALSE(view.IsLand(-180.2, 10));
    EXPECT_FALSE(view.IsLand(10, -90.3));
    // 180 E is 180 W, and the pole is in the last row, as the location fields take them.
    EXPECT_FALSE(view.IsLand(180, -89.9));
    EXPECT_TRUE(view.IsLand(180, 10));
    EXPECT_TRUE(view.IsLand(10, 90));
}

TEST_F(GlobePicking, MouseClickDragAndRelease) {
    CGlobeData data;
    GlobeViewState view = fresh_view();
    view.m_pData = &data;
    view.FlyTo(30, 10);

    // A click without movement selects under the pointer.
    view.Press(150, 150);
    EXPECT_TRUE(view.m_dragging);
    EXPECT_FALSE(view.Move(150, 150, 300, 300).acted);
    ReleaseResult release = view.Release(150, 150, 300, 300);
    ASSERT_TRUE(release.picked);
    EXPECT_EQ(release.picked->lon, 0.25);
    EXPECT_EQ(release.picked->lat, 0.25);
    EXPECT_TRUE(release.withoutMovement);
    EXPECT_FALSE(view.m_dragging);
    EXPECT_NE(view.m_travel, 0); // a click does not stop a fly-to

    // Dragging spins by the displacement since the press and cancels the fly-to.
    view.Press(100, 100);
    const struct {
        int x, y;
        float spin, tilt;
        DragCursor cursor;
    } moves[] = {{400, 100, 3, 0, DragCursor::Right},
                 {40, 130, -0.6f, 0.3f, DragCursor::Left},
                 {110, 160, 0.1f, 0.6f, DragCursor::Down},
                 {100, 40, 0, -0.6f, DragCursor::Up}};
    for (const auto& m : moves) {
        const MoveResult result = view.Move(m.x, m.y, 300, 300);
        EXPECT_TRUE(result.acted);
        EXPECT_FLOAT_EQ(view.m_spinSpeed, m.spin);
        EXPECT_FLOAT_EQ(view.m_tiltSpeed, m.tilt);
        EXPECT_EQ(result.cursor, m.cursor);
        EXPECT_EQ(result.timer, TimerRequest::Start1ms);
    }
    EXPECT_EQ(view.m_travel, 0);
    // Released while spinning: no selection.
    const double lonBefore = view.m_longitude;
    release = view.Release(100, 40, 300, 300);
    EXPECT_FALSE(release.picked);
    EXPECT_FALSE(release.withoutMovement);
    EXPECT_EQ(view.m_longitude, lonBefore);

    // Held still until the spin has died away, then released: selects there.
    view.Press(100, 100);
    view.Move(130, 100, 300, 300);
    ASSERT_GT(run_until_stopped(view), 0);
    release = view.Release(130, 100, 300, 300);
    EXPECT_TRUE(release.picked);
    EXPECT_FALSE(release.withoutMovement);

    // Moves without a press do nothing.
    EXPECT_FALSE(view.Move(10, 10, 300, 300).acted);
}

} // namespace
} // namespace skyfetch
