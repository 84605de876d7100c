#include "rules/LocationRules.h"
#include "rules/NumberText.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace skyfetch {
namespace {

TEST(CheckCoordinate, RangeAndHemisphere) {
    struct Case {
        Axis axis;
        double value;
        int flag;
        double expected;
        int expectedFlag;
        bool outOfRange;
        const char* text; // "" when the edit keeps its text
    };
    const Case cases[] = {
        {Axis::Longitude, 20, 0, 20, 0, false, ""},
        {Axis::Longitude, -20, 0, 20, 1, false, "20"}, // minus means west
        {Axis::Longitude, -20, 1, 20, 1, false, "20"}, // never a flip back east
        {Axis::Longitude, 180, 0, 180, 0, false, ""},  // bounds are inclusive
        {Axis::Longitude, -180, 0, 180, 1, false, "180"},
        {Axis::Longitude, 180.25, 0, 180, 0, true, "180"},
        {Axis::Longitude, 180.25, 1, 180, 1, true, "180"}, // hemisphere unchanged
        {Axis::Longitude, -200, 0, -180, 0, true, "-180"},
        {Axis::Longitude, 0, 1, 0, 1, false, ""},
        {Axis::Latitude, 90, 1, 90, 1, false, ""},
        {Axis::Latitude, -90, 0, 90, 1, false, "90"},
        {Axis::Latitude, 90.5, 0, 90, 0, true, "90"},
        {Axis::Latitude, -95, 0, -90, 0, true, "-90"},
        {Axis::Latitude, -42.75, 0, 42.75, 1, false, "42.75"},
    };
    for (const Case& c : cases) {
        const RangeCheck check = CheckCoordinate(c.axis, c.value, c.flag);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(check.value, c.expected);
        EXPECT_EQ(check.flag, c.expectedFlag);
        EXPECT_EQ(check.outOfRange, c.outOfRange);
        EXPECT_EQ(check.focusEdit, c.outOfRange);
        EXPECT_EQ(check.textChanged, c.text[0] != '\0');
        if (check.textChanged) {
            EXPECT_EQ(check.text, c.text);
        }
    }
    EXPECT_TRUE(CheckLongitude(std::nan(""), 0).outOfRange);
    EXPECT_TRUE(CheckLatitude(std::numeric_limits<double>::infinity(), 0).outOfRange);
    EXPECT_STREQ(RangeMessage(Axis::Longitude),
                 "Longitude must be in the range -180 to 180 degrees ");
    EXPECT_STREQ(RangeMessage(Axis::Latitude), "Latitude must be in the range -90 to 90 degrees");
}

TEST(UpdateCellCorner, SouthWestCornerOfTheCell) {
    struct Case {
        double lon;
        int west;
        double lat;
        int south;
        double cornerLon, cornerLat;
    };
    const Case cases[] = {
        {147.25, 0, 42.75, 1, 147.0, -43.0},
        {0, 1, 0, 1, 0.0, 0.0},               // 0 is never negated: east of the meridian
        {146.9999999, 0, 10, 0, 147.0, 10.0}, // just below an edge counts as above it
        {146.999, 0, 10.2, 0, 146.5, 10.0},
        {13.25, 0, 55.75, 0, 13.0, 55.5},
        {0.5, 1, 2, 0, -0.5, 2.0},
        {0.25, 1, 0.25, 1, -0.5, -0.5},
        {180, 0, 90, 0, -180.0, 89.5},        // 180 E is 180 W; the pole's cell is below it
        {179.9999999, 0, 89.9999999, 0, -180.0, 89.5},
        {180, 1, 90, 1, -180.0, -90.0},
        {179.75, 1, 89.75, 1, -180.0, -90.0},
    };
    for (const Case& c : cases) {
        const CellCorner corner = UpdateCellCorner(c.lon, c.west, c.lat, c.south);
        EXPECT_DOUBLE_EQ(corner.lon, c.cornerLon) << c.lon << (c.west ? "W" : "E");
        EXPECT_DOUBLE_EQ(corner.lat, c.cornerLat) << c.lat << (c.south ? "S" : "N");
    }
}

TEST(LocationMessages, SignedValuesAndNotFound) {
    EXPECT_EQ(SplitSigned(-0.5).value, 0.5);
    EXPECT_EQ(SplitSigned(-0.5).flag, 1);
    EXPECT_EQ(SplitSigned(13.25).flag, 0);
    EXPECT_FALSE(std::signbit(SplitSigned(-0.0).value));
    EXPECT_EQ(NotFoundMessage(0.5, 1, 2, 0),
              "(0.5\u00B0W, 2\u00B0N) not land or not found in climate database");
    EXPECT_EQ(NotFoundMessage(147.25, 0, 42.75, 1),
              "(147.25\u00B0E, 42.75\u00B0S) not land or not found in climate database");
}

TEST(LocationTextChanged, EndStatesOfTyping) {
    struct Case {
        Axis axis;
        const char* previous;
        const char* typed;
        double value;
        int flag;
        const char* text;
        double endValue;
        int endFlag;
        CaretPlacement caret;
        bool message;
    };
    using C = CaretPlacement;
    const Axis Lon = Axis::Longitude;
    const Axis Lat = Axis::Latitude;
    const Case cases[] = {
        {Lon, "2", "-20", 2, 0, "20", 20, 1, C::AtEnd, false}, // -20 gives 20 W
        {Lon, "20", "200", 20, 0, "180", 180, 0, C::Unchanged, true},
        {Lon, "20", "-200", 20, 0, "180", 180, 1, C::AtEnd, true}, // one message, 180 W
        {Lat, "9", "95", 9, 1, "90", 90, 1, C::Unchanged, true},
        {Lat, "9", "-95", 9, 0, "90", 90, 1, C::AtEnd, true},
        {Lon, "5", "", 5, 0, "0", 0, 0, C::AfterFirst, false},   // emptied field reads 0
        {Lon, "0", "05", 0, 0, "5", 5, 0, C::AfterFirst, false}, // the 0 is replaced
        {Lon, "0", "0-", 0, 0, "-", 0, 0, C::AfterFirst, false}, // unfinished minus
        {Lon, "0", "0+", 0, 0, "+", 0, 0, C::AfterFirst, false},
        {Lon, "5", "5-", 5, 0, "-", 5, 0, C::AfterFirst, false},
        {Lon, "12", "12a", 12, 0, "12", 12, 0, C::AtEnd, false}, // letters refused
        {Lon, "12", "nan", 12, 0, "12", 12, 0, C::AtEnd, false}, // not a number here
        {Lon, "12", "inf", 12, 0, "12", 12, 0, C::AtEnd, false},
        {Lon, "12", "1e999", 12, 0, "12", 12, 0, C::AtEnd, false},
        {Lon, "1", "0x1", 1, 0, "1", 1, 0, C::AtEnd, false},       // no hexadecimal
        {Lon, "1", "1 2", 1, 0, "12", 12, 0, C::Unchanged, false}, // blanks removed
        {Lon, "1", ".", 1, 0, ".", 1, 0, C::Unchanged, false},
        {Lon, "1", "-.", 1, 0, "-.", 1, 0, C::Unchanged, false},
        {Lon, "1", "+.", 1, 0, "+.", 1, 0, C::Unchanged, false},
        {Lon, "-.", "-.5", 1, 0, "0.5", 0.5, 1, C::AtEnd, false},
        {Lon, "1", "1.", 1, 0, "1.", 1, 0, C::Unchanged, false},
        {Lon, "1", "1e2", 1, 0, "1e2", 100, 0, C::Unchanged, false},
        {Lon, "147.2", "147.25", 147.2, 1, "147.25", 147.25, 1, C::Unchanged, false},
        {Lon, "1", "--", 1, 0, "-", 1, 0, C::AfterFirst, false},
        {Lat, "1", "1-", 1, 0, "-", 1, 0, C::AfterFirst, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.previous) + " -> " + c.typed);
        const TypedLocation r = LocationTextChanged(c.axis, c.previous, c.typed, c.value, c.flag);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.value, c.endValue);
        EXPECT_EQ(r.flag, c.endFlag);
        EXPECT_EQ(r.caret, c.caret);
        EXPECT_EQ(r.rangeMessage, c.message);
        EXPECT_EQ(r.focusEdit, c.message);
        EXPECT_EQ(r.textChanged, std::string(c.text) != c.typed);
    }
}

