// The yardstick for the window's start: a bare Qt dialog holding one OpenGL widget with
// the globe's surface format, which quits after its first frame reached the screen.
#include "globe/GlobeSurfaceFormat.h"

#include <QApplication>
#include <QDialog>
#include <QOpenGLWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <cstdio>

#include <GL/gl.h>

namespace {

class ClearingView : public QOpenGLWidget {
protected:
    void paintGL() override {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    skyfetch::configure_globe_surface_format();
    QApplication application(argc, argv);
    QDialog dialog;
    auto* view = new ClearingView;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    dialog.resize(640, 420);
    auto* once = new QObject(&dialog);
    QObject::connect(view, &QOpenGLWidget::frameSwapped, once, [&dialog, once] {
        std::printf("first frame %lld\n",
                    static_cast<long long>(
                        std::chrono::steady_clock::now().time_since_epoch().count()));
        std::fflush(stdout);
        delete once;
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(0); });
    });
    dialog.exec();
    return 0;
}
