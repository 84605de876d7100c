#include "graph/ClimateGraph.h"

#include "graph/DrawGraph.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>

namespace skyfetch {

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
    const bool notLand = m_noticeSource && !m_noticeSource().isEmpty();
    if (notLand)
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
    // The chosen item comes back to the graph as its command.
    connect(copy, &QAction::triggered, this, [this] { OnCommand(kCopyCommand); });
    menu.exec(mapToGlobal(event->position().toPoint()));
}

void CClimateGraph::DrawGraph(QPainter* painter, int width, int height) {
    skyfetch::DrawGraph(painter, *this, Fonts(), width, height, InitialWidth());
}

bool CClimateGraph::OnCommand(int id) {
    if (id == kCopyCommand)
        CopyToClipboard();
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
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&svg);
        generator.setSize(QSize(w, h));
        generator.setViewBox(QRect(0, 0, w, h));
        generator.setTitle(QStringLiteral("Graph"));
        generator.setDescription(QStringLiteral("Skyfetch"));
        QPainter painter(&generator);
        DrawGraph(&painter, w, h);
    }

    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawGraph(&painter, w, h);
    }

    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), svg.data());
    data->setImageData(image);
    return data;
}

} // namespace skyfetch
