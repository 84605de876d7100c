#include "dialog/SkyfetchDlg.h"

#include "climate/ClimateArchive.h"
#include "dialog/FilePicker.h"
#include "dialog/Launcher.h"
#include "dialog/ProgramIcon.h"
#include "dialog/ToolTipText.h"
#include "dialog/UpDownControl.h"
#include "driver/ParameterRules.h"
#include "globe/GlobeData.h"
#include "globe/GlobeView.h"
#include "graph/ClimateGraph.h"
#include "resources/Version.h"
#include "rules/NumberText.h"
#include "rules/OutputName.h"
#include "settings/ProfileLocations.h"
#include "settings/SettingsKeys.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace skyfetch {
namespace {

// The dialog font, from which the template's dialog units are converted: the desktop's
// sans-serif face at 8 points.
QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

DialogBaseUnits BaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {AverageCharWidth(letters), metrics.height()};
}

QRect ToQRect(const Rect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

// A spin's position from a magnitude: rounded, the fraction dropped.
int SpinPosition(double magnitude) {
    return int(magnitude + 0.5);
}

struct SpinSetting {
    int spin;
    int minimum;
    int maximum;
    std::vector<UpDownAccel> accel; // empty: the control's default
};

const SpinSetting kSpinSettings[] = {
    {IDC_SPINUPSPIN, 0, 10000, {{0, 10}, {2, 100}}},
    {IDC_SCENARIOSPIN, 0, 10000, {{0, 10}, {2, 100}}},
    {IDC_TEMPSPIN, -30, 30, {}},
    {IDC_PRECIPSPIN, -100, 1000, {{0, 1}, {2, 10}, {4, 100}}},
    {IDC_CO2SPIN, -100, 1000, {{0, 1}, {2, 10}}},
    {IDC_LONSPIN, 0, 180, {{0, 1}, {1, 10}, {2, 30}}},
    {IDC_LATSPIN, 0, 90, {{0, 1}, {1, 10}, {2, 30}}},
};

const struct {
    int id;
    const char* text;
} kToolTips[] = {
    {IDC_GLOBE, "Click to select location\nClick and drag to rotate\nDouble-click to zoom"},
    {IDC_LONGITUDE, "Enter longitude in decimal degrees"},
    {IDC_LATITUDE, "Enter latitude in decimal degrees"},
    {IDC_TEMPCHANGE, "Enter temperature change in degrees Celsius over the scenario period"},
    {IDC_PRECIPCHANGE, "Enter precipitation change in percent over the scenario period (e.g. "
                       "100% increase = doubled precipitation)"},
    {IDC_CO2CHANGE, "Enter change in CO2 concentrations in percent over the scenario period "
                    "(e.g. 100% increase = doubled CO2)"},
    {IDC_SPINUPYEARS,
     "Should normally be at least 3x the mean disturbance interval and at most 1000 years"},
    {IDC_SCENARIOYEARS, "Typically 100 years"},
    {IDC_GRAPH, "Right click to copy or save"},
    {IDC_FOLDERTREE, "Click to change folder for output file"},
};

} // namespace

CSkyfetchDlg::CSkyfetchDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("102");
    setWindowTitle(kDialogTitle);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    m_ownPicker = std::make_unique<QtFilePicker>(this);
    m_ownLauncher = std::make_unique<DesktopLauncher>();
    m_picker = m_ownPicker.get();
    m_launcher = m_ownLauncher.get();
    CreateControls();
    SetUpDataExchange();
    ConnectHandlers();
    // The first look-up of the icon theme reads the theme's index files: it waits until
    // the first frame is on the screen, and the window manager takes the icon then.
    auto* once = new QObject(this);
    connect(m_globe, &QOpenGLWidget::frameSwapped, once, [this, once] {
        setWindowIcon(ProgramIcon(style()));
        once->deleteLater();
    });
}

CSkyfetchDlg::~CSkyfetchDlg() = default;

