#include "rules/LocationRules.h"

#include "rules/NumberText.h"

#include <cmath>

namespace skyfetch {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Texts that are on their way to becoming a number.
bool is_unfinished_number(const std::string& text) {
    return text == "-" || text == "+" || text == "." || text == "-." || text == "+.";
}

std::string without_blanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

} // namespace

double AxisLimit(Axis axis) {
    return axis == Axis::Longitude ? 180.0 : 90.0;
}

const char* RangeMessage(Axis axis) {
    return axis == Axis::Longitude ? kLongitudeRangeMessage : kLatitudeRangeMessage;
}

RangeCheck CheckCoordinate(Axis axis, double value, int flag) {
    const double limit = AxisLimit(axis);
    RangeCheck check;
    check.value = value;
    check.flag = flag;
    if (value < -limit || value > limit || std::isnan(value)) {
        check.value = value < -limit ? -limit : limit;
        check.outOfRange = true;
        check.textChanged = true;
        check.text = FormatG(check.value);
        check.focusEdit = true;
        return check;
    }
    if (value >= 0.0)
        return check;
    check.value = -value;
    check.flag = 1;
    check.textChanged = true;
    check.text = FormatG(check.value);
    check.caretToEnd = true;
    return check;
}

CellCorner UpdateCellCorner(double lonValue, int westFlag, double latValue, int southFlag) {
    double lon = (westFlag == 1 && lonValue > 0.0) ? -lonValue : lonValue;
    double lat = (southFlag == 1 && latValue > 0.0) ? -latValue : latValue;
    // The small addition keeps values a rounding error below a cell edge in the cell
    // above the edge, where the user meant them.
    lon = std::trunc((lon + 180.0) * 2.0 + 0.000001) * 0.5 - 180.0;
    lat = std::trunc((lat + 90.0) * 2.0 + 0.000001) * 0.5 - 90.0;
    // 180 E is the meridian of 180 W: its cell is the first one east of it. The pole has
    // no cell north of it: it belongs to the last one below.
    if (lon >= 180.0)
        lon -= 360.0;
    if (lat >= 90.0)
        lat = 89.5;
    return {lon, lat};
}

Magnitude SplitSigned(double signedValue) {
    if (signedValue < 0.0)
        return {-signedValue, 1};
    return {signedValue + 0.0, 0};
}

std::string NotFoundMessage(double lonValue, int westFlag, double latValue, int southFlag) {
    return "(" + FormatG(lonValue) + "\u00B0" + (westFlag ? "W" : "E") + ", " + FormatG(latValue) +
           "\u00B0" + (southFlag ? "S" : "N") + ") not land or not found in climate database";
}

TypedLocation LocationTextChanged(Axis axis, const std::string& previousText,
                                  const std::string& typedText, double value, int flag) {
    TypedLocation result;
    result.value = value;
    result.flag = flag;
    std::string previous = previousText;
    std::string current = typedText;
    // Every replacement of the text is handled again as a change, as the edit would
    // report it; the chain settles within a few rounds (a bad text is replaced by the
    // previous one, an out-of-range value by the bound, a negative by its magnitude).
    for (int round = 0; round < 8; ++round) {
        std::string text = without_blanks(current);
        if (text.empty()) {
            text = "0";
            result.caret = CaretPlacement::AfterFirst;
        } else if (text.size() == 2 &&
                   ((text[0] == '0' && is_digit(text[1])) || text[1] == '-' || text[1] == '+')) {
            text.erase(0, 1);
            result.caret = CaretPlacement::AfterFirst;
        }
        double parsed = 0.0;
        if (ParseDecimal(text, parsed)) {
            result.value = parsed + 0.0; // no negative zero
        } else if (!is_unfinished_number(text)) {
            text = previous;
            result.caret = CaretPlacement::AtEnd;
        }
        const RangeCheck check = CheckCoordinate(axis, result.value, result.flag);
        result.value = check.value;
        result.flag = check.flag;
        if (check.outOfRange) {
            result.rangeMessage = true;
            result.focusEdit = true;
        }
        if (check.textChanged) {
            text = check.text;
            if (check.caretToEnd)
                result.caret = CaretPlacement::AtEnd;
        }
        if (text == current)
            break;
        previous = current;
        current = text;
    }
    if (result.value < 0.0) {
        result.value = -result.value;
        result.flag = 1;
    }
    result.text = current;
    result.textChanged = current != typedText;
    return result;
}

std::string SpunLocationText(double value) {
    return FormatG(value);
}

double SpinStep(Axis axis, double value, int delta) {
    const bool lon = axis == Axis::Longitude;
    const double offset = lon ? 360.0 : 180.0;
    const double top = lon ? 179.75 : 89.75;
    double c = std::trunc(value * 2.0 + offset) * 0.5 - top;
    if (delta == 30)
        c = c < top - 29.75 ? c + 30.0 : top;
    else if (delta == 10)
        c = c < top - 9.75 ? c + 10.0 : top;
    else if (delta > 0)
        c = c < top - 0.25 ? c + 0.5 : c;
    if (delta == -30)
        c = c > 30.0 ? c - 30.0 : 0.25;
    else if (delta == -10)
        c = c > 10.0 ? c - 10.0 : 0.25;
    else if (delta < 0)
        c = c > 0.5 ? c - 0.5 : c;
    return c;
}

GlobeLocation ArrowStep(double lon, double lat, ArrowKey key) {
    // 0.24999 rather than 0.25, so that a cell centre maps to its own cell.
    int column = static_cast<int>(std::floor((lon - 0.24999 + 180.0) * 2.0));
    int row = static_cast<int>(std::floor((lat - 0.24999 + 90.0) * 2.0));
    switch (key) {
    case ArrowKey::Up:
        ++row;
        break;
    case ArrowKey::Down:
        --row;
        break;
    case ArrowKey::Left:
        --column;
        break;
    case ArrowKey::Right:
        ++column;
        break;
    }
    GlobeLocation next{lon, lat};
    if (key == ArrowKey::Left || key == ArrowKey::Right) {
        next.lon = column * 0.5 + 0.25 - 180.0;
        if (next.lon > 180.0)
            next.lon -= 360.0;
        else if (next.lon < -180.0)
            next.lon += 360.0;
    } else {
        next.lat = row * 0.5 + 0.25 - 90.0;
        if (next.lat > 90.0)
            next.lat = 89.75;
        else if (next.lat < -90.0)
            next.lat = -89.75;
    }
    return next;
}

} // namespace skyfetch
