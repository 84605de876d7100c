#include "globe/GlobeView.h"

#include "globe/GlobeData.h"
#include "globe/GlobeHost.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWheelEvent>

#include <GL/gl.h>
#include <GL/glu.h>

namespace skyfetch {
namespace {

constexpr GLuint kGlobeList = 1;

// An arrow pointing up, turned by the given angle, with its hot spot at the centre.
QCursor arrow_cursor(qreal angle) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(16, 16);
    painter.rotate(angle);
    QPainterPath arrow;
    arrow.moveTo(0, -13);
    arrow.lineTo(9, -3);
    arrow.lineTo(3, -3);
    arrow.lineTo(3, 12);
    arrow.lineTo(-3, 12);
    arrow.lineTo(-3, -3);
    arrow.lineTo(-9, -3);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    painter.end();
    return QCursor(pixmap, 16, 16);
}

} // namespace

CGlobeView::CGlobeView(QWidget* parent)
    : QOpenGLWidget(parent), m_cursorGrab(Qt::ClosedHandCursor) {
    setFocusPolicy(Qt::StrongFocus);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CGlobeView::OnTimer);
}

CGlobeView::~CGlobeView() {
    // The context outlives this part of the object; it must not call back into it.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    if (m_setUp && context() && context()->isValid()) {
        makeCurrent();
        Teardown();
        doneCurrent();
    }
}

void CGlobeView::initializeGL() {
    // The context goes before the widget when the widget moves to another window; the
    // globe is then set up again on the next paint.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CGlobeView::OnContextDestroyed);
}

void CGlobeView::OnContextDestroyed() {
    makeCurrent();
    Teardown();
    doneCurrent();
}

bool CGlobeView::InitGL() {
    const QOpenGLContext* ctx = context();
    if (!ctx || !ctx->isValid() || ctx->isOpenGLES())
        return false;
    // The drawing is fixed-function OpenGL; a core profile cannot show it.
    const QSurfaceFormat format = ctx->format();
    if (format.profile() == QSurfaceFormat::CoreProfile && format.version() >= qMakePair(3, 2))
        return false;
    m_quadric = gluNewQuadric();
    if (!m_quadric)
        return false;

    glPolygonMode(GL_FRONT, GL_FILL);
    glPolygonMode(GL_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);

    ResetView();
    m_texture.Free();
    if (m_pData && m_pData->Prepare()) {
        m_texture.CopyFromBuffer(m_pData->GetTextureBuffer(), CGlobeData::kTextureSize,
                                 CGlobeData::kTextureSize, 24);
        // The map is stored blue, green, red.
        m_texture.SwapRedBlue();
    }

    SetClientSize(width(), height());
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, qRound(width() * ratio), qRound(height() * ratio));
    SetProjection();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    BuildGlobeList();
    m_setUp = true;
    return true;
}

void CGlobeView::SetProjection() {
    const ProjectionBox box = Projection();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CGlobeView::BuildGlobeList() {
    // The image goes into a texture object once; the list binds it on every replay.
    const bool hasImage = m_texture.IsValid();
    if (hasImage) {
        glGenTextures(1, &m_textureObject);
        glBindTexture(GL_TEXTURE_2D, m_textureObject);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4); // rows are padded to 4 bytes
        glTexImage2D(GL_TEXTURE_2D, 0, 3, m_texture.GetWidth(), m_texture.GetHeight(), 0, GL_RGB,
                     GL_UNSIGNED_BYTE, m_texture.GetData());
    }
    glNewList(kGlobeList, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, m_textureObject);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    gluQuadricTexture(m_quadric, GL_TRUE);
    glColor3d(1, 1, 1);
    // GLU's texture coordinates put texture column s at longitude -180 + 360 s and row t
    // at latitude -90 + 180 t, matching SphereToModel.
    gluSphere(m_quadric, 1.0, 60, 60);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEndList();
}

