#pragma once

#include "dialog/DataExchange.h"
#include "dialog/DialogTemplate.h"
#include "globe/GlobeHost.h"
#include "graph/ClimateGraphData.h"
#include "graph/GraphFonts.h"
#include "rules/LocationRules.h"

#include <QDialog>
#include <QIcon>
#include <QList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace skyfetch {

class CClimateGraph;
class CGlobeView;
class CUpDown;
class FilePicker;
class Launcher;

// The program's one window: the output file and folder, the simulation protocol, the
// scenario changes and the location, the globe and the climatology graph, and the
// "Generate file" command. The members below are the state the window's parts share;
// DoDataExchange copies the bound ones to or from the controls, all at once.
class CSkyfetchDlg : public QDialog, public GlobeHost {
    Q_OBJECT
public:
    explicit CSkyfetchDlg(QWidget* parent = nullptr);
    ~CSkyfetchDlg() override;

    // Runs the initialisation (once) and the dialog modally.
    int DoModal();
    // The initialisation, also run when the dialog is first shown (before any of its
    // controls is shown or painted).
    bool OnInitDialog();
    void setVisible(bool visible) override;

    // Copies every bound member to its control (save = false) or back (save = true).
    // Reading stops at the first text that does not read, with a message.
    bool DoDataExchange(bool save);
    bool UpdateData(bool save = true) { return DoDataExchange(save); }

    // The controls by their template ids.
    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    CUpDown* Spin(int id) const;
    QTreeWidget* FolderTree() const { return m_folderTree; }

    // Replaces the file dialog and the desktop requests (the dialog keeps neither).
    void SetFilePicker(FilePicker* picker) { m_picker = picker; }
    void SetLauncher(Launcher* launcher) { m_launcher = launcher; }

    // Output file and folder.
    void FillFolderTree(std::string path);
    // Makes the tree's current item (at first the file's) selected and visible: called
    // when the tree takes the keyboard focus.
    void ShowTreeFocus();
    void BrowseFromFolder(std::string folder, std::string name);
    // Enters the folder of path and keeps the bare name as the output name.
    void TakeOutputPath(const std::string& path);
    bool CheckOutputFile();
    // Protocol and scenario checks of "Generate file"; they store the values on success.
    bool validate_protocol();
    bool validate_scenario();
    // Location range checks and the selected cell.
    void CheckLongitude(bool report);
    void CheckLatitude(bool report);
    void UpdateCellCorner();
    // Looks the selected cell up and gives its 10-year monthly means to the graph.
    void update_climatology();
    // Land test, notice, climatology and globe for the current location.
    void ApplyLocation();

    // GlobeHost.
    void ApplyPickedLocation(double lon, double lat) override;
    void OnGlobeArrowKey(int key) override;
    void FocusGlobe() override;
    void ShowNotLandAt(int globalX, int globalY) override;

    // The globe view (control 1022) and the climatology graph (control 1029).
    CGlobeView* Globe() const { return m_globe; }
    CClimateGraph* Graph() const { return m_graph; }
    // What the graph shows.
    ClimateGraphData& GraphData();

    // Bound members.
    std::string m_outputName;
    int m_westFlag = -1;
    int m_southFlag = -1;
    int m_initYears = 0;
    int m_scenarioYears = 0;
    double m_tempChange = 0.0;
    double m_precipChange = 0.0;
    double m_co2Change = 0.0;
    int m_co2Decrease = -1;
    int m_tempDecrease = -1;
    int m_precipDecrease = -1;
    std::string m_versionText;
    std::string m_lonText;
    std::string m_latText;

    // Other shared state.
    std::string m_outputFolder;
    std::string m_browsePath;
    double m_lonValue = 0.0;
    double m_latValue = 0.0;
    double m_cornerLon = 0.0;
    double m_cornerLat = 0.0;
    std::string m_locationNotice;
    QList<QIcon> m_treeImages;
    Size m_minWindowSize;
    Size m_initialClientSize;
    Size m_lastClientSize;
    bool m_ready = false;
    bool m_fillingTree = false;

public slots:
    void OnOK();
    void OnCancel();
    void OnNoChanges();
    void OnBrowse();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    CGlobeView* CreateGlobeControl();
    CClimateGraph* CreateGraphControl();
    // The globe view's selected location, land test and turn to the selection.
    void SetGlobeSelection(double lon, double lat);
    GlobeLocation GlobeSelection() const;
    bool GlobeIsLand(double lon, double lat) const;
    void ShowGlobeSelection();
    void RepaintGraph();
    void SetUpDataExchange();
    void SetUpSpins();
    void SetUpToolTips();
    void ConnectHandlers();

    void OnOutputNameChanged();
    void OnOutputNameFocusLost();
    // "Save chart as..." of the graph: the file dialog, starting in the folder a chart
    // was last saved to; that folder is remembered. "" when cancelled.
    std::string ChooseChartFile();
    // The name check of CheckOutputFile for a given name, with its message.
    bool CheckOutputName(const std::string& name);
    void OnTreeItemClicked(QTreeWidgetItem* item);
    void OnTreeChainClicked(const std::vector<std::string>& chain, int itemCount);
    void OnTreeItemExpanding();
    void OnLocationTextChanged(bool longitude);
    void OnLocationFocusLost(bool longitude);
    void OnHemisphereClicked(bool longitude);
    void OnLocationSpin(bool longitude, int delta);
    void CheckLocationRange(bool longitude, bool report);

    DataExchange m_exchange;
    std::map<int, QWidget*> m_controls;
    std::map<int, Rect> m_layoutRects; // pixel rectangles the resize rules work on
    QTreeWidget* m_folderTree = nullptr;
    QButtonGroup* m_lonGroup = nullptr;
    QButtonGroup* m_latGroup = nullptr;
    QButtonGroup* m_tempGroup = nullptr;
    QButtonGroup* m_precipGroup = nullptr;
    QButtonGroup* m_co2Group = nullptr;
    CGlobeView* m_globe = nullptr;
    CClimateGraph* m_graph = nullptr;
    GraphFonts m_graphFonts; // the graph's horizontal, upward and downward fonts
    std::unique_ptr<FilePicker> m_ownPicker;
    std::unique_ptr<Launcher> m_ownLauncher;
    FilePicker* m_picker = nullptr;
    Launcher* m_launcher = nullptr;
    bool m_initialised = false;
};

} // namespace skyfetch
