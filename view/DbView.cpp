#include "view/DbView.h"

#include "diagram/CommandMenu.h"
#include "db/Dialect.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/SharedResources.h"
#include "diagram/TableWnd.h"
#include "dialogs/CreateTableDlg.h"
#include "document/Doc.h"
#include "document/ErrorReport.h"
#include "res/Resource.h"
#include "view/ArrangeWindows.h"
#include "view/DiagramCanvas.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"
#include "view/RelationshipMap.h"
#include "view/TableCommands.h"
#include "view/ViewCommands.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// The extent of the mapping: 16384 device units span this many logical
// units, so that one logical unit is 1/96 inch.
constexpr int kMappingExtent = 16384;
// F6 brings a table window into sight with this much room above and left.
constexpr int kSightMargin = 50;
// Page boundaries are drawn for this many pages across and down.
constexpr int kBoundaryPages = 10;
// The dashes of a page boundary: 18 pixels drawn, then 6 left out.
constexpr int kDash = 18;
constexpr int kDashPeriod = kDash + 6;

// The selected relationship is drawn with a pen 2 pixels wide, the others
// 1 pixel wide.
QPen RelationshipPen(bool selected) { return QPen(Qt::black, selected ? 2 : 1); }

int ModeOfCommand(int id)
{
    switch (id) {
    case Cmd::ViewSchema: return Schema;
    case Cmd::ViewTableDiagram: return TableDiagram;
    case Cmd::ViewAttributes: return Attributes;
    default: return -1;
    }
}

} // namespace

CDbView::CDbView(CDoc *doc, QWidget *parent)
    : CDiagramSurface(parent), m_pDoc(doc), m_lines(std::make_unique<CRelationshipMap>(*this))
{
    m_canvas = new CDiagramCanvas(this);
    setWidget(m_canvas);
    m_canvas->installEventFilter(this);
    // Before anything is painted at the new place.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CDbView::ShowNearTables);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CDbView::ShowNearTables);
    setFocusPolicy(Qt::StrongFocus);
    doc->SetView(this);
}

// The table window objects belong to the document; their windows are the
// canvas's children only while the view lives, so they are handed back
// before the canvas deletes its children.
CDbView::~CDbView()
{
    if (!m_pDoc)
        return;
    for (int i = 0; i < m_pDoc->TableCount(); ++i) {
        CTableWnd *table = m_pDoc->GetTable(i);
        if (table->parentWidget() == m_canvas) {
            table->hide();
            table->setParent(nullptr);
        }
    }
    if (m_pDoc->GetView() == this)
        m_pDoc->SetView(nullptr);
}

CDoc *CDbView::GetDocument() const { return m_pDoc; }

CTableSource *CDbView::Source() const { return m_pDoc; }

bool CDbView::RunTableCommand(CTableWnd &table, int id)
{
    return m_pDoc && TableCommands::Run(*m_pDoc, *this, table, id);
}

QPoint CDbView::ScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

bool CDbView::HasWindow(const CTableWnd *table) const
{
    return table && table->parentWidget() == m_canvas;
}

// ---------------------------------------------------------------------------
// Initial update and scrolling

void CDbView::OnInitialUpdate()
{
    setWindowTitle(QString::fromStdString(m_pDoc->GetSession().m_dsn));
    m_canvas->update();
    MeasurePrinterPage();
    for (int i = 0; i < m_pDoc->TableCount(); ++i)
        PlaceTable(m_pDoc->GetTable(i));
    FitCanvasToTables();
    ShowNearTables();
}

void CDbView::ShowTable(CTableWnd *table)
{
    PlaceTable(table);
    ShowNearTables();
}

// The window goes onto the canvas hidden, at its place and size; whether it
// is shown depends on where it stands.
void CDbView::PlaceTable(CTableWnd *table)
{
    table->setParent(m_canvas);
    if (table->isHidden())
        m_drawnOnCanvas.insert(table);
    else
        m_drawnOnCanvas.erase(table);
    table->installEventFilter(this);
    table->setWindowTitle(QString::fromStdString(table->m_name));
    // FitToContents gives the window its size for the view mode.
    table->SetZoom(m_zoom);
    table->MoveTo(table->m_savedPos);
    table->setWindowIcon(QIcon(Shared::DbImage(TableImage)));
    table->FitToContents();
    PullIntoReach(table);
}