void CGlobeView::resizeGL(int, int) {
    if (!m_setUp)
        return;
    SetClientSize(width(), height());
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, qRound(width() * ratio), qRound(height() * ratio));
    // A resize always returns to the whole globe.
    ResetZoom();
    SetProjection();
}

void CGlobeView::paintGL() {
    bool didSetUp = false;
    if (!m_setUp) {
        if (!InitGL()) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            return;
        }
        didSetUp = true;
    }
    // The view turns to the selection in this very frame; asking for another paint as
    // well would draw the first frame twice.
    if (didSetUp)
        Apply(GlobeViewState::ShowSelectedLocation());
    RenderScene();
    if (hasFocus())
        DrawFocusFrame();
}

void CGlobeView::DrawFocusFrame() {
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(width() * ratio);
    const int h = qRound(height() * ratio);
    const FocusFrame f = FocusFrameFor(w, h, ratio);
    const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3ub(GLubyte(colour.red()), GLubyte(colour.green()), GLubyte(colour.blue()));
    const auto bar = [](int left, int bottom, int right, int top) {
        glVertex2i(left, bottom);
        glVertex2i(right, bottom);
        glVertex2i(right, top);
        glVertex2i(left, top);
    };
    const int t = f.thickness;
    glBegin(GL_QUADS);
    bar(f.left, f.bottom, f.right, f.bottom + t);
    bar(f.left, f.top - t, f.right, f.top);
    bar(f.left, f.bottom + t, f.left + t, f.top - t);
    bar(f.right - t, f.bottom + t, f.right, f.top - t);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void CGlobeView::focusInEvent(QFocusEvent* event) {
    QOpenGLWidget::focusInEvent(event);
    update(); // the focus frame
}

void CGlobeView::focusOutEvent(QFocusEvent* event) {
    QOpenGLWidget::focusOutEvent(event);
    update();
}

void CGlobeView::RenderScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    // The zoom moves on the timer; the projection follows it here, where a context is
    // current.
    SetProjection();
    glPushMatrix();
    glLoadIdentity();
    glRotated(m_tilt - 90, 1, 0, 0);
    glRotated(m_spin, 0, 0, 1);
    glCallList(kGlobeList);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    DrawLocationMarker();
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

void CGlobeView::DrawLocationMarker() {
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    for (const Vertex& v : MarkerSquare())
        glVertex3d(v.x, v.y, v.z);
    glEnd();
    // The circle is drawn in eye space in front of the globe, so it shows the selection
    // even on the far side.
    glLoadIdentity();
    glBegin(GL_LINE_LOOP);
    for (const Vertex& v : MarkerCircle())
        glVertex3d(v.x, v.y, v.z);
    glEnd();
}

void CGlobeView::Teardown() {
    if (m_quadric) {
        gluDeleteQuadric(m_quadric);
        m_quadric = nullptr;
    }
    if (m_setUp)
        glDeleteLists(kGlobeList, 1);
    if (m_textureObject) {
        glDeleteTextures(1, &m_textureObject);
        m_textureObject = 0;
    }
    m_setUp = false;
}

void CGlobeView::ShowSelectedLocation() {
    Apply(GlobeViewState::ShowSelectedLocation());
    update();
}

void CGlobeView::ZoomIn() {
    Apply(GlobeViewState::ZoomIn());
}

void CGlobeView::ZoomOut() {
    Apply(GlobeViewState::ZoomOut());
}

void CGlobeView::StopAnimation() {
    m_timer.stop();
}

bool CGlobeView::OnCommand(int command) {
    switch (command) {
    case ID_GLOBE_ZOOM_IN:
        ZoomIn();
        return true;
    case ID_GLOBE_ZOOM_OUT:
        ZoomOut();
        return true;
    case ID_GLOBE_SHOW_SELECTED:
        ShowSelectedLocation();
        return true;
    default:
        return false;
    }
}

namespace {
constexpr int kFreeSpinPeriodMs = 15;
} // namespace

void CGlobeView::Apply(TimerRequest request) {
    switch (request) {
    case TimerRequest::None:
        break;
    case TimerRequest::Stop:
        m_timer.stop();
        break;
    case TimerRequest::Start1ms:
        // The free spin asks for a 1 ms period, but its speeds (degrees per tick) were
        // tuned on desktops whose window timers fire no faster than about every 15 ms.
        // A true 1 ms timer would turn the globe fifteen times too fast and stop its
        // inertia within a fifth of a second, so the spin ticks at that coarser rate.
        m_timer.start(kFreeSpinPeriodMs);
        break;
    case TimerRequest::Start20ms:
        m_timer.start(20);
        break;
    }
}

void CGlobeView::OnTimer() {
    const TickResult result = Tick();
    if (result.stopTimer)
        m_timer.stop();
    update();
}

void CGlobeView::ShowCursor(DragCursor cursor) {
    switch (cursor) {
    case DragCursor::None:
        break;
    case DragCursor::Grab:
        setCursor(m_cursorGrab);
        break;
    case DragCursor::Down:
    case DragCursor::Up:
    case DragCursor::Left:
    case DragCursor::Right: {
        const int index = static_cast<int>(cursor) - static_cast<int>(DragCursor::Down);
        static const qreal kAngles[4] = {180, 0, 270, 90};
        if (!m_dragArrows[index])
            m_dragArrows[index] = arrow_cursor(kAngles[index]);
        setCursor(*m_dragArrows[index]);
        break;
    }
    }
}

void CGlobeView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // A running fly-to or zoom goes on.
        Press(p.x(), p.y());
        ShowCursor(DragCursor::Grab);
    } else if (event->button() == Qt::RightButton) {
        ShowContextMenu(p);
    }
}