TEST(LocationTextChanged, DeleteThenTypeFiveThenMinus) {
    TypedLocation state = LocationTextChanged(Axis::Longitude, "147.25", "", 147.25, 0);
    EXPECT_EQ(state.text, "0");
    // The caret is after the 0; typing 5 there gives "05".
    state = LocationTextChanged(Axis::Longitude, state.text, "05", state.value, state.flag);
    EXPECT_EQ(state.text, "5");
    EXPECT_EQ(state.value, 5);
    // Emptied again, then a minus sign is typed after the 0.
    state = LocationTextChanged(Axis::Longitude, state.text, "", state.value, state.flag);
    state = LocationTextChanged(Axis::Longitude, state.text, "0-", state.value, state.flag);
    EXPECT_EQ(state.text, "-");
    state = LocationTextChanged(Axis::Longitude, state.text, "-3", state.value, state.flag);
    EXPECT_EQ(state.text, "3");
    EXPECT_EQ(state.value, 3);
    EXPECT_EQ(state.flag, 1);
}

TEST(SpinStep, CellCentresFloorsAndCeilings) {
    struct Case {
        Axis axis;
        double value;
        int delta;
        double expected;
    };
    const Axis Lon = Axis::Longitude;
    const Axis Lat = Axis::Latitude;
    const Case cases[] = {
        {Lon, 147.25, 1, 147.75}, {Lon, 147.25, -1, 146.75}, {Lon, 147.0, 1, 147.75},
        {Lon, 147.0, -1, 146.75}, {Lon, 0.25, -1, 0.25},     {Lon, 179.75, 1, 179.75},
        {Lon, 180, 1, 180.25}, // the range check then reports and clamps
        {Lon, 0, 1, 0.75},        {Lon, 0, -1, 0.25},        {Lon, 149.9, 30, 179.75},
        {Lon, 149.0, 30, 179.25}, {Lon, 150.0, 30, 179.75},  {Lon, 169.0, 10, 179.25},
        {Lon, 170.0, 10, 179.75}, {Lon, 179.5, 1, 179.75},   {Lon, 30.3, -30, 0.25},
        {Lon, 30.6, -30, 0.75},   {Lon, 10.1, -10, 0.25},    {Lon, 10.6, -10, 0.75},
        {Lon, 0.6, -1, 0.25},     {Lon, 5, 0, 5.25},         {Lat, 42.75, 1, 43.25},
        {Lat, 89.75, 1, 89.75},   {Lat, 89.4, 1, 89.75},     {Lat, 59.0, 30, 89.25},
        {Lat, 60.0, 30, 89.75},   {Lat, 79.0, 10, 89.25},    {Lat, 80.0, 10, 89.75},
        {Lat, 0.25, -1, 0.25},    {Lat, 30.6, -30, 0.75},    {Lat, 30.4, -30, 0.25},
        {Lat, 10.4, -10, 0.25},   {Lat, 90, 1, 90.25},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SpinStep(c.axis, c.value, c.delta), c.expected)
            << (c.axis == Lon ? "lon " : "lat ") << c.value << " by " << c.delta;
    EXPECT_EQ(SpunLocationText(147.75), "147.75");
}

