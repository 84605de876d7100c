#pragma once

#include <span>

namespace skyfetch {

// The main dialog's controls: identifiers, kinds, texts and places in dialog units, and
// how each follows a change of the window size. The widgets are made from this table.

enum ControlId : int {
    IDOK = 1, // "Generate file", the default button
    IDCANCEL = 2,
    IDC_NOCHANGES = 3,
    IDC_LONGITUDE = 1000,
    IDC_SPINUPYEARS = 1001,
    IDC_EAST = 1002,
    IDC_WEST = 1003,
    IDC_LATITUDE = 1004,
    IDC_NORTH = 1005,
    IDC_SOUTH = 1006,
    IDC_OUTPUTFILE = 1009,
    IDC_BROWSE = 1010,
    IDC_SCENARIOYEARS = 1012,
    IDC_TEMPCHANGE = 1013,
    IDC_TEMPINCREASE = 1014,
    IDC_TEMPDECREASE = 1015,
    IDC_PRECIPCHANGE = 1016,
    IDC_PRECIPINCREASE = 1017,
    IDC_PRECIPDECREASE = 1018,
    IDC_CO2CHANGE = 1019,
    IDC_CO2INCREASE = 1020,
    IDC_CO2DECREASE = 1021,
    IDC_GLOBE = 1022,
    IDC_FOLDERTREE = 1027,
    IDC_GRAPH = 1029,
    IDC_LATSPIN = 1030,
    IDC_SPINUPSPIN = 1031,
    IDC_SCENARIOSPIN = 1032,
    IDC_LONSPIN = 1033,
    IDC_TEMPSPIN = 1034,
    IDC_PRECIPSPIN = 1035,
    IDC_CO2SPIN = 1036,
    IDC_VERSION = 1041,
    IDC_OUTPUTGROUP = 1051,
    IDC_PROTOCOLGROUP = 1052,
    IDC_SPINUPLABEL = 1053,
    IDC_SCENARIOLABEL = 1054,
    IDC_SCENARIOGROUP = 1055,
    IDC_SCENARIOHINT = 1056,
    IDC_TEMPLABEL = 1057,
    IDC_CO2LABEL = 1058,
    IDC_TEMPUNIT = 1059,
    IDC_CO2UNIT = 1060,
    IDC_PRECIPUNIT = 1061,
    IDC_LOCATIONGROUP = 1062,
    IDC_LONLABEL = 1063,
    IDC_LATLABEL = 1064,
    IDC_LONDEGREE = 1065,
    IDC_LATDEGREE = 1066,
    IDC_CLIMATELABEL = 1067,
    IDC_PRECIPLABEL = 1068,
};

enum class ControlKind {
    GroupBox,
    Static,
    Edit,
    ReadOnlyEdit, // read-only, no border
    UpDown,
    Radio,
    RadioGroupStart, // first radio of a pair; the pair is its own group
    PushButton,
    DefaultButton,
    FolderTree,
    Globe,
    Graph,
};

// How a control follows the window when it grows by dx, dy (see ResizedRect).
enum ResizeRule : unsigned {
    Fixed = 0,
    MoveDown = 1,   // top += dy
    MoveRight = 2,  // left += dx
    GrowHeight = 4, // height += dy
    GrowWidth = 8,  // width += dx
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    Rect rect; // dialog units
    unsigned resize;
};

inline constexpr const char* kDialogTitle =
    "Skyfetch - Environmental Driver Data for PHYTOMOD Education";
inline constexpr int kDialogWidthDlu = 452;
inline constexpr int kDialogHeightDlu = 363;

// Every control in tab order (the order of the template).
std::span<const ControlTemplate> DialogControls();
// The control with this id, or nullptr.
const ControlTemplate* FindControl(int id);

// The sizes of the dialog font from which dialog units are converted: a dialog unit is
// a quarter of the average character width across and an eighth of the character height
// down.
struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

// The average character width as dialog templates measure it: the width of the 52
// letters A-Z and a-z, divided by 26, halved and rounded.
int AverageCharWidth(int widthOf52Letters);

// Dialog units to pixels, each coordinate rounded to the nearest pixel.
int DluToPixelsX(int dlu, DialogBaseUnits units);
int DluToPixelsY(int dlu, DialogBaseUnits units);
Rect DluToPixels(Rect dlu, DialogBaseUnits units);

// A control's rectangle after the client area grew by dx, dy (negative: shrank).
Rect ResizedRect(Rect rect, unsigned rule, int dx, int dy);

// An up-down control aligned to the right of its buddy edit: it takes the buddy's top
// and height, sits at the buddy's right end, and the buddy gives up that width.
struct BuddyPlacement {
    Rect buddy;
    Rect upDown;
};
BuddyPlacement AlignUpDownRight(Rect buddy, Rect upDown);

// The window size to return to when a resize went below the initial client size, or
// {0, 0} when the size is acceptable. Both smaller: the minimum window size; one
// smaller: that side at its minimum, the other following the client size.
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};
Size SnapBackSize(Size client, Size initialClient, Size minWindow);

} // namespace skyfetch
