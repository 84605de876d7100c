#include "globe/GlobeViewState.h"

#include "globe/GlobeData.h"

#include <algorithm>
#include <cmath>

namespace skyfetch {
namespace {

constexpr double kPi = GlobeViewState::kPi;
// The circle of the marker is laid out with the single-precision value.
constexpr double kCirclePi = 3.1415927;

double radians(double degrees) {
    return degrees * kPi / 180;
}
double degrees(double radians) {
    return radians * 180 / kPi;
}

// Grid index trunc(v) for 0 <= v < count, else -1 (also for NaN).
int grid_index(double v, int count) {
    if (!(v >= 0 && v < count))
        return -1;
    return static_cast<int>(v);
}

double clamp_unit(double v) {
    return std::clamp(v, -1.0, 1.0);
}

} // namespace

void GlobeViewState::SphereToModel(double lon, double lat, double r, double& x, double& y,
                                   double& z) {
    const double lo = radians(lon);
    const double la = radians(lat);
    x = r * std::cos(la) * std::sin(lo);
    y = -r * std::cos(la) * std::cos(lo);
    z = r * std::sin(la);
}

double GlobeViewState::Wrap180(double angle) {
    double r = std::fmod(angle, 360);
    if (r < -180)
        r += 360;
    else if (r > 180)
        r -= 360;
    return r;
}

double GlobeViewState::AngleDifference(double a, double b) {
    const double wa = Wrap180(a);
    const double wb = Wrap180(b);
    const double d = wa - wb;
    if (wa > wb)
        return d < 180 ? d : d - 360;
    return wb - wa < 180 ? d : d + 360;
}

void GlobeViewState::ResetView() {
    m_spin = 0;
    m_tilt = 0;
    m_spinSpeed = 0;
    m_tiltSpeed = 0;
    m_startLon = 0;
    m_targetLon = 0;
    m_startLat = 0;
    m_targetLat = 0;
    m_zoom = kWholeGlobe;
    m_zoomTarget = m_zoomStart = kWholeGlobe;
    m_dragging = false;
}

void GlobeViewState::SetClientSize(int width, int height) {
    m_aspect = height == 0 ? static_cast<float>(width)
                           : static_cast<float>(width) / static_cast<float>(height);
}

void GlobeViewState::ResetZoom() {
    m_zoom = kWholeGlobe;
    m_zoomTarget = m_zoomStart = kWholeGlobe;
}

ProjectionBox GlobeViewState::Projection() const {
    ProjectionBox box{};
    if (m_aspect >= 1) {
        box.left = -m_zoom * m_aspect;
        box.right = m_zoom * m_aspect;
        box.bottom = -m_zoom;
        box.top = m_zoom;
    } else {
        box.left = -m_zoom;
        box.right = m_zoom;
        box.bottom = -m_zoom / m_aspect;
        box.top = m_zoom / m_aspect;
    }
    // The far plane through the centre hides the back of the sphere.
    box.zNear = -5 * m_zoom;
    box.zFar = 0;
    return box;
}

double GlobeViewState::MarkerHalfSize() const {
    // At the deepest zoom the square is the cell itself; further out it grows so that it
    // stays visible.
    if (m_zoom < 0.25)
        return 0.25;
    if (m_zoom < 0.5)
        return 0.5;
    return 1.0;
}

std::array<Vertex, 4> GlobeViewState::MarkerSquare() const {
    const double h = MarkerHalfSize();
    const double corners[4][2] = {{m_longitude - h, m_latitude - h},
                                  {m_longitude - h, m_latitude + h},
                                  {m_longitude + h, m_latitude + h},
                                  {m_longitude + h, m_latitude - h}};
    std::array<Vertex, 4> square{};
    for (int i = 0; i < 4; ++i)
        SphereToModel(corners[i][0], corners[i][1], 1.01, square[i].x, square[i].y, square[i].z);
    return square;
}

std::array<Vertex, 16> GlobeViewState::MarkerCircle() const {
    double px = 0;
    double py = 0;
    ProjectSelection(px, py);
    // A constant share of the view, so the circle keeps its size on screen.
    const double radius = 0.05 * m_zoom;
    std::array<Vertex, 16> circle{};
    for (int i = 0; i < 16; ++i) {
        const double a = 2 * kCirclePi * i / 16;
        circle[i] = {px + radius * std::sin(a), py + radius * std::cos(a), 1.0};
    }
    return circle;
}

void GlobeViewState::ProjectSelection(double& x, double& y) const {
    const double s = std::sin(radians(m_latitude));
    const double c = std::sqrt(1 - s * s);
    x = c * std::cos(radians(90 - (m_longitude + m_spin)));
    const double q = std::sqrt(1 - x * x);
    double a = m_longitude + m_spin;
    if (a > 180)
        a -= 360;
    else if (a < -180)
        a += 360;
    // Rounding can push s / q just past 1 (and q is 0 on the view's rim at the equator).
    const double elevation = degrees(std::asin(q > 0 ? clamp_unit(s / q) : 0.0));
    if (a >= -90 && a <= 90)
        y = q * std::sin(radians(elevation - m_tilt));
    else
        y = q * std::sin(radians(180 - elevation - m_tilt));
}

bool GlobeViewState::IsLand(double lon, double lat) const {
    if (!m_pData)
        return false;
    // 180 E is the meridian of 180 W, the first column; the pole belongs to the last row.
    const double x = lon * 2 + 360;
    const double y = lat * 2 + 180;
    const int column = x == CGlobeData::kColumns ? 0 : grid_index(x, CGlobeData::kColumns);
    const int row =
        y == CGlobeData::kRows ? CGlobeData::kRows - 1 : grid_index(y, CGlobeData::kRows);
    return column >= 0 && row >= 0 && m_pData->IsLandCell(column, row);
}

std::optional<GlobePoint> GlobeViewState::PointAt(double x, double y, int width, int height) const {
    const double w = width > 0 ? width : 1;
    const double h = height > 0 ? height : 1;
    double vx = 0;
    double vy = 0;
    if (m_aspect > 1) {
        vx = (x / w - 0.5) * 2 * m_zoom * m_aspect;
        vy = (0.5 - y / h) * 2 * m_zoom;
    } else {
        vx = (x / w - 0.5) * 2 * m_zoom;
        vy = (0.5 - y / h) * 2 * m_zoom / m_aspect;
    }
    if (std::fabs(vy) > 1 || std::fabs(vx) > 1)
        return std::nullopt;

    const double r = std::sqrt(1 - vx * vx);
    double a = 0;
    if (r != 0) {
        if (std::fabs(vy) > r)
            return std::nullopt; // outside the globe's disc
        a = degrees(std::asin(vy / r));
    }
    const double t = a + m_tilt;
    const double s = std::sin(radians(t)) * r;
    const double q = std::sqrt(1 - s * s);
    if (q == 0)
        return std::nullopt;
    const double turn = degrees(std::acos(clamp_unit(vx / q)));
    double lon = (t > -90 && t < 90) ? 90 - turn - m_spin : 90 + turn - m_spin;
    if (lon > 180)
        lon -= 360;
    else if (lon < -180)
        lon += 360;
    return GlobePoint{lon, degrees(std::asin(clamp_unit(s)))};
}

std::optional<PickedCell> GlobeViewState::SelectAt(double x, double y, int width, int height) {
    const std::optional<GlobePoint> point = PointAt(x, y, width, height);
    if (!point)
        return std::nullopt;
    const int column = grid_index(point->lon * 2 + 360, CGlobeData::kColumns);
    const int row = grid_index(point->lat * 2 + 180, CGlobeData::kRows);
    if (column < 0 || row < 0 || !m_pData || !m_pData->IsLandCell(column, row))
        return std::nullopt;
    m_longitude = column * 0.5 - 179.75;
    m_latitude = row * 0.5 - 89.75;
    return PickedCell{column, row, m_longitude, m_latitude};
}

TimerRequest GlobeViewState::FlyTo(double lon, double lat) {
    m_startLon = Wrap180(-m_spin);
    m_startLat = m_tilt;
    m_targetLon = Wrap180(lon);
    // The view cannot tilt beyond the limit, so a flight aimed further north or south
    // could never arrive; it ends at the limit instead.
    m_targetLat = std::clamp(lat, -kMaxTilt, kMaxTilt);
    const double dLon = AngleDifference(m_targetLon, m_startLon);
    const double dLat = m_targetLat - m_startLat;
    m_travel = std::sqrt(dLon * dLon + dLat * dLat);
    m_spinSpeed = 0;
    m_tiltSpeed = 0;
    return TimerRequest::Start20ms;
}

TimerRequest GlobeViewState::ZoomTo(double halfExtent) {
    m_zoomStart = m_zoom;
    m_zoomTarget = halfExtent;
    return TimerRequest::Start20ms;
}

TimerRequest GlobeViewState::ZoomIn() {
    if (m_zoomTarget > 0.25)
        return ZoomTo(m_zoomTarget * 0.75);
    return TimerRequest::None;
}

TimerRequest GlobeViewState::ZoomOut() {
    return ZoomTo(1.05);
}

TickResult GlobeViewState::Tick() {
    TickResult result;
    m_spin += m_spinSpeed;
    m_tilt += m_tiltSpeed;
    m_spinSpeed *= 0.97;
    m_tiltSpeed *= 0.97;
    if (std::fabs(m_spinSpeed) < 0.01 && std::fabs(m_tiltSpeed) < 0.01 && m_travel == 0 &&
        !ZoomRunning()) {
        m_spinSpeed = 0;
        m_tiltSpeed = 0;
        result.stopTimer = true;
    }

    m_spin = Wrap180(m_spin);
    m_tilt = std::clamp(m_tilt, -kMaxTilt, kMaxTilt);

    if (m_travel != 0) {
        const double d = AngleDifference(-m_spin, m_targetLon);
        const double dLat = m_targetLat - m_tilt;
        const double dist = std::sqrt(d * d + dLat * dLat);
        if (dist <= m_travel) {
            // Half-circle speed profile: slow at both ends, 2 degrees a tick midway.
            const double u = 1 - dist / m_travel;
            const double m = 1.998 * u - 0.999;
            const double step = 2 * std::sqrt(1 - m * m);
            if (dist < step && !ZoomRunning()) {
                m_spin = -m_targetLon;
                m_tilt = m_targetLat;
                m_travel = 0;
                result.stopTimer = true;
            } else if (dist > 0) {
                // While a zoom runs the view may pass the target and come back.
                const double toTarget = AngleDifference(m_targetLon, -m_spin);
                m_spin -= step * toTarget / dist;
                m_tilt += dLat * step / dist;
            }
        }
    }

    if (ZoomRunning()) {
        const double e = std::fabs(m_zoom - m_zoomTarget);
        const double span = std::fabs(m_zoomStart - m_zoomTarget);
        bool arrived = span * 0.001 > e;
        if (!arrived) {
            const double m = 1.98 * (1 - e / span) - 0.99;
            const float next = static_cast<float>(m_zoom + std::sqrt(std::max(0.0, 1 - m * m)) *
                                                               0.04 * (m_zoomTarget - m_zoomStart));
            // A change too small for single precision would leave the zoom running for
            // ever; it has arrived as far as it can.
            if (next == m_zoom)
                arrived = true;
            else
                m_zoom = next;
        }
        if (arrived) {
            m_zoomStart = m_zoomTarget;
            m_zoom = static_cast<float>(m_zoomTarget);
            if (m_travel == 0)
                result.stopTimer = true;
        }
        result.projectionChanged = true;
    }
    return result;
}

void GlobeViewState::Press(int x, int y) {
    m_dragging = true;
    m_spinSpeed = 0;
    m_tiltSpeed = 0;
    m_pressPoint = {x, y};
}

MoveResult GlobeViewState::Move(int x, int y, int width, int height) {
    MoveResult result;
    if (ClientPoint{x, y} == m_pressPoint || !m_dragging)
        return result;
    result.acted = true;
    // The displacement since the press, not since the last move: a drag across the whole
    // width spins 3 degrees a tick.
    const float w = static_cast<float>(width > 0 ? width : 1);
    const float h = static_cast<float>(height > 0 ? height : 1);
    m_spinSpeed = static_cast<float>(x - m_pressPoint.x) / w * 3;
    m_tiltSpeed = static_cast<float>(y - m_pressPoint.y) / h * 3;
    if (std::fabs(m_tiltSpeed) < std::fabs(m_spinSpeed))
        result.cursor = m_spinSpeed > 0 ? DragCursor::Right : DragCursor::Left;
    else
        result.cursor = m_tiltSpeed > 0 ? DragCursor::Down : DragCursor::Up;
    if (m_spinSpeed == 0 && m_tiltSpeed == 0)
        return result;
    m_travel = 0; // a drag cancels a fly-to
    result.timer = TimerRequest::Start1ms;
    return result;
}

ReleaseResult GlobeViewState::Release(int x, int y, int width, int height) {
    ReleaseResult result;
    // Also true after a drag whose spin has died away: that selects under the release.
    if (m_spinSpeed == 0 && m_tiltSpeed == 0) {
        result.picked = SelectAt(x, y, width, height);
        result.missedLand = !result.picked && PointAt(x, y, width, height).has_value();
    }
    m_dragging = false;
    if (ClientPoint{x, y} == m_pressPoint) {
        m_spinSpeed = 0;
        m_tiltSpeed = 0;
        result.withoutMovement = true;
    }
    return result;
}

TimerRequest GlobeViewState::Wheel(int delta) {
    if (delta > 0 && m_zoomTarget > 0.25)
        return ZoomTo(m_zoomTarget * 0.75);
    if (delta < 0 && m_zoomTarget / 0.75 <= 1.05)
        return ZoomTo(m_zoomTarget / 0.75);
    return TimerRequest::None;
}

FocusFrame FocusFrameFor(int pixelWidth, int pixelHeight, double devicePixelRatio) {
    // Two pixels wide, one pixel in from the edge, at the screen's scale.
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const int inset = std::max(1, static_cast<int>(std::lround(ratio)));
    FocusFrame frame;
    frame.thickness = std::max(1, static_cast<int>(std::lround(2 * ratio)));
    frame.left = inset;
    frame.bottom = inset;
    frame.right = std::max(frame.left, pixelWidth - inset);
    frame.top = std::max(frame.bottom, pixelHeight - inset);
    return frame;
}

} // namespace skyfetch