void CSkyfetchDlg::CreateControls() {
    setFont(DialogFont());
    const DialogBaseUnits units = BaseUnits(font());
    resize(DluToPixelsX(kDialogWidthDlu, units), DluToPixelsY(kDialogHeightDlu, units));

    QLineEdit* lastEdit = nullptr;
    QButtonGroup* group = nullptr;
    QButtonGroup** groupSlots[] = {&m_tempGroup, &m_co2Group, &m_precipGroup, &m_lonGroup,
                                   &m_latGroup};
    int groupCount = 0;
    for (const ControlTemplate& control : DialogControls()) {
        Rect rect = DluToPixels(control.rect, units);
        const QString text = QString::fromUtf8(control.text);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, this);
            break;
        case ControlKind::Static: {
            auto* label = new QLabel(text, this);
            // Only a label with room for two lines wraps. A one-line label that is a
            // little too narrow for its text in this font is widened to show it whole.
            const bool wrap = rect.height >= 2 * QFontMetrics(font()).height();
            label->setWordWrap(wrap);
            if (!wrap)
                rect.width = std::max(rect.width, label->sizeHint().width());
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::Edit:
            lastEdit = new QLineEdit(this);
            widget = lastEdit;
            break;
        case ControlKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            edit->setFrame(false);
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
            widget = edit;
            break;
        }
        case ControlKind::UpDown: {
            auto* spin = new CUpDown(this);
            spin->SetBuddy(lastEdit);
            // Aligned to the right of its buddy, which gives up the room it takes.
            const int buddyId = lastEdit->objectName().toInt();
            const BuddyPlacement placed = AlignUpDownRight(m_layoutRects[buddyId], rect);
            m_layoutRects[buddyId] = placed.buddy;
            lastEdit->setGeometry(ToQRect(placed.buddy));
            rect = placed.upDown;
            widget = spin;
            break;
        }
        case ControlKind::RadioGroupStart:
            group = new QButtonGroup(this);
            *groupSlots[groupCount++] = group;
            [[fallthrough]];
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(text, this);
            group->addButton(radio);
            widget = radio;
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, this);
            button->setDefault(control.kind == ControlKind::DefaultButton);
            widget = button;
            break;
        }
        case ControlKind::FolderTree:
            m_folderTree = new QTreeWidget(this);
            m_folderTree->setHeaderHidden(true);
            m_folderTree->setColumnCount(1);
            m_folderTree->setRootIsDecorated(true);
            m_folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
            m_folderTree->setDragEnabled(false);
            m_folderTree->setMouseTracking(true);
            m_folderTree->setIconSize(QSize(16, 16));
            widget = m_folderTree;
            break;
        case ControlKind::Globe:
            widget = m_globe = CreateGlobeControl();
            break;
        case ControlKind::Graph:
            widget = m_graph = CreateGraphControl();
            break;
        }
        widget->setObjectName(QString::number(control.id));
        widget->setGeometry(ToQRect(rect));
        m_controls[control.id] = widget;
        m_layoutRects[control.id] = rect;
    }
}

// The one globe data object of the program: it only locates its block until the globe
// first paints.
static CGlobeData& TheGlobeData() {
    static CGlobeData data(ResourceId::GlobeData);
    return data;
}

CGlobeView* CSkyfetchDlg::CreateGlobeControl() {
    auto* globe = new CGlobeView(this);
    globe->SetHost(this);
    // The texture is made ready while the rest of the window is built.
    TheGlobeData().PrepareInBackground();
    globe->SetData(&TheGlobeData());
    globe->setFocusPolicy(Qt::StrongFocus);
    return globe;
}

CClimateGraph* CSkyfetchDlg::CreateGraphControl() {
    auto* graph = new CClimateGraph(this);
    graph->SetNoticeSource([this] { return QString::fromStdString(m_locationNotice); });
    graph->SetSaveFileSource([this] { return ChooseChartFile(); });
    return graph;
}

ClimateGraphData& CSkyfetchDlg::GraphData() {
    return *m_graph;
}

void CSkyfetchDlg::SetGlobeSelection(double lon, double lat) {
    m_globe->m_longitude = lon;
    m_globe->m_latitude = lat;
}

GlobeLocation CSkyfetchDlg::GlobeSelection() const {
    return {m_globe->m_longitude, m_globe->m_latitude};
}

void CSkyfetchDlg::ShowGlobeSelection() {
    m_globe->ShowSelectedLocation();
    m_globe->update();
}

bool CSkyfetchDlg::GlobeIsLand(double lon, double lat) const {
    return m_globe->IsLand(lon, lat);
}

