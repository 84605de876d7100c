#include "graph/ClimateGraph.h"

#include "driver/SafeFileWriter.h"
#include "graph/ChartFile.h"
#include "graph/ClipboardFormats.h"
#include "graph/DrawGraph.h"
#include "putil/FileSystem.h"
#include "putil/UserPrompt.h"
#include "rules/OutputFileCheck.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cstring>

namespace skyfetch {
namespace {

// The graph drawn on an SVG generator writing to device, w x h pixels.
void WriteSvg(CClimateGraph& graph, QIODevice* device, int w, int h) {
    QSvgGenerator generator;
    generator.setOutputDevice(device);
    generator.setSize(QSize(w, h));
    generator.setViewBox(QRect(0, 0, w, h));
    generator.setTitle(QStringLiteral("Graph"));
    generator.setDescription(QStringLiteral("Skyfetch"));
    QPainter painter(&generator);
    graph.DrawGraph(&painter, w, h);
}

// The graph drawn on a white image of w x h drawing units (at least one each way) at
// scale pixels per unit.
QImage DrawImage(CClimateGraph& graph, int w, int h, int scale) {
    QImage image(std::max(w, 1) * scale, std::max(h, 1) * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    image.setDotsPerMeterX(PictureDotsPerMeter(scale));
    image.setDotsPerMeterY(PictureDotsPerMeter(scale));
    QPainter painter(&image);
    painter.scale(scale, scale);
    graph.DrawGraph(&painter, w, h);
    return image;
}

// The graph on one PDF page of w x h points, a pixel to a point.
bool WritePdf(CClimateGraph& graph, QIODevice* device, int w, int h) {
    QPdfWriter writer(device);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(std::max(w, 1), std::max(h, 1)), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Graph"));
    writer.setCreator(QStringLiteral("Skyfetch"));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    graph.DrawGraph(&painter, w, h);
    return painter.end();
}

} // namespace

CClimateGraph::CClimateGraph(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void CClimateGraph::SetFonts(const GraphFonts* fonts) {
    m_fonts = fonts;
}

void CClimateGraph::SetNoticeSource(std::function<QString()> source) {
    m_noticeSource = std::move(source);
}

void CClimateGraph::SetSaveFileSource(std::function<std::string()> source) {
    m_saveFileSource = std::move(source);
}

bool CClimateGraph::ShowsNotice() const {
    return m_noticeSource && !m_noticeSource().isEmpty();
}

const GraphFonts& CClimateGraph::Fonts() {
    if (m_fonts != nullptr)
        return *m_fonts;
    if (!m_haveOwnFonts) {
        m_ownFonts = MakeGraphFonts(ClientHeight());
        m_haveOwnFonts = true;
    }
    return m_ownFonts;
}

void CClimateGraph::paintEvent(QPaintEvent*) {
    const QRect client = contentsRect();
    if (!m_sized) {
        m_initialWidth = client.width();
        m_sized = true;
    }
    QPainter painter(this);
    painter.save();
    painter.setClipRect(client);
    painter.fillRect(client, Qt::white); // the window's own background
    painter.translate(client.topLeft());
    if (ShowsNotice())
        DrawGraphNotice(&painter, QStringLiteral("Not land!"), Fonts(), client.width(),
                        client.height());
    else
        DrawGraph(&painter, client.width(), client.height());
    painter.restore();
    drawFrame(&painter);
}

void CClimateGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Copy to clipboard"));
    QAction* save = menu.addAction(QStringLiteral("&Save chart as..."));
    copy->setEnabled(!ShowsNotice());
    save->setEnabled(!ShowsNotice() && m_saveFileSource != nullptr);
    // The chosen item comes back to the graph as its command.
    connect(copy, &QAction::triggered, this, [this] { OnCommand(kCopyCommand); });
    connect(save, &QAction::triggered, this, [this] { OnCommand(kSaveCommand); });
    menu.exec(mapToGlobal(event->position().toPoint()));
}

void CClimateGraph::DrawGraph(QPainter* painter, int width, int height) {
    skyfetch::DrawGraph(painter, *this, Fonts(), width, height, InitialWidth());
}

bool CClimateGraph::OnCommand(int id) {
    // While "Not land!" shows there is no chart: a copy or a file would hold another
    // cell's than the one selected.
    if (ShowsNotice())
        return true;
    if (id == kCopyCommand)
        CopyToClipboard();
    else if (id == kSaveCommand)
        SaveChartAs();
    return true;
}

void CClimateGraph::CopyToClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return; // no clipboard: nothing is copied and nothing is said
    clipboard->setMimeData(MakeClipboardData());
}

QMimeData* CClimateGraph::MakeClipboardData() {
    const int w = ClientWidth();
    const int h = ClientHeight();
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    WriteSvg(*this, &svg, w, h);

    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), svg.data());
    const QImage image = DrawImage(*this, w, h, ClipboardPictureScale(devicePixelRatioF()));
    data->setImageData(image);
    AddPlatformClipboardFormats(*data, *this, Fonts(), w, h, InitialWidth(), image);
    return data;
}

void CClimateGraph::SaveChartAs() {
    if (!m_saveFileSource)
        return;
    const std::string chosen = m_saveFileSource();
    if (chosen.empty())
        return;
    const std::string path = ChartFileName(chosen);
    // A name the system will not describe is not called existing: saving reports why.
    if (const FileKind kind = entry_kind(path);
        kind != FileKind::None && kind != FileKind::Unreachable &&
        user_prompt().show(OverwriteQuestion(path), PromptIcon::Question, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
        return;
    std::string error;
    if (!SaveChart(path, error)) {
        if (!error.empty() && error.back() != '.')
            error += '.';
        user_prompt().show("Could not save the chart as \"" + path + "\".\n" + error,
                           PromptIcon::Error, PromptButtons::Ok);
    }
}

bool CClimateGraph::SaveChart(const std::string& path, std::string& error) {
    const int w = ClientWidth();
    const int h = ClientHeight();
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    bool drawn = true;
    switch (ChartFormatOf(path)) {
    case ChartFormat::Png:
        drawn = DrawImage(*this, w, h, kSavedPictureScale).save(&picture, "PNG");
        break;
    case ChartFormat::Pdf:
        drawn = WritePdf(*this, &picture, w, h);
        break;
    case ChartFormat::Svg:
    case ChartFormat::None:
        WriteSvg(*this, &picture, w, h);
        break;
    }
    if (!drawn) {
        error = "The picture could not be drawn";
        return false;
    }
    // Written as the driver file is: a failed save leaves an older file as it was.
    SafeFileWriter file;
    WriteResult result = file.open(path, ExistingFile::Replace);
    if (result) {
        file.write(picture.data().constData(), static_cast<std::size_t>(picture.data().size()));
        result = file.commit();
    }
    if (result)
        return true;
    error = result.systemError != 0 ? std::strerror(result.systemError) : result.error;
    return false;
}

} // namespace skyfetch
