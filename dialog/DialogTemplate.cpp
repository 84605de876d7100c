#include "dialog/DialogTemplate.h"

#include <array>
#include <cmath>

namespace skyfetch {
namespace {

using K = ControlKind;
constexpr unsigned MD = MoveDown;

// The left column keeps its width and slides down below the growing folder tree; the
// globe takes all extra width and height, the graph all extra width.
constexpr std::array kControls{
    ControlTemplate{
        IDC_OUTPUTGROUP, K::GroupBox, "Output file to generate", {7, 7, 205, 116}, GrowHeight},
    ControlTemplate{IDC_FOLDERTREE, K::FolderTree, "", {14, 24, 190, 58}, GrowHeight},
    ControlTemplate{IDC_OUTPUTFILE, K::Edit, "", {14, 86, 190, 12}, MD},
    ControlTemplate{IDC_BROWSE, K::PushButton, "Browse ...", {164, 102, 40, 13}, MD},
    ControlTemplate{IDC_PROTOCOLGROUP, K::GroupBox, "Simulation protocol", {7, 137, 205, 45}, MD},
    ControlTemplate{IDC_SPINUPLABEL, K::Static, "Initialisation years", {14, 150, 57, 9}, MD},
    ControlTemplate{IDC_SPINUPYEARS, K::Edit, "", {14, 161, 36, 12}, MD},
    ControlTemplate{IDC_SPINUPSPIN, K::UpDown, "", {43, 159, 10, 14}, MD},
    ControlTemplate{IDC_SCENARIOLABEL, K::Static, "Scenario years", {76, 150, 48, 8}, MD},
    ControlTemplate{IDC_SCENARIOYEARS, K::Edit, "", {76, 161, 36, 12}, MD},
    ControlTemplate{IDC_SCENARIOSPIN, K::UpDown, "", {115, 160, 10, 14}, MD},
    ControlTemplate{IDC_SCENARIOGROUP, K::GroupBox, "Scenario", {7, 196, 205, 132}, MD},
    ControlTemplate{IDC_SCENARIOHINT,
                    K::Static,
                    "Specify total changes in temperature, precipitation, and atmospheric CO2 "
                    "concentrations over the scenario period",
                    {14, 214, 185, 18},
                    MD},
    ControlTemplate{IDC_TEMPLABEL, K::Static, "Temperature change", {14, 242, 70, 8}, MD},
    ControlTemplate{IDC_TEMPCHANGE, K::Edit, "", {14, 257, 36, 12}, MD},
    ControlTemplate{IDC_TEMPSPIN, K::UpDown, "", {39, 259, 10, 14}, MD},
    ControlTemplate{IDC_TEMPUNIT, K::Static, "\u00b0C", {52, 259, 8, 10}, MD},
    ControlTemplate{IDC_TEMPINCREASE, K::RadioGroupStart, "Increase", {63, 253, 39, 10}, MD},
    ControlTemplate{IDC_TEMPDECREASE, K::Radio, "Decrease", {63, 263, 41, 10}, MD},
    ControlTemplate{IDC_CO2LABEL, K::Static, "Atmospheric CO2 change", {116, 242, 80, 8}, MD},
    ControlTemplate{IDC_CO2CHANGE, K::Edit, "", {115, 257, 36, 12}, MD},
    ControlTemplate{IDC_CO2SPIN, K::UpDown, "", {139, 259, 10, 14}, MD},
    ControlTemplate{IDC_CO2UNIT, K::Static, "%", {153, 259, 8, 10}, MD},
    ControlTemplate{IDC_CO2INCREASE, K::RadioGroupStart, "Increase", {164, 253, 40, 10}, MD},
    ControlTemplate{IDC_CO2DECREASE, K::Radio, "Decrease", {164, 263, 41, 10}, MD},
    ControlTemplate{IDC_PRECIPLABEL, K::Static, "Precipitation change", {14, 286, 70, 8}, MD},
    ControlTemplate{IDC_PRECIPCHANGE, K::Edit, "", {14, 301, 36, 12}, MD},
    ControlTemplate{IDC_PRECIPSPIN, K::UpDown, "", {39, 305, 10, 14}, MD},
    ControlTemplate{IDC_PRECIPUNIT, K::Static, "%", {52, 303, 8, 10}, MD},
    ControlTemplate{IDC_PRECIPINCREASE, K::RadioGroupStart, "Increase", {63, 297, 39, 10}, MD},
    ControlTemplate{IDC_PRECIPDECREASE, K::Radio, "Decrease", {63, 307, 41, 10}, MD},
    ControlTemplate{IDC_NOCHANGES, K::PushButton, "No changes", {131, 299, 50, 14}, MD},
    ControlTemplate{
        IDC_LOCATIONGROUP, K::GroupBox, "Location", {229, 7, 216, 321}, GrowWidth | GrowHeight},
    ControlTemplate{IDC_GLOBE, K::Globe, "", {243, 24, 188, 188}, GrowWidth | GrowHeight},
    ControlTemplate{IDC_LONLABEL, K::Static, "Longitude", {243, 222, 35, 10}, MD},
    ControlTemplate{IDC_LONGITUDE, K::Edit, "", {243, 233, 36, 12}, MD},
    ControlTemplate{IDC_LONDEGREE, K::Static, "o", {281, 230, 8, 10}, MD},
    ControlTemplate{IDC_LONSPIN, K::UpDown, "", {271, 243, 10, 14}, MD},
    ControlTemplate{IDC_EAST, K::RadioGroupStart, "E", {288, 229, 20, 10}, MD},
    ControlTemplate{IDC_WEST, K::Radio, "W", {288, 239, 21, 10}, MD},
    ControlTemplate{IDC_LATLABEL, K::Static, "Latitude", {243, 254, 35, 8}, MD},
    ControlTemplate{IDC_LATITUDE, K::Edit, "", {243, 265, 36, 12}, MD},
    ControlTemplate{IDC_LATDEGREE, K::Static, "o", {281, 262, 8, 10}, MD},
    ControlTemplate{IDC_LATSPIN, K::UpDown, "", {272, 278, 10, 14}, MD},
    ControlTemplate{IDC_NORTH, K::RadioGroupStart, "N", {288, 261, 19, 10}, MD},
    ControlTemplate{IDC_SOUTH, K::Radio, "S", {288, 271, 20, 10}, MD},
    ControlTemplate{IDC_CLIMATELABEL, K::Static, "Climatology", {318, 222, 88, 9}, MD},
    ControlTemplate{IDC_GRAPH, K::Graph, "", {317, 233, 114, 80}, MD | GrowWidth},
    ControlTemplate{IDC_VERSION, K::ReadOnlyEdit, "", {8, 344, 120, 12}, MD},
    ControlTemplate{IDCANCEL, K::PushButton, "Cancel", {306, 338, 50, 18}, MD | MoveRight},
    ControlTemplate{IDOK, K::DefaultButton, "Generate file", {369, 338, 76, 18}, MD | MoveRight},
};

// Multiplies and divides with the quotient rounded half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    return int(std::lround(double(number) * numerator / denominator));
}

} // namespace