void CSkyfetchDlg::RepaintGraph() {
    if (m_graph)
        m_graph->repaint();
}

void CSkyfetchDlg::FocusGlobe() {
    if (m_globe)
        m_globe->setFocus(Qt::OtherFocusReason);
}

void CSkyfetchDlg::SetUpDataExchange() {
    m_exchange.Text(Edit(IDC_OUTPUTFILE), &m_outputName);
    m_exchange.Radio(m_lonGroup, &m_westFlag);
    m_exchange.Radio(m_latGroup, &m_southFlag);
    m_exchange.Int(Edit(IDC_SPINUPYEARS), &m_initYears);
    m_exchange.Int(Edit(IDC_SCENARIOYEARS), &m_scenarioYears);
    m_exchange.Double(Edit(IDC_TEMPCHANGE), &m_tempChange);
    m_exchange.Double(Edit(IDC_PRECIPCHANGE), &m_precipChange);
    m_exchange.Double(Edit(IDC_CO2CHANGE), &m_co2Change);
    m_exchange.Radio(m_co2Group, &m_co2Decrease);
    m_exchange.Radio(m_tempGroup, &m_tempDecrease);
    m_exchange.Radio(m_precipGroup, &m_precipDecrease);
    m_exchange.Text(Edit(IDC_VERSION), &m_versionText);
    m_exchange.NumberText(Edit(IDC_LONGITUDE), &m_lonText, 7);
    m_exchange.NumberText(Edit(IDC_LATITUDE), &m_latText, 6);
}

bool CSkyfetchDlg::DoDataExchange(bool save) {
    if (save)
        return m_exchange.Save();
    m_exchange.Load();
    return true;
}

QWidget* CSkyfetchDlg::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QLineEdit* CSkyfetchDlg::Edit(int id) const {
    return qobject_cast<QLineEdit*>(Control(id));
}

CUpDown* CSkyfetchDlg::Spin(int id) const {
    return qobject_cast<CUpDown*>(Control(id));
}

void CSkyfetchDlg::ConnectHandlers() {
    auto* nameEdit = Edit(IDC_OUTPUTFILE);
    connect(nameEdit, &QLineEdit::textChanged, this, [this] { OnOutputNameChanged(); });
    for (int id : {IDC_OUTPUTFILE, IDC_LONGITUDE, IDC_LATITUDE})
        Edit(id)->installEventFilter(this);
    m_folderTree->installEventFilter(this);
    connect(qobject_cast<QPushButton*>(Control(IDC_BROWSE)), &QPushButton::clicked, this,
            &CSkyfetchDlg::OnBrowse);
    connect(qobject_cast<QPushButton*>(Control(IDC_NOCHANGES)), &QPushButton::clicked, this,
            &CSkyfetchDlg::OnNoChanges);
    connect(qobject_cast<QPushButton*>(Control(IDOK)), &QPushButton::clicked, this,
            &CSkyfetchDlg::OnOK);
    connect(qobject_cast<QPushButton*>(Control(IDCANCEL)), &QPushButton::clicked, this,
            &CSkyfetchDlg::OnCancel);

    connect(m_folderTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnTreeItemClicked(item); });
    connect(m_folderTree, &QTreeWidget::itemExpanded, this, &CSkyfetchDlg::OnTreeItemExpanding);
    connect(m_folderTree, &QTreeWidget::itemCollapsed, this, &CSkyfetchDlg::OnTreeItemExpanding);

    connect(Edit(IDC_LONGITUDE), &QLineEdit::textChanged, this,
            [this] { OnLocationTextChanged(true); });
    connect(Edit(IDC_LATITUDE), &QLineEdit::textChanged, this,
            [this] { OnLocationTextChanged(false); });
    // The location fields are narrow: a value put there while the user is elsewhere shows
    // from its start ("123.456", not "23.456" scrolled to its end).
    for (int id : {IDC_LONGITUDE, IDC_LATITUDE}) {
        QLineEdit* edit = Edit(id);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            if (focusWidget() != edit)
                edit->setCursorPosition(0);
        });
    }
    for (int id : {IDC_EAST, IDC_WEST})
        connect(qobject_cast<QRadioButton*>(Control(id)), &QRadioButton::clicked, this,
                [this] { OnHemisphereClicked(true); });
    for (int id : {IDC_NORTH, IDC_SOUTH})
        connect(qobject_cast<QRadioButton*>(Control(id)), &QRadioButton::clicked, this,
                [this] { OnHemisphereClicked(false); });
    // The location spins' own positions mean nothing: only the step counts, and the
    // handler puts the stepped value into the field itself.
    connect(Spin(IDC_LONSPIN), &CUpDown::positionAboutToChange, this,
            [this](int, int delta, bool* veto) {
                *veto = true;
                OnLocationSpin(true, delta);
            });
    connect(Spin(IDC_LATSPIN), &CUpDown::positionAboutToChange, this,
            [this](int, int delta, bool* veto) {
                *veto = true;
                OnLocationSpin(false, delta);
            });
}