void CDbView::TableContentsChanged(CTableWnd *table)
{
    if (!HasWindow(table))
        return;
    m_lines->TableChanged(table);
    m_canvas->update();
}

void CDbView::RemoveTable(CTableWnd *table)
{
    if (m_pActiveTable == table)
        m_pActiveTable = nullptr;
    if (m_pDropTable == table)
        m_pDropTable = nullptr;
    // Hiding the window that has (or, while a message box is up, will get
    // back) the focus passes the focus down the focus chain, which can lead
    // into another document's window and make that document the active one.
    const QWidget *focus = window()->focusWidget();
    if (focus == table || table->isAncestorOf(focus))
        setFocus(Qt::OtherFocusReason);
    m_pDoc->RemoveTable(table);
    m_drawnOnCanvas.erase(table);
    if (m_touched == table)
        m_touched = nullptr;
    table->hide();
    viewport()->update();
    m_canvas->update();
}

void CDbView::CoverTable(const QRect &diagramRect)
{
    const auto scaled = [this](int value) { return static_cast<int>(std::ceil(value * m_zoom)); };
    const QSize needed(std::max(m_canvas->width(), scaled(diagramRect.right() + 1 + kDiagramMargin)),
                       std::max(m_canvas->height(), scaled(diagramRect.bottom() + 1 + kDiagramMargin)));
    if (needed != m_canvas->size())
        m_canvas->resize(needed);
}

// Scrolling reaches no further left or up than the diagram's origin. A
// window placed beyond it (a diagram file may say so) or left there when it
// narrows (from the Attributes mode to another) moves back until as much of
// it shows as dragging it by its caption leaves. True when it moved.
bool CDbView::PullIntoReach(CTableWnd *table)
{
    const QRect at = table->DiagramRect();
    const QPoint reachable(std::max(at.x(), TableMetrics::kMinimumVisibleWidth - at.width()),
                           std::max(at.y(), 0));
    if (reachable == at.topLeft())
        return false;
    table->MoveTo(reachable);
    return true;
}

// The diagram is at least 10000 pixels square; table windows placed beyond
// that (by the automatic layout of a large schema or by a diagram file)
// widen it, so that every one can be scrolled to. Zoomed out, the canvas
// still fills the viewport: the area beside the diagram is background too.
void CDbView::FitCanvasToTables()
{
    QRect extent(0, 0, kDiagramSize - kDiagramMargin, kDiagramSize - kDiagramMargin);
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i)
        if (const CTableWnd *table = m_pDoc->GetTable(i); HasWindow(table))
            extent |= table->DiagramRect();
    const auto scaled = [this](int value) { return static_cast<int>(std::ceil(value * m_zoom)); };
    QSize size(scaled(std::max(kDiagramSize, extent.right() + 1 + kDiagramMargin)),
               scaled(std::max(kDiagramSize, extent.bottom() + 1 + kDiagramMargin)));
    if (m_zoom != 1.0)
        size = size.expandedTo(viewport()->size());
    m_canvas->resize(size);
}

bool CDbView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_canvas) {
        if (type == QEvent::ChildAdded || type == QEvent::ChildRemoved)
            m_lines->Invalidate();
    } else if ((type == QEvent::Move || type == QEvent::Resize) && !m_rescaling) {
        // A change of zoom moves every window on the canvas but none in the
        // diagram: the lines and the reach stay as they are.
        auto *table = qobject_cast<CTableWnd *>(watched);
        // A window pulled into reach follows with a move of its own.
        if (HasWindow(table) && !PullIntoReach(table)) {
            m_lines->TableChanged(table);
            CoverTable(table->DiagramRect());
            ScheduleShowNear();
        }
    } else if (type == QEvent::Wheel) {
        // Ctrl+wheel over a table window zooms about the mouse point as it
        // does over the background; the table window has no use for it.
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (HasWindow(qobject_cast<CTableWnd *>(watched)) && (wheel->modifiers() & Qt::ControlModifier)) {
            ZoomByWheel(wheel->angleDelta().y(), viewport()->mapFromGlobal(wheel->globalPosition().toPoint()));
            return true;
        }
    } else if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::ParentChange) {
        // A dropped table is hidden once the document has let it go.
        if (!m_showingNear)
            m_lines->Invalidate();
    }
    return QScrollArea::eventFilter(watched, event);
}

