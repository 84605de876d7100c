// render_icon SVG SIZE PNG           draws an SVG file onto a transparent square image of
//                                    SIZE pixels and saves it as PNG
// render_icon --ico SVG ICO SIZE...  writes a Windows icon file holding one such image
//                                    per size, each stored as PNG
// The build makes the icon's fixed-size images with it, so the SVG in the repository stays
// their only source. The icon has no text, so no application object (and no display or
// fonts) is needed.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A size argument, or 0 with a message.
int ParseSize(const char* text) {
    char* end = nullptr;
    const long size = std::strtol(text, &end, 10);
    if (*end != '\0' || size < 16 || size > 1024) {
        std::fprintf(stderr, "render_icon: SIZE must be 16 to 1024, not \"%s\"\n", text);
        return 0;
    }
    return static_cast<int>(size);
}

QImage Render(QSvgRenderer& renderer, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    return image;
}

void Put16(QByteArray& out, unsigned value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void Put32(QByteArray& out, std::uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

// The icon file: a directory of the images (little-endian; a width or height of 256 is
// written as 0), then the PNG data of each. Windows reads PNG images in icons since
// Vista.
QByteArray IconFile(const std::vector<std::pair<int, QByteArray>>& images) {
    QByteArray out;
    Put16(out, 0); // reserved
    Put16(out, 1); // an icon, not a cursor
    Put16(out, unsigned(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (const auto& [size, png] : images) {
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(size >= 256 ? 0 : size));
        out.append(char(0)); // no palette
        out.append(char(0));
        Put16(out, 1);  // colour planes
        Put16(out, 32); // bits per pixel
        Put32(out, std::uint32_t(png.size()));
        Put32(out, offset);
        offset += std::uint32_t(png.size());
    }
    for (const auto& image : images)
        out.append(image.second);
    return out;
}

int WriteIcon(QSvgRenderer& renderer, const char* path, int count, char* sizes[]) {
    std::vector<std::pair<int, QByteArray>> images;
    for (int i = 0; i < count; ++i) {
        const int size = ParseSize(sizes[i]);
        if (size == 0)
            return 2;
        if (size > 256) {
            std::fprintf(stderr, "render_icon: an icon image is at most 256 pixels\n");
            return 2;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!Render(renderer, size).save(&buffer, "PNG")) {
            std::fprintf(stderr, "render_icon: cannot encode the %d pixel image\n", size);
            return 1;
        }
        images.emplace_back(size, png);
    }
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray icon = IconFile(images);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(icon) != icon.size() ||
        !file.flush()) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool ico = argc >= 5 && QByteArray(argv[1]) == "--ico";
    if (!ico && argc != 4) {
        std::fprintf(stderr, "usage: render_icon SVG SIZE PNG\n"
                             "       render_icon --ico SVG ICO SIZE...\n");
        return 2;
    }
    const char* svg = ico ? argv[2] : argv[1];
    QSvgRenderer renderer(QString::fromLocal8Bit(svg));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read the SVG file %s\n", svg);
        return 1;
    }
    if (ico)
        return WriteIcon(renderer, argv[3], argc - 4, argv + 4);

    const int pixels = ParseSize(argv[2]);
    if (pixels == 0)
        return 2;
    if (!Render(renderer, pixels).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
