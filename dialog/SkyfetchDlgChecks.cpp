// The checks of the main dialog's inputs (protocol, scenario, location), the selected
// cell and its climatology, and the typed, spun and clicked location entry.
#include "dialog/SkyfetchDlg.h"

#include "climate/ClimateArchive.h"
#include "dialog/UpDownControl.h"
#include "driver/ParameterRules.h"
#include "globe/GlobeView.h"
#include "graph/ClimateGraph.h"
#include "putil/UserPrompt.h"
#include "rules/LocationRules.h"
#include "rules/NumberText.h"
#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"

#include <QLineEdit>
#include <QToolTip>

namespace skyfetch {
namespace {

constexpr const char* kNotLand = "Not land!";

void Warn(const std::string& text) {
    user_prompt().show(text, PromptIcon::Warning, PromptButtons::Ok);
}

} // namespace

bool CSkyfetchDlg::validate_protocol() {
    UpdateData(true);
    if (const YearsCheck check = check_spinup_years(m_initYears); !check.ok) {
        Warn(check.message);
        m_initYears = check.resetValue;
        UpdateData(false);
        Edit(IDC_SPINUPYEARS)->setFocus();
        return false;
    }
    if (is_short_spinup(m_initYears) &&
        user_prompt().show(short_spinup_question(), PromptIcon::Question, PromptButtons::YesNo) !=
            PromptAnswer::Yes) {
        UpdateData(false);
        return false;
    }
    if (const YearsCheck check = check_scenario_years(m_scenarioYears); !check.ok) {
        Warn(check.message);
        m_scenarioYears = check.resetValue;
        UpdateData(false);
        Edit(IDC_SCENARIOYEARS)->setFocus();
        return false;
    }
    const Profile app = application_profile();
    app.write_int(settings::kScenarioYears, m_scenarioYears);
    app.write_int(settings::kSpinupYears, m_initYears);
    return true;
}

bool CSkyfetchDlg::validate_scenario() {
    UpdateData(true);
    const struct {
        double* change;
        int* decrease;
        ChangeCheck (*check)(double);
    } changes[] = {
        {&m_tempChange, &m_tempDecrease, check_temperature_change},
        {&m_precipChange, &m_precipDecrease, check_precipitation_change},
        {&m_co2Change, &m_co2Decrease, check_co2_change},
    };
    for (const auto& c : changes) {
        // The member holds the signed change from here on, with "Increase" chosen.
        if (*c.decrease == 1) {
            *c.change = -*c.change;
            *c.decrease = 0;
        }
        if (const ChangeCheck check = c.check(*c.change); !check.ok) {
            Warn(check.message);
            *c.change = check.resetMagnitude;
            *c.decrease = check.resetDecrease ? 1 : 0;
            UpdateData(false);
            return false;
        }
    }
    const Profile app = application_profile();
    app.write_int(settings::kTempChange, encode_change(m_tempChange));
    app.write_int(settings::kPrecipChange, encode_change(m_precipChange));
    app.write_int(settings::kRainDaysChange, kRainDaysChangeStored);
    app.write_int(settings::kCo2Change, encode_change(m_co2Change));
    return true;
}

void CSkyfetchDlg::CheckLongitude(bool report) {
    CheckLocationRange(true, report);
}

void CSkyfetchDlg::CheckLatitude(bool report) {
    CheckLocationRange(false, report);
}

void CSkyfetchDlg::CheckLocationRange(bool longitude, bool report) {
    UpdateData(true);
    const Axis axis = longitude ? Axis::Longitude : Axis::Latitude;
    double& value = longitude ? m_lonValue : m_latValue;
    int& flag = longitude ? m_westFlag : m_southFlag;
    std::string& text = longitude ? m_lonText : m_latText;
    QLineEdit* edit = Edit(longitude ? IDC_LONGITUDE : IDC_LATITUDE);

    const RangeCheck check = skyfetch::CheckCoordinate(axis, value, flag);
    if (!check.textChanged)
        return;
    if (check.outOfRange && report)
        Warn(RangeMessage(axis));
    value = check.value;
    flag = check.flag;
    text = check.text;
    UpdateData(false);
    if (check.focusEdit)
        edit->setFocus();
    if (check.caretToEnd)
        edit->setCursorPosition(int(edit->text().size()));
}

void CSkyfetchDlg::UpdateCellCorner() {
    const CellCorner corner =
        skyfetch::UpdateCellCorner(m_lonValue, m_westFlag, m_latValue, m_southFlag);
    m_cornerLon = corner.lon;
    m_cornerLat = corner.lat;
}

void CSkyfetchDlg::update_climatology() {
    ClimateArchive archive;
    UpdateCellCorner();
    archive.open();
    CellRecord record;
    record.lon = m_cornerLon;
    record.lat = m_cornerLat;
    const bool found = archive.lookup(record);
    ClimateGraphData& graph = GraphData();
    if (found) {
        for (int m = 0; m < 12; ++m) {
            graph.m_temperature[m] = 0.0;
            graph.m_precipitation[m] = 0.0;
        }
        for (int y = 0; y < kDataYears; ++y)
            for (int m = 0; m < 12; ++m) {
                graph.m_temperature[m] += record.mtemp[12 * y + m] / 10;
                graph.m_precipitation[m] += record.mprec[12 * y + m] / 10;
            }
    }
    archive.close();
    graph.m_hasData = found ? 1 : 0;
    RepaintGraph();
}

void CSkyfetchDlg::ApplyLocation() {
    const double lon = m_westFlag == 1 ? -m_lonValue : m_lonValue;
    const double lat = m_southFlag == 1 ? -m_latValue : m_latValue;
    const bool land = GlobeIsLand(lon, lat);
    SetGlobeSelection(lon, lat);
    if (land) {
        if (!m_locationNotice.empty()) {
            m_locationNotice.clear();
            UpdateData(false);
        }
        update_climatology();
    } else if (m_locationNotice != kNotLand) {
        m_locationNotice = kNotLand;
        UpdateData(false);
        m_graph->update();
    }
    ShowGlobeSelection();
}

void CSkyfetchDlg::ShowNotLandAt(int globalX, int globalY) {
    // A click that selects nothing would look like a broken one: the chart's notice
    // shows at the pointer for a moment instead.
    constexpr int kShownMs = 2000;
    QToolTip::showText(QPoint(globalX, globalY), QString::fromUtf8(kNotLand), m_globe, QRect(),
                       kShownMs);
}

void CSkyfetchDlg::OnLocationTextChanged(bool longitude) {
    if (!m_ready || m_exchange.InProgress())
        return;
    const Axis axis = longitude ? Axis::Longitude : Axis::Latitude;
    double& value = longitude ? m_lonValue : m_latValue;
    int& flag = longitude ? m_westFlag : m_southFlag;
    std::string& text = longitude ? m_lonText : m_latText;
    QLineEdit* edit = Edit(longitude ? IDC_LONGITUDE : IDC_LATITUDE);

    const std::string previous = text;
    UpdateData(true);
    const TypedLocation typed = LocationTextChanged(axis, previous, text, value, flag);
    if (typed.rangeMessage)
        Warn(RangeMessage(axis));
    value = typed.value;
    flag = typed.flag;
    text = typed.text;
    UpdateData(false);
    if (typed.caret == CaretPlacement::AfterFirst)
        edit->setCursorPosition(1);
    else if (typed.caret == CaretPlacement::AtEnd)
        edit->setCursorPosition(int(edit->text().size()));
    if (typed.focusEdit)
        edit->setFocus();
    ApplyLocation();
}

void CSkyfetchDlg::OnLocationFocusLost(bool longitude) {
    if (!m_ready || m_exchange.InProgress())
        return;
    CheckLocationRange(longitude, false);
    double& value = longitude ? m_lonValue : m_latValue;
    int& flag = longitude ? m_westFlag : m_southFlag;
    std::string& text = longitude ? m_lonText : m_latText;
    if (value < 0) {
        value = -value;
        flag = 1;
    }
    // A number left unfinished ("-", ".") kept the value from before it; the field
    // shows that value again, the one that is used.
    if (double typed = 0.0; !ParseDecimal(text, typed))
        text = FormatG(value);
    ApplyLocation();
    UpdateData(false);
}

void CSkyfetchDlg::OnHemisphereClicked(bool longitude) {
    if (!m_ready || m_exchange.InProgress())
        return;
    CheckLocationRange(longitude, true);
    double& value = longitude ? m_lonValue : m_latValue;
    if (value < 0)
        value = -value;
    ApplyLocation();
    UpdateData(false);
}

void CSkyfetchDlg::OnLocationSpin(bool longitude, int delta) {
    if (!m_ready)
        return;
    // What was typed elsewhere is taken in first, or refreshing the controls below would
    // put older values back. A text that does not read stops the step.
    if (!UpdateData(true))
        return;
    const Axis axis = longitude ? Axis::Longitude : Axis::Latitude;
    double& value = longitude ? m_lonValue : m_latValue;
    // The field shows the next cell centre, which the range check may still clamp (a
    // typed 180 steps to 180.25 and comes back as 180, with the message). Both go in
    // through the data exchange, which the text-change handler ignores.
    value = SpinStep(axis, value, delta);
    (longitude ? m_lonText : m_latText) = SpunLocationText(value);
    UpdateData(false);
    CheckLocationRange(longitude, true);
    ApplyLocation();
}

void CSkyfetchDlg::ApplyPickedLocation(double lon, double lat) {
    UpdateData(true);
    const Magnitude lonPart = SplitSigned(lon);
    const Magnitude latPart = SplitSigned(lat);
    m_lonValue = lonPart.value;
    m_westFlag = lonPart.flag;
    m_latValue = latPart.value;
    m_southFlag = latPart.flag;
    m_lonText = FormatG(m_lonValue);
    m_latText = FormatG(m_latValue);
    m_locationNotice.clear();
    UpdateData(false);
    update_climatology();
}

void CSkyfetchDlg::OnGlobeArrowKey(int key) {
    ArrowKey arrow;
    switch (key) {
    case Qt::Key_Up:
        arrow = ArrowKey::Up;
        break;
    case Qt::Key_Down:
        arrow = ArrowKey::Down;
        break;
    case Qt::Key_Left:
        arrow = ArrowKey::Left;
        break;
    case Qt::Key_Right:
        arrow = ArrowKey::Right;
        break;
    default:
        return;
    }
    const GlobeLocation selected = GlobeSelection();
    const GlobeLocation next = ArrowStep(selected.lon, selected.lat, arrow);
    SetGlobeSelection(next.lon, next.lat);
    ApplyPickedLocation(next.lon, next.lat);
    ApplyLocation();
}

} // namespace skyfetch
