// Reads one format from the system clipboard, as another program would, and writes its
// bytes to standard output. Usage: graph_clipboard_probe <mime type>. Exit status 0 when
// the clipboard offered the format, 2 when not (the offered formats go to stderr).
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <mime type>\n", argv[0]);
        return 1;
    }
    const QString format = QString::fromLocal8Bit(argv[1]);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasFormat(format)) {
        if (data != nullptr)
            std::fprintf(stderr, "offered: %s\n", qPrintable(data->formats().join(' ')));
        return 2;
    }
    const QByteArray bytes = data->data(format);
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    return 0;
}
