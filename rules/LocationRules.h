#pragma once

#include <string>

namespace skyfetch {

// The location is held as two non-negative magnitudes, each with a hemisphere flag
// (1 = west or south). These rules correct, step and read it; the dialog applies the
// results to its members and controls.

enum class Axis { Longitude, Latitude };

inline constexpr const char* kLongitudeRangeMessage =
    "Longitude must be in the range -180 to 180 degrees ";
inline constexpr const char* kLatitudeRangeMessage =
    "Latitude must be in the range -90 to 90 degrees";

// 180 for longitude, 90 for latitude.
double AxisLimit(Axis axis);
// The range message of the axis.
const char* RangeMessage(Axis axis);

// Result of a range check of one magnitude and its flag.
struct RangeCheck {
    double value = 0.0;
    int flag = 0;
    bool outOfRange = false;  // the range message is due (when reporting)
    bool textChanged = false; // the edit shows text instead of what the user typed
    std::string text;
    bool focusEdit = false;  // out of range: the focus goes to the edit
    bool caretToEnd = false; // a negative value turned into its magnitude
};

// Below -limit: -limit (the flag is left; a later pass turns the negative value into
// the magnitude with the flag set). Above limit: limit. A negative value in range
// becomes its magnitude with the flag set: a minus always means west (south), never a
// flip of the chosen hemisphere. A value that is not a number counts as above range.
RangeCheck CheckCoordinate(Axis axis, double value, int flag);
inline RangeCheck CheckLongitude(double value, int westFlag) {
    return CheckCoordinate(Axis::Longitude, value, westFlag);
}
inline RangeCheck CheckLatitude(double value, int southFlag) {
    return CheckCoordinate(Axis::Latitude, value, southFlag);
}

// The signed south-west corner of the 0.5-degree cell holding the location. A value
// on a cell edge (or less than 0.0000005 degrees below it) belongs to the cell to its
// east (north); 0 with the west flag is the cell east of the meridian, 180 E the cell of
// 180 W (east of the same meridian), and 90 N the cell below the pole.
struct CellCorner {
    double lon = 0.0;
    double lat = 0.0;
};
CellCorner UpdateCellCorner(double lonValue, int westFlag, double latValue, int southFlag);

// A signed coordinate as magnitude and hemisphere flag (-20 -> 20 with flag 1).
struct Magnitude {
    double value = 0.0;
    int flag = 0;
};
Magnitude SplitSigned(double signedValue);

// "(0.5°W, 2°N) not land or not found in climate database" for the magnitudes as typed.
std::string NotFoundMessage(double lonValue, int westFlag, double latValue, int southFlag);

// Where the caret goes after the edit's text was replaced.
enum class CaretPlacement { Unchanged, AfterFirst, AtEnd };

// The end state of the location edit after the user changed its text.
struct TypedLocation {
    std::string text;   // what the edit shows
    double value = 0.0; // the magnitude
    int flag = 0;
    bool textChanged = false; // text differs from what the user typed
    CaretPlacement caret = CaretPlacement::Unchanged;
    bool focusEdit = false;
    bool rangeMessage = false; // show RangeMessage(axis) once
};

// Applies the typing rules to a changed location text: blanks are removed; an emptied
// field reads "0" with the caret after it; a two-character text "0d", "x-" or "x+"
// loses its first character (so the 0 of an emptied field is replaced by what is
// typed next); a whole decimal number is taken (then range checked, a negative one
// meaning west or south); an unfinished "-", "+", ".", "-." or "+." is kept with the
// value unchanged; anything else (letters, "nan", "inf") brings back previousText.
// value and flag are the members before the change. The result is the state the
// dialog's nested updates end in; the range message is due at most once.
TypedLocation LocationTextChanged(Axis axis, const std::string& previousText,
                                  const std::string& typedText, double value, int flag);

// The text a spin step puts into the edit in place of the spin's integer position.
std::string SpunLocationText(double value);

// One spin step of a magnitude (delta +-1, +-10, +-30): the value first moves to the
// centre of its 0.5-degree cell, then steps by 0.5 or jumps by 10 or 30 degrees, never
// past the outermost cell centre and never across the equator or the prime meridian.
double SpinStep(Axis axis, double value, int delta);

// The arrow keys on the globe step the signed selection by one cell: left and right
// wrap at the date line, up and down stop at the last rows.
enum class ArrowKey { Up, Down, Left, Right };
struct GlobeLocation {
    double lon = 0.0;
    double lat = 0.0;
};
GlobeLocation ArrowStep(double lon, double lat, ArrowKey key);

} // namespace skyfetch
