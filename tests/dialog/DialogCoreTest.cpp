#include "dialog/DialogTemplate.h"
#include "dialog/ExchangeText.h"
#include "dialog/ToolTipText.h"
#include "dialog/UpDownSteps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace skyfetch;

TEST(DialogUnits, ConvertWithTheFontsAverageWidthAndHeight) {
    EXPECT_EQ(AverageCharWidth(52 * 6), 6);
    EXPECT_EQ(AverageCharWidth(338), 7); // 13 per two letters: rounds up
    EXPECT_EQ(AverageCharWidth(311), 6);

    const DialogBaseUnits units{6, 13};
    EXPECT_EQ(DluToPixelsX(452, units), 678);
    EXPECT_EQ(DluToPixelsY(363, units), 590); // 589.875
    EXPECT_EQ(DluToPixelsX(7, units), 11);    // 10.5 rounds away from zero
    EXPECT_EQ(DluToPixelsY(7, units), 11);    // 11.375
    EXPECT_EQ(DluToPixels(Rect{7, 7, 205, 116}, units), (Rect{11, 11, 308, 189}));
    EXPECT_EQ(DluToPixels(Rect{14, 161, 36, 12}, DialogBaseUnits{7, 16}), (Rect{25, 322, 63, 24}));
}

TEST(DialogTemplate, EveryControlOnceAndFoundById) {
    std::set<int> ids;
    for (const ControlTemplate& control : DialogControls()) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.id;
        EXPECT_EQ(FindControl(control.id), &control);
    }
    EXPECT_EQ(ids.size(), 51u);
    EXPECT_EQ(FindControl(4711), nullptr);
    EXPECT_STREQ(FindControl(IDOK)->text, "Generate file");
    EXPECT_EQ(FindControl(IDOK)->kind, ControlKind::DefaultButton);
    EXPECT_STREQ(FindControl(IDC_TEMPUNIT)->text, "\u00b0C");
    // Each up-down's buddy is the edit before it in tab order, the one it spins.
    const std::pair<int, int> buddies[] = {
        {IDC_SPINUPSPIN, IDC_SPINUPYEARS},  {IDC_SCENARIOSPIN, IDC_SCENARIOYEARS},
        {IDC_TEMPSPIN, IDC_TEMPCHANGE},     {IDC_CO2SPIN, IDC_CO2CHANGE},
        {IDC_PRECIPSPIN, IDC_PRECIPCHANGE}, {IDC_LONSPIN, IDC_LONGITUDE},
        {IDC_LATSPIN, IDC_LATITUDE}};
    for (const auto& [spin, edit] : buddies) {
        int lastEdit = 0;
        for (const ControlTemplate& control : DialogControls()) {
            if (control.id == spin)
                break;
            if (control.kind == ControlKind::Edit)
                lastEdit = control.id;
        }
        EXPECT_EQ(lastEdit, edit) << spin;
    }
}

namespace {

bool Overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

} // namespace

// Enlarging must keep the window tidy: what was inside a group box stays inside it,
// controls that did not overlap still do not, and the left column keeps its width.
TEST(DialogTemplate, EnlargingKeepsTheArrangement) {
    const auto controls = DialogControls();
    const Rect dialog{0, 0, kDialogWidthDlu, kDialogHeightDlu};
    for (const auto& [dx, dy] : {std::pair{0, 40}, {60, 0}, {150, 90}}) {
        const Rect grown{0, 0, kDialogWidthDlu + dx, kDialogHeightDlu + dy};
        for (const ControlTemplate& a : controls) {
            const Rect ra = ResizedRect(a.rect, a.resize, dx, dy);
            EXPECT_TRUE(Inside(ra, grown)) << a.id;
            EXPECT_EQ(Inside(a.rect, dialog), true);
            if (a.rect.x + a.rect.width < 220) {
                EXPECT_EQ(ra.width, a.rect.width) << a.id;
            }
            for (const ControlTemplate& b : controls) {
                if (&a == &b)
                    continue;
                const Rect rb = ResizedRect(b.rect, b.resize, dx, dy);
                if (a.kind == ControlKind::GroupBox && Inside(b.rect, a.rect)) {
                    EXPECT_TRUE(Inside(rb, ra)) << b.id << " in " << a.id;
                }
                if (!Overlap(a.rect, b.rect)) {
                    EXPECT_FALSE(Overlap(ra, rb)) << a.id << " and " << b.id;
                }
            }
        }
        // The extra room goes to the tree, the globe and the graph.
        EXPECT_EQ(ResizedRect(FindControl(IDC_FOLDERTREE)->rect,
                              FindControl(IDC_FOLDERTREE)->resize, dx, dy)
                      .height,
                  58 + dy);
        const Rect globe =
            ResizedRect(FindControl(IDC_GLOBE)->rect, FindControl(IDC_GLOBE)->resize, dx, dy);
        EXPECT_EQ(globe, (Rect{243, 24, 188 + dx, 188 + dy}));
        const Rect graph =
            ResizedRect(FindControl(IDC_GRAPH)->rect, FindControl(IDC_GRAPH)->resize, dx, dy);
        EXPECT_EQ(graph, (Rect{317, 233 + dy, 114 + dx, 80}));
    }
}