bool CSkyfetchDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Tips are at most 400 pixels wide; longer ones wrap at blanks.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && !widget->toolTip().isEmpty()) {
            const QFontMetrics metrics(QToolTip::font());
            const std::string wrapped =
                WrapToWidth(widget->toolTip().toStdString(), 400, [&](const std::string& s) {
                    return metrics.horizontalAdvance(QString::fromStdString(s));
                });
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                               QString::fromStdString(wrapped), widget);
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn && watched == m_folderTree)
        ShowTreeFocus();
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (watched == Edit(IDC_OUTPUTFILE)) {
            // A menu, a message box or another window taking over does not mean the user
            // has finished the name: renaming it then would change the name under a
            // running "Generate file". The name's rules are applied when the user leaves
            // the field within the window, or by "Generate file" itself.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                OnOutputNameFocusLost();
        } else if (reason != Qt::PopupFocusReason &&
                   (watched == Edit(IDC_LONGITUDE) || watched == Edit(IDC_LATITUDE))) {
            auto* edit = static_cast<QLineEdit*>(watched);
            OnLocationFocusLost(edit == Edit(IDC_LONGITUDE));
            // Left for another field, the value shows from its start. Left for another
            // window, the caret stays where the user will go on typing.
            if (reason != Qt::ActiveWindowFocusReason)
                edit->setCursorPosition(0);
        }
    }
    return QDialog::eventFilter(watched, event);
}

int CSkyfetchDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CSkyfetchDlg::setVisible(bool visible) {
    // The globe draws its first frame as soon as it is shown; by then it must have its
    // data and the restored location.
    if (visible)
        OnInitDialog();
    QDialog::setVisible(visible);
}