// A page step is the visible area and a line step a tenth of it.
void CDbView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    const QSize page = viewport()->size();
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setPageStep(page.height());
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 10));
    verticalScrollBar()->setSingleStep(std::max(1, page.height() / 10));
    if (m_zoom != 1.0)
        FitCanvasToTables();
    ShowNearTables();
}

// ---------------------------------------------------------------------------
// Commands

bool CDbView::CommandState(int id, bool &enabled, bool &checked) const
{
    checked = false;
    const bool tableActive = m_pActiveTable != nullptr;
    switch (id) {
    case Cmd::ViewSchema:
    case Cmd::ViewTableDiagram:
    case Cmd::ViewAttributes:
        enabled = true;
        checked = m_pDoc && m_pDoc->m_viewMode == ModeOfCommand(id);
        return true;
    case Cmd::Drop:
        enabled = m_selRelationship != -1 || tableActive;
        return true;
    case Cmd::EditTable:
    case Cmd::AddColumn:
    case Cmd::CreateIndex:
    case Cmd::CreateTrigger:
        enabled = tableActive;
        return true;
    case Cmd::EditUndo:
        enabled = CanUndoLayout();
        return true;
    case Cmd::EditRedo:
        enabled = CanRedoLayout();
        return true;
    case Cmd::ViewZoomIn:
    case Cmd::ViewZoomOut:
    case Cmd::ViewZoomReset:
    case Cmd::ViewZoomFit:
    case Cmd::ViewArrange:
    case Cmd::FileExport:
    case Cmd::FileExportSql:
    case Cmd::EditFind:
    case Cmd::CreateTable:
    case Cmd::ViewRefresh:
    case Cmd::NextPane:
    case Cmd::PrevPane:
    case Cmd::FilePrint:
    case Cmd::FilePrintDirect:
    case Cmd::FilePrintPreview:
    case Cmd::FilePrintSetup:
        enabled = true;
        return true;
    // No part of the program handles these; they stay disabled. A foreign
    // key is made by dragging a row onto another table window.
    case Cmd::CreateForeignKey:
    case Cmd::HideTable:
        enabled = false;
        return true;
    case Cmd::ViewArrangeSelected:
        enabled = PickedTableCount() > 0;
        return true;
    default:
        return false;
    }
}

bool CDbView::OnCommand(int id)
{
    switch (id) {
    case Cmd::ViewSchema:
    case Cmd::ViewTableDiagram:
    case Cmd::ViewAttributes: {
        const CLayout before = CurrentLayout();
        SetViewMode(ModeOfCommand(id));
        RecordLayoutStep(QStringLiteral("View Mode"), before);
        return true;
    }
    case Cmd::ViewRefresh:
        Refresh();
        return true;
    case Cmd::Drop:
        if (m_selRelationship != -1)
            DropSelectedRelationship();
        else
            ForwardToActiveTable(id);
        return true;
    case Cmd::EditTable:
    case Cmd::AddColumn:
    case Cmd::CreateIndex:
    case Cmd::CreateTrigger:
        ForwardToActiveTable(id);
        return true;
    case Cmd::CreateTable:
        return ShowCreateTableDialog();
    case Cmd::FileExport:
        return ViewCommands::ExportDiagram(*this);
    case Cmd::FileExportSql:
        return ViewCommands::ExportSqlScript(*this);
    case Cmd::EditFind:
        return ViewCommands::FindTable(*this);
    case Cmd::EditUndo:
        UndoLayout();
        return true;
    case Cmd::EditRedo:
        RedoLayout();
        return true;
    case Cmd::ViewZoomIn:
        ZoomIn();
        return true;
    case Cmd::ViewZoomOut:
        ZoomOut();
        return true;
    case Cmd::ViewZoomReset:
        SetZoom(1.0);
        return true;
    case Cmd::ViewZoomFit:
        ZoomToFit();
        return true;
    case Cmd::ViewArrange:
        ArrangeDiagram();
        return true;
    case Cmd::ViewArrangeSelected:
        ArrangeSelected();
        return true;
    case Cmd::NextPane:
        ActivateNext(true);
        return true;
    case Cmd::PrevPane:
        ActivateNext(false);
        return true;
    case Cmd::FilePrint:
    case Cmd::FilePrintDirect:
        OnFilePrint(id == Cmd::FilePrint);
        return true;
    case Cmd::FilePrintPreview:
        OnFilePrintPreview();
        return true;
    case Cmd::FilePrintSetup:
        OnFilePrintSetup();
        return true;
    default:
        return false;
    }
}