TEST(ArrowStep, OneCellWithWrapAndStop) {
    struct Case {
        double lon, lat;
        ArrowKey key;
        double newLon, newLat;
    };
    const Case cases[] = {
        {179.75, 10.25, ArrowKey::Right, -179.75, 10.25}, // wraps at the date line
        {-179.75, 10.25, ArrowKey::Left, 179.75, 10.25},
        {147.25, -42.75, ArrowKey::Right, 147.75, -42.75},
        {147.25, -42.75, ArrowKey::Left, 146.75, -42.75},
        {147.25, -42.75, ArrowKey::Up, 147.25, -42.25},
        {147.25, -42.75, ArrowKey::Down, 147.25, -43.25},
        {10.25, 89.75, ArrowKey::Up, 10.25, 89.75}, // stops at the last row
        {10.25, -89.75, ArrowKey::Down, 10.25, -89.75},
        {10.1, 5.4, ArrowKey::Right, 10.25, 5.4}, // off-centre values count from the cell below
        {10.1, 5.4, ArrowKey::Up, 10.1, 5.75},
        {0.0, 0.0, ArrowKey::Right, 0.25, 0.0},
        {0.0, 0.0, ArrowKey::Up, 0.0, 0.25},
    };
    for (const Case& c : cases) {
        const GlobeLocation next = ArrowStep(c.lon, c.lat, c.key);
        EXPECT_DOUBLE_EQ(next.lon, c.newLon) << c.lon << "," << c.lat;
        EXPECT_DOUBLE_EQ(next.lat, c.newLat) << c.lon << "," << c.lat;
    }
}

TEST(NumberText, FormatAndParse) {
    EXPECT_EQ(FormatG(13.25), "13.25");
    EXPECT_EQ(FormatG(-2.5), "-2.5");
    EXPECT_EQ(FormatG(180), "180");
    EXPECT_EQ(FormatG(0.0001), "0.0001");
    EXPECT_EQ(FormatG(1234567), "1.23457e+06");

    double value = 7;
    for (const char* bad : {"", "-", ".", "e5", "1e", "1e+", "nan", "NAN", "inf", "-infinity",
                            "0x10", " 1", "1 ", "1,5", "1.2.3", "1e999", "--1"}) {
        EXPECT_FALSE(ParseDecimal(bad, value)) << '"' << bad << '"';
        EXPECT_EQ(value, 7);
    }
    struct Good {
        const char* text;
        double value;
    };
    for (const Good g : {Good{"13.25", 13.25},
                         {"-0.5", -0.5},
                         {"+2", 2},
                         {".5", 0.5},
                         {"5.", 5},
                         {"1e2", 100},
                         {"2.5E-1", 0.25},
                         {"007", 7}}) {
        ASSERT_TRUE(ParseDecimal(g.text, value)) << g.text;
        EXPECT_EQ(value, g.value) << g.text;
    }
}

TEST(NumberText, IndependentOfTheDecimalCommaLocale) {
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = name;
            break;
        }
    }
    if (found == nullptr)
        GTEST_SKIP() << "no decimal-comma locale installed";
    EXPECT_EQ(FormatG(13.25), "13.25");
    double value = 0;
    EXPECT_TRUE(ParseDecimal("13.25", value));
    EXPECT_EQ(value, 13.25);
    EXPECT_FALSE(ParseDecimal("13,25", value));
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace skyfetch