TEST(DialogTemplate, SnapBackBelowTheInitialSize) {
    const Size initial{600, 500};
    const Size window{610, 530}; // with the frame
    EXPECT_EQ(SnapBackSize({590, 490}, initial, window), window);
    EXPECT_EQ(SnapBackSize({590, 700}, initial, window), (Size{610, 730}));
    EXPECT_EQ(SnapBackSize({800, 499}, initial, window), (Size{810, 530}));
    EXPECT_EQ(SnapBackSize({600, 500}, initial, window), Size{});
    EXPECT_EQ(SnapBackSize({900, 800}, initial, window), Size{});
}

TEST(DialogTemplate, UpDownTakesItsPlaceFromTheBuddy) {
    const BuddyPlacement placed = AlignUpDownRight({21, 261, 54, 20}, {64, 258, 15, 23});
    EXPECT_EQ(placed.buddy, (Rect{21, 261, 39, 20}));
    EXPECT_EQ(placed.upDown, (Rect{60, 261, 15, 20}));
}

TEST(ExchangeText, Integers) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } rows[] = {
        {"1000", true, 1000},
        {" 42 ", true, 42},
        {"\t-7", true, -7},
        {"+15", true, 15},
        {"-0", true, 0},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"-", false, 0},
        {"+-1", false, 0},
        {"12a", false, 0},
        {"1.5", false, 0},
        {"1 000", false, 0},
        {"0x10", false, 0},
        {"1e3", false, 0},
    };
    for (const auto& row : rows) {
        int value = 12345;
        EXPECT_EQ(ParseExchangeInt(row.text, value), row.ok) << '"' << row.text << '"';
        EXPECT_EQ(value, row.ok ? row.value : 12345) << '"' << row.text << '"';
    }
}

TEST(ExchangeText, Numbers) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } rows[] = {
        {"2.5", true, 2.5},    {" -1.5 ", true, -1.5},  {".5", true, 0.5},    {"5.", true, 5.0},
        {"1e3", true, 1000.0}, {"+0", true, 0.0},       {"1E-2", true, 0.01}, {"nan", false, 0},
        {"inf", false, 0},     {"-Infinity", false, 0}, {"1e999", false, 0},  {"1,5", false, 0},
        {"", false, 0},        {".", false, 0},         {"0x1p3", false, 0},  {"2.5x", false, 0},
        {"1e", false, 0},
    };
    for (const auto& row : rows) {
        double value = -99.0;
        EXPECT_EQ(ParseExchangeDouble(row.text, value), row.ok) << '"' << row.text << '"';
        EXPECT_EQ(value, row.ok ? row.value : -99.0) << '"' << row.text << '"';
    }
}