std::span<const ControlTemplate> DialogControls() {
    return kControls;
}

const ControlTemplate* FindControl(int id) {
    for (const ControlTemplate& control : kControls)
        if (control.id == id)
            return &control;
    return nullptr;
}

int AverageCharWidth(int widthOf52Letters) {
    return (widthOf52Letters / 26 + 1) / 2;
}

int DluToPixelsX(int dlu, DialogBaseUnits units) {
    return MulDiv(dlu, units.x, 4);
}

int DluToPixelsY(int dlu, DialogBaseUnits units) {
    return MulDiv(dlu, units.y, 8);
}

Rect DluToPixels(Rect dlu, DialogBaseUnits units) {
    return {DluToPixelsX(dlu.x, units), DluToPixelsY(dlu.y, units), DluToPixelsX(dlu.width, units),
            DluToPixelsY(dlu.height, units)};
}

Rect ResizedRect(Rect rect, unsigned rule, int dx, int dy) {
    if (rule & MoveDown)
        rect.y += dy;
    if (rule & MoveRight)
        rect.x += dx;
    if (rule & GrowHeight)
        rect.height += dy;
    if (rule & GrowWidth)
        rect.width += dx;
    return rect;
}

BuddyPlacement AlignUpDownRight(Rect buddy, Rect upDown) {
    buddy.width -= upDown.width;
    upDown.x = buddy.x + buddy.width;
    upDown.y = buddy.y;
    upDown.height = buddy.height;
    return {buddy, upDown};
}

Size SnapBackSize(Size client, Size initialClient, Size minWindow) {
    const bool narrow = client.width < initialClient.width;
    const bool low = client.height < initialClient.height;
    if (narrow && low)
        return minWindow;
    if (narrow)
        return {minWindow.width, client.height + (minWindow.height - initialClient.height)};
    if (low)
        return {client.width + (minWindow.width - initialClient.width), minWindow.height};
    return {};
}

} // namespace skyfetch