void CDbView::ForwardToActiveTable(int id)
{
    if (m_pActiveTable)
        m_pActiveTable->OnCommand(id);
}

// The dialog's result is of no interest here: on success it has already
// added the new table's window.
bool CDbView::ShowCreateTableDialog()
{
    const int before = m_pDoc->TableCount();
    const QRect seen = ArrangeWindows::VisibleArea(*this);
    CCreateTableDlg dialog(this);
    dialog.exec();
    // The dialog shows the new window at the diagram's origin, maybe on top
    // of another table: it goes into free space near what the user saw.
    if (m_pDoc->TableCount() > before) {
        CTableWnd *added = m_pDoc->GetTable(m_pDoc->TableCount() - 1);
        ArrangeWindows::PlaceInFreeSpace(*this, {added}, seen);
        ScrollIntoSight(added);
    }
    return true;
}

// The mode commands neither mark the document modified nor repaint: each
// table window that changes size repaints the view itself.
void CDbView::SetViewMode(int mode)
{
    m_pDoc->m_viewMode = mode;
    for (int i = 0; i < m_pDoc->TableCount(); ++i) {
        CTableWnd *table = m_pDoc->GetTable(i);
        // Rows hidden under the caption must not stay selected: a later
        // Drop would name them.
        if (mode == TableDiagram)
            table->ClearSelection();
        table->FitToContents();
    }
    // Wider windows (the Attributes mode) would cover their neighbours.
    m_lines->Invalidate();
    ArrangeWindows::SeparateOverlapping(*this);
}

// ---------------------------------------------------------------------------
// Activation from table window to table window (F6, Shift+F6)

void CDbView::ActivateNext(bool forward)
{
    const int count = m_pDoc->TableCount();
    if (count == 0)
        return;
    const int current = m_pDoc->IndexOfTable(m_pActiveTable);
    CTableWnd *chosen = nullptr;
    if (forward) {
        chosen = m_pDoc->GetTable(current + 1);
        if (!chosen)
            chosen = m_pDoc->GetTable(0);
    } else {
        chosen = m_pDoc->GetTable((current == -1 ? count : current) - 1);
        if (!chosen)
            chosen = m_pDoc->GetTable(count - 1);
    }
    chosen->ActivateFrame();
    ScrollIntoSight(chosen);
}

void CDbView::ScrollIntoSight(CTableWnd *table)
{
    const QRect visible(ScrollPosition(), viewport()->size());
    // Where the window stands on the canvas, which is what scrolling moves.
    const QPoint position = table->pos();
    if (!visible.contains(position)) {
        const int margin = qRound(kSightMargin * m_zoom);
        horizontalScrollBar()->setValue(std::max(0, position.x() - margin));
        verticalScrollBar()->setValue(std::max(0, position.y() - margin));
    }
    // What is brought into sight is about to be worked with.
    EnsureShown(table);
}

