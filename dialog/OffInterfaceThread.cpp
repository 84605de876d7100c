#include "dialog/OffInterfaceThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <future>
#include <system_error>

namespace skyfetch {

bool RunOffInterfaceThread(const std::function<bool()>& request) {
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread())
        return request();

    QEventLoop loop;
    // Ends the loop however request ends. Posted rather than called, so that an answer
    // that comes before the loop runs still reaches it.
    struct QuitWhenDone {
        QEventLoop& loop;
        ~QuitWhenDone() {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
    };
    std::future<bool> answer;
    try {
        answer = std::async(std::launch::async, [&request, &loop] {
            const QuitWhenDone quit{loop};
            return request();
        });
    } catch (const std::system_error&) {
        return request(); // no thread to be had: wait here, as a plain call would
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return answer.get();
}

} // namespace skyfetch