TEST(ExchangeText, FifteenSignificantDigitsShortestForm) {
    EXPECT_EQ(FormatExchangeDouble(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatExchangeDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatExchangeDouble(2.5), "2.5");
    EXPECT_EQ(FormatExchangeDouble(100.0), "100");
    EXPECT_EQ(FormatExchangeDouble(-1.5), "-1.5");
    EXPECT_EQ(FormatExchangeDouble(1e-5), "1e-05");
    EXPECT_EQ(FormatExchangeDouble(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_EQ(FormatExchangeDouble(1e15), "1e+15");
    EXPECT_EQ(FormatExchangeDouble(999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatExchangeInt(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(MaxCharsMessage(7), "Please enter no more than 7 characters.");
    // What is shown reads back as the same value.
    for (double v : {0.1, 147.25, -42.75, 1e-300, 6.02214076e23}) {
        double back = 0;
        ASSERT_TRUE(ParseExchangeDouble(FormatExchangeDouble(v), back));
        EXPECT_NEAR(back, v, std::abs(v) * 1e-14);
    }
}

TEST(UpDownSteps, AccelerationByTimeHeld) {
    const UpDownAccel years[] = {{0, 10}, {2, 100}};
    EXPECT_EQ(AccelerationIncrement(years, 0.0), 10);
    EXPECT_EQ(AccelerationIncrement(years, 1.99), 10);
    EXPECT_EQ(AccelerationIncrement(years, 2.0), 100);
    EXPECT_EQ(AccelerationIncrement(years, 60.0), 100);
    const UpDownAccel location[] = {{0, 1}, {1, 10}, {2, 30}};
    EXPECT_EQ(AccelerationIncrement(location, 0.5), 1);
    EXPECT_EQ(AccelerationIncrement(location, 1.5), 10);
    EXPECT_EQ(AccelerationIncrement(location, 2.5), 30);
    EXPECT_EQ(AccelerationIncrement({}, 3.0), 1);
    const auto standard = DefaultUpDownAcceleration();
    EXPECT_EQ(AccelerationIncrement(standard, 0.0), 1);
    EXPECT_EQ(AccelerationIncrement(standard, 2.0), 5);
    EXPECT_EQ(AccelerationIncrement(standard, 5.0), 20);
}

TEST(UpDownSteps, PositionStaysInRange) {
    EXPECT_EQ(SteppedPosition(0, 10, 0, 10000), 10);
    EXPECT_EQ(SteppedPosition(9990, 100, 0, 10000), 10000);
    EXPECT_EQ(SteppedPosition(-95, -10, -100, 1000), -100);
    EXPECT_EQ(SteppedPosition(50, 5, 100, 0), 55); // a range given the other way round
    EXPECT_EQ(SteppedPosition(INT_MAX - 1, 100, INT_MIN, INT_MAX), INT_MAX);
}

TEST(UpDownSteps, OnlyAPlainWholeNumberInTheBuddyIsTakenUp) {
    const struct {
        const char* text;
        std::optional<int> value;
    } rows[] = {
        {"1000", 1000}, {"-25", -25}, {"+7", 7}, {"0", 0},
        {"2.5", std::nullopt},    // a typed fraction keeps the spin's own position
        {"147.25", std::nullopt}, // a location's cell centre
        {"", std::nullopt},       {"-", std::nullopt},   {"+", std::nullopt},
        {"12a", std::nullopt},    {"1e3", std::nullopt}, {"99999999999", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BuddyInteger(row.text), row.value) << row.text;
}

TEST(ToolTipText, WrapsAtBlanksWithinTheWidth) {
    const auto width = [](const std::string& s) { return int(s.size()) * 6; }; // 6 px a letter
    EXPECT_EQ(WrapToWidth("Typically 100 years", 400, width), "Typically 100 years");
    EXPECT_EQ(WrapToWidth("aaa bbb ccc", 42, width), "aaa bbb\nccc"); // 7 letters fit
    EXPECT_EQ(WrapToWidth("aaa bbb ccc", 41, width), "aaa\nbbb\nccc");
    EXPECT_EQ(WrapToWidth("Click to select\nClick and drag", 60, width),
              "Click to\nselect\nClick and\ndrag");
    EXPECT_EQ(WrapToWidth("averyveryverylongword x", 30, width), "averyveryverylongword\nx");
    const std::string tip = "Enter precipitation change in percent over the scenario period (e.g. "
                            "100% increase = doubled precipitation)";
    const std::string wrapped = WrapToWidth(tip, 400, width);
    std::string joined = wrapped;
    for (char& c : joined)
        if (c == '\n')
            c = ' ';
    EXPECT_EQ(joined, tip); // nothing lost
    std::size_t start = 0;
    while (start <= wrapped.size()) {
        std::size_t end = wrapped.find('\n', start);
        if (end == std::string::npos)
            end = wrapped.size();
        EXPECT_LE(width(wrapped.substr(start, end - start)), 400);
        start = end + 1;
    }
}