bool CSkyfetchDlg::OnInitDialog() {
    if (m_initialised)
        return false;
    m_initialised = true;

    // 1. The controls show the members as constructed.
    UpdateData(false);

    // 2. The output folder is the current directory.
    m_outputFolder = CurrentFolder();

    // 3, 4. Protocol and changes as the last successful check stored them; a change is
    // shown as magnitude and direction.
    using namespace settings;
    const Profile app = application_profile();
    m_initYears = app.read_int(kSpinupYears, kDefaultSpinupYears);
    m_scenarioYears = app.read_int(kScenarioYears, kDefaultScenarioYears);
    m_tempChange = decode_change(app.read_int(kTempChange, kNoChange));
    m_precipChange = decode_change(app.read_int(kPrecipChange, kNoChange));
    m_co2Change = decode_change(app.read_int(kCo2Change, kNoChange));
    const struct {
        double* value;
        int* decrease;
    } changes[] = {{&m_tempChange, &m_tempDecrease},
                   {&m_precipChange, &m_precipDecrease},
                   {&m_co2Change, &m_co2Decrease}};
    for (const auto& change : changes) {
        *change.decrease = 0;
        if (!(*change.value >= 0)) {
            *change.value = -*change.value;
            *change.decrease = 1;
        }
    }

    // 5.
    Spin(IDC_TEMPSPIN)->SetPos(SpinPosition(m_tempChange));
    Spin(IDC_PRECIPSPIN)->SetPos(SpinPosition(m_precipChange));
    Spin(IDC_CO2SPIN)->SetPos(SpinPosition(m_co2Change));

    // 6.
    if (m_outputName.empty())
        MakeUniqueName(m_outputName, true);

    // 7, 8. The location, shown as magnitude and hemisphere; 0 counts as west (south).
    m_lonValue = decode_location(app.read_int(kLongitude, kDefaultLongitude));
    m_latValue = decode_location(app.read_int(kLatitude, kDefaultLatitude));
    SetGlobeSelection(m_lonValue, m_latValue);
    if (m_lonValue > 0) {
        m_westFlag = 0;
    } else {
        m_lonValue = -m_lonValue + 0.0; // + 0.0: a magnitude of 0 reads "0", not "-0"
        m_westFlag = 1;
    }
    if (m_latValue > 0) {
        m_southFlag = 0;
    } else {
        m_latValue = -m_latValue + 0.0;
        m_southFlag = 1;
    }
    m_lonText = FormatG(m_lonValue);
    m_latText = FormatG(m_latValue);

    // 9.
    Spin(IDC_LATSPIN)->SetPos(SpinPosition(m_latValue));
    Spin(IDC_LONSPIN)->SetPos(SpinPosition(m_lonValue));

    // 10. The graph's fonts follow its height at this moment.
    m_graphFonts = MakeGraphFonts(m_graph->ClientHeight());
    m_graph->SetFonts(&m_graphFonts);

    // 11. The graph shows the restored cell (no land test yet, so no notice).
    UpdateData(false);
    update_climatology();

    // 12. The folder tree.
    m_browsePath.clear();
    m_treeImages = {style()->standardIcon(QStyle::SP_DirIcon),
                    style()->standardIcon(QStyle::SP_DirOpenIcon),
                    style()->standardIcon(QStyle::SP_FileIcon)};
    FillFolderTree(m_outputName);

    // 13. No file has been written in this run yet.
    shared_profile().write_string(kHaveOutput, "");

    // 14.
    for (const SpinSetting& setting : kSpinSettings) {
        CUpDown* spin = Spin(setting.spin);
        if (!setting.accel.empty())
            spin->SetAccel(setting.accel);
        spin->SetRange(setting.minimum, setting.maximum);
    }

    // 15.
    m_versionText = VersionText();
    UpdateData(false);

    // 16.
    SetUpToolTips();

    // 17. The size at this point is the smallest the window may take. The window has no
    // frame yet, and the frame the desktop adds later is not ours to size: every size
    // here is a client size, the size resize() takes.
    m_initialClientSize = {width(), height()};
    m_lastClientSize = m_initialClientSize;
    m_minWindowSize = m_initialClientSize;
    setMinimumSize(width(), height());
    m_ready = true;

    // 18.
    FocusGlobe();
    return false;
}

void CSkyfetchDlg::SetUpToolTips() {
    for (const auto& tip : kToolTips) {
        Control(tip.id)->setToolTip(QString::fromUtf8(tip.text));
        Control(tip.id)->installEventFilter(this);
    }
    // The version field also tells which climate data the program carries.
    Control(IDC_VERSION)
        ->setToolTip(QString::fromStdString("Climate data: " + climate_source_text()));
    Control(IDC_VERSION)->installEventFilter(this);
}

void CSkyfetchDlg::OnNoChanges() {
    // Take in what was typed first, so that refreshing the controls below does not put
    // older values back into the years and location fields.
    UpdateData(true);
    m_tempChange = 0.0;
    m_precipChange = 0.0;
    m_co2Change = 0.0;
    m_tempDecrease = 0;
    m_precipDecrease = 0;
    m_co2Decrease = 0;
    UpdateData(false);
}

void CSkyfetchDlg::OnCancel() {
    reject();
}

void CSkyfetchDlg::resizeEvent(QResizeEvent* event) {
    const Size client{event->size().width(), event->size().height()};
    if (m_ready) {
        const Size snap = SnapBackSize(client, m_initialClientSize, m_minWindowSize);
        if (snap.width > 0) {
            resize(snap.width, snap.height);
        } else if (!(client == m_lastClientSize)) {
            const int dx = client.width - m_lastClientSize.width;
            const int dy = client.height - m_lastClientSize.height;
            for (const ControlTemplate& control : DialogControls()) {
                Rect& rect = m_layoutRects[control.id];
                rect = ResizedRect(rect, control.resize, dx, dy);
                m_controls[control.id]->setGeometry(ToQRect(rect));
            }
            m_lastClientSize = client;
        }
    }
    update();
    QDialog::resizeEvent(event);
}

} // namespace skyfetch
