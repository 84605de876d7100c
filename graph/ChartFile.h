#pragma once

#include <string>

namespace skyfetch {

// The picture formats "Save chart as..." writes, chosen by the file's extension.
enum class ChartFormat { None, Svg, Png, Pdf };

// The format the name's extension asks for (".svg", ".png" or ".pdf", in any case), or
// None.
ChartFormat ChartFormatOf(const std::string& path);

// The name a chart is saved under: path itself when its extension names a format, else
// path with ".svg" added (the vector form, which loses nothing).
std::string ChartFileName(const std::string& path);

// The chart as a bitmap is drawn at a whole number of pixels per drawing unit, so that
// a worksheet shows it sharply at the drawing's size: a saved PNG at kSavedPictureScale,
// the clipboard's at the screen's device pixel ratio rounded up, and at least 2.
inline constexpr int kSavedPictureScale = 4;
int ClipboardPictureScale(double devicePixelRatio);

// The resolution a bitmap drawn at scale declares (the PNG's pHYs), in dots per metre:
// scale times the 96 dots per inch of the drawing's own units, so that programs that
// honour it place the picture at the drawing's size.
int PictureDotsPerMeter(int scale);

} // namespace skyfetch
