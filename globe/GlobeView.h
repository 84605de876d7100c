#pragma once

#include "globe/GlobeViewState.h"
#include "globe/Texture.h"

#include <QCursor>
#include <QOpenGLWidget>
#include <QTimer>

#include <optional>

struct GLUquadric;

namespace skyfetch {

class CGlobeData;
class GlobeHost;

// The Earth as a textured sphere drawn with fixed-function OpenGL: drag to spin it with
// inertia, click a land cell to select it, zoom with the wheel, a double-click or the
// context menu. The view arithmetic lives in GlobeViewState; this class turns events
// into its calls and draws its results.
//
// The host (the main dialog) sets the data, the selected location (m_longitude,
// m_latitude) and itself as host before the first paint.
class CGlobeView : public QOpenGLWidget, public GlobeViewState {
    Q_OBJECT

public:
    // Commands of the context menu.
    enum Command {
        ID_GLOBE_ZOOM_IN = 5007,
        ID_GLOBE_ZOOM_OUT = 5008,
        ID_GLOBE_SHOW_SELECTED = 5009,
    };

    explicit CGlobeView(QWidget* parent = nullptr);
    ~CGlobeView() override;

    void SetData(CGlobeData* data) { m_pData = data; }
    void SetHost(GlobeHost* host) { m_host = host; }

    // Turns the globe to the selected location (m_longitude, m_latitude).
    void ShowSelectedLocation();
    void ZoomIn();
    void ZoomOut();
    // Stops the animation timer; the view stays where it is.
    void StopAnimation();
    // Runs a command of the context menu; true when it was one of them.
    bool OnCommand(int command);

    // Whether OpenGL has been set up (it never is when no context can be made).
    bool IsSetUp() const { return m_setUp; }
    bool AnimationActive() const { return m_timer.isActive(); }
    int AnimationInterval() const { return m_timer.interval(); }
    const CTexture& GetTexture() const { return m_texture; }

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool InitGL();
    void SetProjection();
    void BuildGlobeList();
    void RenderScene();
    void DrawLocationMarker();
    // A frame just inside the border while the globe has the keyboard focus.
    void DrawFocusFrame();
    void Teardown();
    void ShowContextMenu(const QPoint& point);
    void Apply(TimerRequest request);
    void OnTimer();
    void OnContextDestroyed();
    void ShowCursor(DragCursor cursor);

    GlobeHost* m_host = nullptr;
    CTexture m_texture;
    GLUquadric* m_quadric = nullptr;
    unsigned m_textureObject = 0;
    bool m_setUp = false;
    QTimer m_timer;
    QCursor m_cursorGrab;
    // Down, up, left, right; drawn the first time a drag needs one, since painting them
    // while the window is being built would hold up its first frame.
    std::optional<QCursor> m_dragArrows[4];
};

} // namespace skyfetch