void CGlobeView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const MoveResult result = Move(p.x(), p.y(), width(), height());
    if (!result.acted)
        return;
    ShowCursor(result.cursor);
    Apply(result.timer);
}

void CGlobeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const ReleaseResult result = Release(p.x(), p.y(), width(), height());
    if (result.picked) {
        if (m_host)
            m_host->ApplyPickedLocation(result.picked->lon, result.picked->lat);
        Apply(GlobeViewState::FlyTo(m_longitude, m_latitude));
    } else if (result.missedLand && m_host) {
        const QPoint at = mapToGlobal(p);
        m_host->ShowNotLandAt(at.x(), at.y());
    }
    unsetCursor();
    if (result.withoutMovement) {
        // So that the arrow keys reach the globe.
        if (m_host)
            m_host->FocusGlobe();
        update();
    }
}

void CGlobeView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the pair has already selected, on its release.
    if (event->button() == Qt::LeftButton)
        ZoomIn();
}

void CGlobeView::wheelEvent(QWheelEvent* event) {
    Apply(Wheel(event->angleDelta().y()));
    QOpenGLWidget::wheelEvent(event);
}

void CGlobeView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_host)
            m_host->OnGlobeArrowKey(event->key());
        event->accept();
        return;
    default:
        QOpenGLWidget::keyPressEvent(event);
    }
}

void CGlobeView::contextMenuEvent(QContextMenuEvent* event) {
    // The menu opens on the right button press already.
    event->accept();
}

void CGlobeView::ShowContextMenu(const QPoint& point) {
    QMenu menu(this);
    QAction* zoomIn = menu.addAction(tr("Zoom in"));
    zoomIn->setData(ID_GLOBE_ZOOM_IN);
    zoomIn->setEnabled(CanZoomIn());
    QAction* zoomOut = menu.addAction(tr("Zoom out"));
    zoomOut->setData(ID_GLOBE_ZOOM_OUT);
    zoomOut->setEnabled(CanZoomOut());
    QAction* show = menu.addAction(tr("Show selected location"));
    show->setData(ID_GLOBE_SHOW_SELECTED);
    if (QAction* chosen = menu.exec(mapToGlobal(point)))
        OnCommand(chosen->data().toInt());
}

} // namespace skyfetch
