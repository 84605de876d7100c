#pragma once

#include "graph/ClimateGraphData.h"
#include "graph/GraphFonts.h"

#include <QFrame>
#include <QString>

#include <functional>
#include <string>

class QMimeData;
class QPainter;

namespace skyfetch {

// The climatology graph: a bordered child window of the main dialog (in the place of
// control 1029) showing the selected cell's monthly precipitation bars and temperature
// line, or "Not land!" while the owner's location notice is set. A right click offers
// "&Copy to clipboard", which puts the drawing on the clipboard as SVG and PNG (on
// Windows also as an enhanced metafile), and "&Save chart as...", which writes the same
// drawing to an SVG, PNG or PDF file. Both are disabled while "Not land!" shows: there is
// no chart to copy then.
//
// Use from the owning dialog:
//   - Once, when the dialog initialises: make the fonts with
//     MakeGraphFonts(graph->ClientHeight()), keep them in the dialog and pass their
//     address to SetFonts; pass a function returning the location notice to
//     SetNoticeSource, and one that asks for the file to save to SetSaveFileSource. The
//     tooltip is the dialog's to set.
//   - On each lookup: write m_hasData, m_temperature and m_precipitation (inherited from
//     ClimateGraphData) and call repaint() to redraw at once. After a failed lookup set
//     only m_hasData to 0 and leave the arrays.
// The width at the first paint is kept in m_initialWidth; later widths shift and widen the
// layout relative to it.
class CClimateGraph : public QFrame, public ClimateGraphData {
    Q_OBJECT
public:
    static constexpr int kCopyCommand = 3007;
    static constexpr int kSaveCommand = 3008;

    explicit CClimateGraph(QWidget* parent = nullptr);

    // The dialog's fonts (not owned; they must outlive the graph's drawings). Until set,
    // the graph makes its own from its client height at the first drawing.
    void SetFonts(const GraphFonts* fonts);
    // Where the graph reads the owner's location notice: while it returns a non-empty
    // text the graph shows "Not land!" instead of the drawing.
    void SetNoticeSource(std::function<QString()> source);
    // Where "Save chart as..." gets its file: the function shows a file dialog and returns
    // the chosen path, or "" when cancelled. Without one the command is disabled.
    void SetSaveFileSource(std::function<std::string()> source);
    // True while the location notice replaces the drawing.
    bool ShowsNotice() const;

    // The drawing area inside the border.
    int ClientWidth() const { return contentsRect().width(); }
    int ClientHeight() const { return contentsRect().height(); }

    // Draws this graph's data on painter into (0, 0)-(width, height), laid out against
    // the first-paint width: what the paint handler shows for a land cell and what a copy
    // holds.
    void DrawGraph(QPainter* painter, int width, int height);

    // A command from the context menu (or any other source). kCopyCommand copies the
    // graph to the clipboard, kSaveCommand saves it to a file; neither does anything
    // while the notice shows. Every command counts as handled, so the result is true.
    bool OnCommand(int id);
    // Puts the current drawing on the clipboard (see MakeClipboardData).
    void CopyToClipboard();
    // The clipboard object of a copy: "image/svg+xml" with the graph drawn on an SVG
    // generator of the client size and the same drawing as an image at
    // ClipboardPictureScale pixels per unit (ChartFile.h), and what the platform's
    // programs look for besides (ClipboardFormats.h: on Windows an enhanced
    // metafile and a PNG). Without data the picture holds only the clear.
    QMimeData* MakeClipboardData();
    // "Save chart as...": asks for the file (a name without a picture extension gets
    // ".svg"), asks before replacing an existing file and reports a failed write.
    void SaveChartAs();
    // Writes the drawing of MakeClipboardData to path, in the format its extension names
    // (SVG unless ".png" or ".pdf"; a PDF page of the client size in points; a PNG at
    // kSavedPictureScale pixels per unit). The file is
    // replaced only when the whole picture was written. False with the system's reason
    // in error on failure.
    bool SaveChart(const std::string& path, std::string& error);

    bool m_sized = false;   // set at the first paint, when m_initialWidth is recorded
    int m_initialWidth = 0; // the client width at the first paint

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const GraphFonts& Fonts();
    // The width the layout treats as the first one; before any paint, the current one.
    int InitialWidth() const { return m_sized ? m_initialWidth : ClientWidth(); }

    const GraphFonts* m_fonts = nullptr;
    GraphFonts m_ownFonts;
    bool m_haveOwnFonts = false;
    std::function<QString()> m_noticeSource;
    std::function<std::string()> m_saveFileSource;
};

} // namespace skyfetch