// Every key goes to the active table window's key handling, except the
// next and previous table keys, which the frame's accelerators normally
// take before the view sees them.
void CDbView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F6) {
        ActivateNext(!(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (m_pActiveTable)
        m_pActiveTable->HandleKey(event);
    else
        event->ignore();
}

// ---------------------------------------------------------------------------
// The background: selection and context menu

void CDbView::OnBackgroundPress(const QPoint &clientPoint, Qt::MouseButton button)
{
    setFocus(Qt::MouseFocusReason);
    if (button == Qt::RightButton) {
        ShowBackgroundMenu(viewport()->mapToGlobal(clientPoint));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (m_pActiveTable)
        m_pActiveTable->DeactivateFrame();
    m_pActiveTable = nullptr;
    m_selRelationship = -1;
    // Tested on the canvas as the lines are drawn there, at the zoom.
    DeliverPendingMoves();
    m_selRelationship = m_lines->HitTest(clientPoint + ScrollPosition(), m_zoom);
    m_canvas->update();
}

// The background menu: its commands take the view's command route and its
// entries are available as the commands are.
void CDbView::ShowBackgroundMenu(const QPoint &globalPos)
{
    QMenu menu(this);
    AddCommandEntries(menu, {Cmd::CreateForeignKey, Cmd::CreateTable, Cmd::HideTable, 0, Cmd::Drop});
    for (QAction *action : menu.actions()) {
        bool enabled = false;
        bool checked = false;
        if (!action->isSeparator())
            action->setEnabled(CommandState(action->data().toInt(), enabled, checked) && enabled);
    }
    if (QAction *chosen = menu.exec(globalPos))
        OnCommand(chosen->data().toInt());
}

// ---------------------------------------------------------------------------
// Dropping the selected relationship

void CDbView::DropSelectedRelationship()
{
    CDbSession &session = m_pDoc->GetSession();
    const CDbRelationship *found = m_pDoc->Schema().GetRelationship(m_selRelationship);
    if (!found) {
        m_selRelationship = -1;
        return;
    }
    // The list is reloaded below; keep copies of the names.
    const CDbRelationship relationship = *found;
    const QString question =
        QStringLiteral("Are you sure you want to drop the foreign key relationship between '")
        + QString::fromStdString(relationship.m_foreignTable) + QStringLiteral("' and '")
        + QString::fromStdString(relationship.m_parentTable) + QStringLiteral("'?");
    QMessageBox ask(QMessageBox::Warning, QStringLiteral("Confirmation"), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    if (ask.exec() != QMessageBox::Yes)
        return;

    const int result = ApplySchemaChange(
        session, CDropRelationship{relationship.m_foreignTable, relationship.m_parentTable,
                                   relationship.m_name});
    if (result < 0) {
        ReportDbError(this, session, result);
        return;
    }

    ReloadRelationship(m_pDoc->FindTable(relationship.m_parentTable),
                       m_pDoc->FindTable(relationship.m_foreignTable));
    m_selRelationship = -1;
}

void CDbView::ReloadRelationship(CTableWnd *parent, CTableWnd *foreign)
{
    m_pDoc->ReloadRelationships();
    m_canvas->update();
    for (CTableWnd *table : {parent, foreign}) {
        if (!table)
            continue;
        table->LoadSchema();
        table->FitToContents();
        // The rows may change without the window changing size.
        table->update();
    }
}

// ---------------------------------------------------------------------------
// Drawing

void CDbView::ApplyDiagramMapping(QPainter &painter, const QPaintDevice &device)
{
    // Widget, pixmap and image coordinates are Qt's device-independent
    // pixels, which are 1/96 inch by definition: the diagram maps onto them
    // one to one, so the lines meet the table windows exactly. Printers
    // report their real resolution.
    const int type = device.devType();
    const bool screenLike =
        type == QInternal::Widget || type == QInternal::Pixmap || type == QInternal::Image;
    if (screenLike)
        ApplyDiagramMapping(painter, Platform::kDiagramDpi, Platform::kDiagramDpi);
    else
        ApplyDiagramMapping(painter, device.logicalDpiX(), device.logicalDpiY());
}

void CDbView::ApplyDiagramMapping(QPainter &painter, int dpiX, int dpiY)
{
    if (dpiX <= 0 || dpiY <= 0)
        return;
    const int dpi = Platform::kDiagramDpi;
    const QSize window((kMappingExtent * dpi + dpiX / 2) / dpiX,
                       (kMappingExtent * dpi + dpiY / 2) / dpiY);
    painter.setWindow(QRect(painter.window().topLeft(), window));
    painter.setViewport(QRect(painter.viewport().topLeft(), QSize(kMappingExtent, kMappingExtent)));
}

void CDbView::SetCulling(bool on)
{
    m_culling = on;
    ShowNearTables();
    m_canvas->update();
}

void CDbView::DrawForPrint(QPainter &painter)
{
    if (!m_pDoc)
        return;
    painter.save();
    // A painter passes a pen on to its device only when the pen changes,
    // and a PDF device that has not been given one yet draws hairlines: a
    // new painter's pen is the one the lines use, so on a PDF's first page
    // they came out faint. Starting without a pen makes every page send its
    // pens.
    painter.setPen(Qt::NoPen);
    DrawRelationships(painter, QRect());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    PaintTablesForPrint(painter);
    painter.restore();
}

void CDbView::DrawRelationships(QPainter &painter, const QRect &exposed)
{
    if (!m_pDoc)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (m_culling && !exposed.isEmpty())
        DrawRelationshipsIn(painter, exposed);
    else
        DrawEveryRelationship(painter);
    painter.restore();
}

void CDbView::DrawScreenOverlay(QPainter &painter, const QRect &exposed)
{
    if (!m_pDoc)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    if (m_dragState == 2) {
        const QPoint scroll = ScrollPosition();
        painter.drawLine(m_dragStart + scroll, m_dragPoint + scroll);
    }
    if (m_zoom != 1.0)
        painter.scale(m_zoom, m_zoom);
    // Far out a boundary is a fraction of a pixel wide, which without
    // smoothing would show at some pages and not at others.
    painter.setRenderHint(QPainter::Antialiasing, m_zoom < 0.5);
    DrawPageBoundaries(painter, CRelationshipMap::DiagramArea(exposed, m_zoom));
    painter.restore();
}

// At 100 % the canvas is the diagram. Zoomed, each line is scaled before it
// is rasterised, rather than the painter: the lines stay one pixel wide and
// take the fast pixel writer, and a click tests the same pixels.
void CDbView::DrawCanvasRelationships(QPainter &painter, const QRect &exposed)
{
    if (m_zoom == 1.0) {
        DrawRelationships(painter, exposed);
        return;
    }
    if (!m_pDoc)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RelationshipPen(false));
    CRelationshipRoute route;
    for (int id : m_lines->LinesIn(CRelationshipMap::DiagramArea(exposed, m_zoom))) {
        if (!m_lines->Route(id, route))
            continue;
        const bool selected = id == m_selRelationship;
        if (selected)
            painter.setPen(RelationshipPen(true));
        RelationshipGeometry::Draw(painter, CRelationshipMap::Scaled(route, m_zoom), exposed);
        if (selected)
            painter.setPen(RelationshipPen(false));
    }
    painter.restore();
}

// Only the lines whose boxes meet the exposed area, from the view's map of
// lines, in list order.
void CDbView::DrawRelationshipsIn(QPainter &painter, const QRect &exposed)
{
    CRelationshipRoute route;
    painter.setPen(RelationshipPen(false));
    for (int id : m_lines->LinesIn(exposed)) {
        if (!m_lines->Route(id, route))
            continue;
        const bool selected = id == m_selRelationship;
        if (selected)
            painter.setPen(RelationshipPen(true));
        RelationshipGeometry::Draw(painter, route, exposed);
        if (selected)
            painter.setPen(RelationshipPen(false));
    }
}

// Every line, routed afresh: printing, pictures and the check of the
// culled drawing do not depend on the map being up to date.
void CDbView::DrawEveryRelationship(QPainter &painter)
{
    CRelationshipMap::ForEachRoute(*this, [&](int i, const CRelationshipRoute &route) {
        painter.setPen(RelationshipPen(i == m_selRelationship));
        RelationshipGeometry::Draw(painter, route);
    });
}

bool CDbView::RelationshipRoute(const CDbRelationship &relationship,
                                CRelationshipRoute &route) const
{
    if (!m_pDoc)
        return false;
    const CTableWnd *foreign = m_pDoc->FindTable(relationship.m_foreignTable);
    const CTableWnd *parent = m_pDoc->FindTable(relationship.m_parentTable);
    if (!HasWindow(foreign) || !HasWindow(parent))
        return false;
    route = CRelationshipMap::RouteBetween(*foreign, *parent, relationship);
    return true;
}

void CDbView::DrawRelationship(QPainter &painter, const CDbRelationship &relationship)
{
    CRelationshipRoute route;
    if (RelationshipRoute(relationship, route))
        RelationshipGeometry::Draw(painter, route);
}

int CDbView::HitTestRelationships(const QPoint &diagramPoint) const
{
    DeliverPendingMoves();
    return m_lines->HitTest(diagramPoint);
}

// Dashed grey lines where the printer's pages would end, for 10 x 10 pages
// from the diagram's origin, at the scale the diagram prints at. Without a
// printer there are no pages to show.
// Each dash, 18 pixels drawn and 6 left out, is filled on its own, counted
// from the start of its line: a dashed pen would begin its pattern afresh
// wherever the painting clips the line, and the pieces of the screen painted
// one at a time would not agree. Only the dashes that meet the area are
// drawn; without an area, all of them.
void CDbView::DrawPageBoundaries(QPainter &painter, const QRect &area) const
{
    const QSize inches(m_pageInches[0], m_pageInches[1]);
    if (inches.width() <= 0 || inches.height() <= 0)
        return;
    // Fitted to some pages wide, the pages follow the diagram's width as
    // it is now, as a printout would.
    const CPrintSettings *settings = m_printSettings ? m_printSettings : m_ownPrintSettings.get();
    const int pagesWide = settings ? settings->FitPagesWide() : 0;
    const double scale = pagesWide > 0 ? CDiagramPrinter::FitScale(*this, inches, pagesWide) : 1.0;
    const QSizeF page = CDiagramPrinter::PageSize(inches, scale);
    const auto boundary = [](int k, double size) { return int(std::lround(k * size)); };
    const QColor grey(128, 128, 128);
    const int right = boundary(kBoundaryPages, page.width());
    const int bottom = boundary(kBoundaryPages, page.height());
    const QRect within = area.isNull() ? QRect(0, 0, right + 1, bottom + 1) : area;
    // The dashes of the line from 0 to end along one axis that meet the
    // range from low to high, each given to fill(from, length).
    const auto dashes = [](int end, int low, int high, const auto &fill) {
        const int last = std::min(end, high);
        for (int from = std::max(0, low - low % kDashPeriod); from <= last; from += kDashPeriod)
            fill(from, std::min(int(kDash), end - from + 1));
    };
    for (int k = 1; k <= kBoundaryPages; ++k) {
        const int x = boundary(k, page.width());
        if (x >= within.left() && x <= within.right())
            dashes(bottom, within.top(), within.bottom(),
                   [&](int from, int length) { painter.fillRect(x, from, 1, length, grey); });
        const int y = boundary(k, page.height());
        if (y >= within.top() && y <= within.bottom())
            dashes(right, within.left(), within.right(),
                   [&](int from, int length) { painter.fillRect(from, y, length, 1, grey); });
    }
}

// On paper the table windows are drawn by the view, each at its place.
void CDbView::PaintTablesForPrint(QPainter &painter)
{
    for (int i = 0; i < m_pDoc->TableCount(); ++i) {
        CTableWnd *table = m_pDoc->GetTable(i);
        if (HasWindow(table))
            table->PaintForPrint(painter);
    }
}
