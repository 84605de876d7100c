// window_screenshot_check PNG X Y WIDTH HEIGHT
//
// Says whether the rectangle of a screenshot where the globe should be shows a textured
// globe rather than a blank, black or flat picture: many distinct colours, and a good part
// of its pixels clearly coloured (the globe's oceans and lands; the space around it is
// black). Prints the figures; exit status 0 when both hold, 1 when not, 2 on bad input.
#include <QImage>
#include <QSet>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: window_screenshot_check PNG X Y WIDTH HEIGHT\n");
        return 2;
    }
    const QImage shot(QString::fromLocal8Bit(argv[1]));
    if (shot.isNull()) {
        std::fprintf(stderr, "window_screenshot_check: cannot read %s\n", argv[1]);
        return 2;
    }
    const QRect area =
        QRect(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]))
            .intersected(shot.rect());
    if (area.width() < 16 || area.height() < 16) {
        std::fprintf(stderr,
                     "window_screenshot_check: the globe's area lies outside the picture\n");
        return 2;
    }
    const QImage globe = shot.copy(area).convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    long coloured = 0;
    for (int y = 0; y < globe.height(); ++y)
        for (int x = 0; x < globe.width(); ++x) {
            const QRgb p = globe.pixel(x, y);
            colours.insert(p);
            const int hi = std::max({qRed(p), qGreen(p), qBlue(p)});
            const int lo = std::min({qRed(p), qGreen(p), qBlue(p)});
            coloured += hi - lo >= 24; // not black, white or grey
        }
    const double share = 100.0 * double(coloured) / double(globe.width() * globe.height());
    // A globe of this size shows thousands of colours and fills a third or more of its square.
    const bool textured = colours.size() >= 200 && share >= 15.0;
    std::printf("globe area %dx%d: %lld distinct colours, %.1f %% coloured: %s\n", area.width(),
                area.height(), static_cast<long long>(colours.size()), share,
                textured ? "a textured globe" : "no textured globe");
    return textured ? 0 : 1;
}
