#pragma once

#include <array>
#include <optional>

namespace skyfetch {

class CGlobeData;

// What the window has to do with its animation timer after an operation.
enum class TimerRequest {
    None,
    Stop,
    Start1ms,  // (re)start for a free spin after a drag
    Start20ms, // (re)start for a fly-to or a zoom
};

// The cursor to show while the globe is grabbed or dragged.
enum class DragCursor { None, Grab, Down, Up, Left, Right };

struct TickResult {
    bool stopTimer = false;
    bool projectionChanged = false;
};

// A signed location on the globe, in degrees.
struct GlobePoint {
    double lon = 0;
    double lat = 0;
};

// A land cell hit by a pick: grid indices and the cell centre.
struct PickedCell {
    int column = 0;
    int row = 0;
    double lon = 0;
    double lat = 0;
};

struct MoveResult {
    bool acted = false; // false: the move was ignored
    DragCursor cursor = DragCursor::None;
    TimerRequest timer = TimerRequest::None;
};

struct ReleaseResult {
    std::optional<PickedCell> picked; // the selection moved here; the host must be told
    bool missedLand = false;          // a pick on the globe's disc found no land cell
    bool withoutMovement = false;     // released where pressed: focus the globe, repaint
};

// The frame that shows the keyboard focus on the globe: four bars of `thickness` pixels
// just inside the edge of a window of the given size in device pixels, left and bottom
// inclusive, right and top exclusive (OpenGL's window coordinates, y upwards).
struct FocusFrame {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    int thickness = 0;
};
FocusFrame FocusFrameFor(int pixelWidth, int pixelHeight, double devicePixelRatio);

// The orthographic box of the projection matrix.
struct ProjectionBox {
    double left, right, bottom, top, zNear, zFar;
};

struct Vertex {
    double x, y, z;
};

struct ClientPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ClientPoint&) const = default;
};

// Everything the globe view computes: rotation, zoom, projection, marker geometry,
// picking, fly-to and zoom animation and the reactions to the mouse. No window and no
// OpenGL: the widget turns events into calls and results into timer changes and frames.
//
// The view centre is longitude -m_spin, latitude m_tilt. m_zoom is the half-extent of the
// view in globe radii along the shorter window axis.
class GlobeViewState {
public:
    // The angle conversions use this value, not the full-precision one.
    static constexpr double kPi = 3.14159265359;
    // The whole-globe view, kept in single precision as m_zoom holds it.
    static constexpr float kWholeGlobe = 1.05f;
    // The view can be tilted no further than this; fly-to targets are held to it.
    static constexpr double kMaxTilt = 80;

    static void SphereToModel(double lon, double lat, double r, double& x, double& y, double& z);
    static double Wrap180(double angle);
    // Signed shortest difference a - b in degrees.
    static double AngleDifference(double a, double b);

    // The whole-globe view looking at (0, 0), nothing moving.
    void ResetView();
    // Aspect from the client size (a zero height gives the width).
    void SetClientSize(int width, int height);
    // Back to the whole-globe view, ending any zoom (done on every resize).
    void ResetZoom();

    ProjectionBox Projection() const;
    // Half-size in degrees of the square drawn around the selected cell.
    double MarkerHalfSize() const;
    // Corners of that square in model coordinates, just above the surface.
    std::array<Vertex, 4> MarkerSquare() const;
    // The circle around the selection in eye coordinates, in front of the globe.
    std::array<Vertex, 16> MarkerCircle() const;
    // Eye-space x and y of the selected location under the current rotation.
    void ProjectSelection(double& x, double& y) const;

    bool IsLand(double lon, double lat) const;
    // The land cell under client point (x, y) of a window of the given size; on land the
    // selection snaps to the cell centre. Nothing on sea, off the globe or at a pole.
    std::optional<PickedCell> SelectAt(double x, double y, int width, int height);
    // The signed location under client point (x, y), when the point lies on the globe's
    // disc and off the poles.
    std::optional<GlobePoint> PointAt(double x, double y, int width, int height) const;

    TimerRequest FlyTo(double lon, double lat);
    TimerRequest ShowSelectedLocation() { return FlyTo(m_longitude, m_latitude); }
    TimerRequest ZoomTo(double halfExtent);
    TimerRequest ZoomIn();
    TimerRequest ZoomOut();
    bool CanZoomIn() const { return m_zoomTarget > 0.25; }
    bool CanZoomOut() const { return m_zoomTarget < 1.0; }
    bool ZoomRunning() const { return m_zoomStart != m_zoomTarget; }
    // One step of the animation timer. The window repaints after every tick.
    TickResult Tick();

    void Press(int x, int y);
    MoveResult Move(int x, int y, int width, int height);
    ReleaseResult Release(int x, int y, int width, int height);
    TimerRequest Wheel(int delta);

    CGlobeData* m_pData = nullptr;
    double m_longitude = 0;
    double m_latitude = 0;
    double m_spin = 0;
    double m_tilt = 0;
    float m_spinSpeed = 0;
    float m_tiltSpeed = 0;
    float m_zoom = kWholeGlobe;
    double m_zoomTarget = kWholeGlobe;
    double m_zoomStart = kWholeGlobe;
    float m_aspect = 1;
    double m_targetLon = 0;
    double m_targetLat = 0;
    double m_startLon = 0;
    double m_startLat = 0;
    double m_travel = 0;
    bool m_dragging = false;
    ClientPoint m_pressPoint;
};

} // namespace skyfetch
