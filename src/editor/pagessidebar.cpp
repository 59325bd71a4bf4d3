#include "pagessidebar.h"

#include "document/brivelservice.h"
#include "editor/importpresentationbutton.h"
#include "editor/model/editorcontroller.h"
#include "editor/model/pagelistmodel.h"
#include "editor/pagerowdelegate.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/overlayscroller.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// How near the list's top or bottom edge a drag scrolls it, and by how much per move.
constexpr int dragScrollZone = 24;
constexpr int dragScrollStep = 12;

QIcon symbolIcon(const QString &name)
{
    QPixmap pixmap(QSize(16, 16) * qApp->devicePixelRatio());
    pixmap.setDevicePixelRatio(qApp->devicePixelRatio());
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    Icons::paint(&p, name, QRectF(0, 0, 16, 16), whiteAt(0.85), 13, QFont::Normal);
    return QIcon(pixmap);
}

// The list: a click selects, Return selects the highlighted row, the Menu key or Shift+F10
// opens its menu, and a row dragged with the mouse moves its page. The drag stays inside the
// list: released outside it or ended with Esc, nothing moves.
class PageListView : public QListView
{
public:
    PageListView(EditorController &controller, PageListModel &model, PagesSidebar &sidebar)
        : QListView(&sidebar)
        , m_controller(controller)
        , m_model(model)
        , m_sidebar(sidebar)
    {}

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressRow
            = event->button() == Qt::LeftButton ? indexAt(event->position().toPoint()).row() : -1;
        m_pressPosition = event->position().toPoint();
        m_dragging = false;
        m_swallowRelease = false;
        QListView::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint at = event->position().toPoint();
        if (m_pressRow >= 0 && (event->buttons() & Qt::LeftButton) && !m_dragging
            && (at - m_pressPosition).manhattanLength() >= QApplication::startDragDistance())
            m_dragging = true;
        if (!m_dragging) {
            QListView::mouseMoveEvent(event);
            return;
        }
        if (at.y() < dragScrollZone)
            verticalScrollBar()->setValue(verticalScrollBar()->value() - dragScrollStep);
        else if (at.y() > viewport()->height() - dragScrollZone)
            verticalScrollBar()->setValue(verticalScrollBar()->value() + dragScrollStep);
        m_dropRow = viewport()->rect().contains(at) ? dropRowAt(at.y()) : -1;
        viewport()->update();
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (m_dragging) {
            const int source = std::exchange(m_pressRow, -1);
            m_dragging = false;
            const QPoint at = event->position().toPoint();
            viewport()->update();
            // The keyboard's place follows the moved page, which is now current.
            if (viewport()->rect().contains(at) && m_model.movePage(source, dropRowAt(at.y()))
                && m_model.currentRow() >= 0)
                setCurrentIndex(m_model.index(m_model.currentRow()));
            return;
        }
        m_pressRow = -1;
        if (!std::exchange(m_swallowRelease, false))
            QListView::mouseReleaseEvent(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (key == Qt::Key_Escape && m_dragging) {
            m_dragging = false;
            m_pressRow = -1;
            m_swallowRelease = true;
            viewport()->update();
        } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (currentIndex().isValid())
                m_controller.selectPage(m_model.pageIndex(currentIndex().row()));
        } else if (key == Qt::Key_Menu
                   || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
            if (currentIndex().isValid()) {
                const QRect row = visualRect(currentIndex());
                m_sidebar.openRowMenu(currentIndex().row(),
                                      viewport()->mapToGlobal(row.bottomLeft() + QPoint(12, 0)));
            }
        } else {
            QListView::keyPressEvent(event);
            return;
        }
        event->accept();
    }

    void focusInEvent(QFocusEvent *event) override
    {
        // The keyboard starts from the current page.
        if (!currentIndex().isValid() && m_model.currentRow() >= 0)
            setCurrentIndex(m_model.index(m_model.currentRow()));
        QListView::focusInEvent(event);
    }

    void paintEvent(QPaintEvent *event) override
    {
        QListView::paintEvent(event);
        if (!m_dragging || m_dropRow < 0)
            return;
        // The gap the page would land in.
        int y = 0;
        const int count = m_model.rowCount();
        if (m_dropRow < count)
            y = visualRect(m_model.index(m_dropRow)).top();
        else if (count > 0)
            y = visualRect(m_model.index(count - 1)).bottom() + 1;
        QPainter p(viewport());
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(accentTeal(), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, y), QPointF(viewport()->width() - 4, y));
    }

private:
    // The row a page dropped at this height lands before; the row count below the last row.
    int dropRowAt(int y) const
    {
        const QModelIndex over = indexAt(QPoint(viewport()->width() / 2, y));
        if (!over.isValid())
            return y < 0 || (m_model.rowCount() > 0 && y < visualRect(m_model.index(0)).top())
                       ? 0
                       : m_model.rowCount();
        return y < visualRect(over).center().y() ? over.row() : over.row() + 1;
    }

    EditorController &m_controller;
    PageListModel &m_model;
    PagesSidebar &m_sidebar;
    int m_pressRow = -1;
    QPoint m_pressPosition;
    bool m_dragging = false;
    bool m_swallowRelease = false;
    int m_dropRow = -1;
};

// "Agregar página" and "Bullets": symbol and label on a light rounded plate, all of it
// clickable.
class SidebarButton : public QAbstractButton
{
public:
    SidebarButton(const QString &symbol, const char *key, QWidget *parent)
        : QAbstractButton(parent)
        , m_symbol(symbol)
    {
        setFont(Fonts::systemFont(12, QFont::Medium));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        LocalizedText::bind(this, "text", key);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return QSize(12 + 14 + 4 + metrics.horizontalAdvance(text()) + 12,
                     6 + std::max(metrics.height(), 14) + 6);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(whiteAt(isDown() ? 0.16 : 0.1));
        p.drawPath(roundedRectPath(rect(), 6));
        const QColor colour = whiteAt(0.92);
        Icons::paint(&p, m_symbol, QRectF(12, 0, 14, height()), colour, 12, QFont::Medium);
        p.setPen(colour);
        p.setFont(font());
        const QRect label = rect().adjusted(12 + 14 + 4, 0, -12, 0);
        p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, label.width()));
    }

private:
    QString m_symbol;
};

} // namespace

PagesSidebar::PagesSidebar(EditorController &controller, BrivelService &service, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_model(new PageListModel(controller, service, this))
{
    setFixedWidth(columnWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 12, 10, 8);
    column->setSpacing(0);

    m_noResults = new QLabel(this);
    m_noResults->setFont(Fonts::systemFont(12, QFont::Normal));
    m_noResults->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_noResults->setContentsMargins(0, 20, 0, 0);
    QPalette tertiary = m_noResults->palette();
    tertiary.setColor(QPalette::WindowText, whiteAt(0.25));
    m_noResults->setPalette(tertiary);
    LocalizedText::bind(m_noResults, "text", "Sin resultados");
    column->addWidget(m_noResults);

    auto *list = new PageListView(controller, *m_model, *this);
    m_list = list;
    list->setModel(m_model);
    list->setItemDelegate(new PageRowDelegate(controller, list));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setFocusPolicy(Qt::StrongFocus);
    list->viewport()->setAutoFillBackground(false);
    list->setAutoFillBackground(false);
    QPalette clear = list->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    list->setPalette(clear);
    new OverlayScroller(list);
    // The placeholder of untitled pages is in the interface language.
    LocalizedText::follow(list->viewport(), "rows", [list] { list->viewport()->update(); });
    column->addWidget(list, 1);

    // The footer: an 8-point gap, then the three buttons.
    column->addSpacing(8);
    m_addPage = new SidebarButton(QStringLiteral("plus"), "Agregar página", this);
    m_bullets = new SidebarButton(QStringLiteral("list.bullet"), "Bullets", this);
    m_import = new ImportPresentationButton(controller, this);
    for (QAbstractButton *button : {m_addPage, m_bullets, m_import}) {
        auto *padded = new QVBoxLayout;
        padded->setContentsMargins(2, 2, 2, 2);
        padded->addWidget(button);
        column->addLayout(padded);
    }

    connect(m_addPage, &QAbstractButton::clicked, &controller, &EditorController::appendEmptyPage);
    connect(m_bullets, &QAbstractButton::clicked, &controller, &EditorController::addBulletsPage);
    // A new page is for writing in.
    for (QAbstractButton *button : {m_addPage, m_bullets})
        connect(button, &QAbstractButton::clicked, this,
                [this] { m_controller.setIsTextFocused(true); });
    connect(list, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_controller.selectPage(m_model->pageIndex(index.row()));
    });
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = m_list->indexAt(at);
        if (index.isValid())
            openRowMenu(index.row(), m_list->viewport()->mapToGlobal(at));
    });
    connect(&controller, &EditorController::renamingPageIndexChanged, this,
            &PagesSidebar::followRename);
    connect(&controller, &EditorController::isRenameFieldFocusedChanged, this,
            &PagesSidebar::followRenameFocus);
    connect(m_model, &PageListModel::modelReset, this, &PagesSidebar::followRename);
    connect(m_model, &PageListModel::rowsRefreshed, this, &PagesSidebar::followNoResults);
    // A page made current from elsewhere, or another document, moves the keyboard's place to
    // the current page: a ring left on the old row would contradict the plate.
    connect(&service, &BrivelService::currentPageIndexChanged, this,
            &PagesSidebar::followCurrentPage);
    connect(&service, &BrivelService::currentFilePathChanged, this,
            &PagesSidebar::followCurrentPage);
    connect(m_model, &PageListModel::modelReset, this, &PagesSidebar::followCurrentPage);
    connect(&controller, &EditorController::toolbarSearchTextChanged, this,
            &PagesSidebar::followNoResults);
    followNoResults();
}

QMenu *PagesSidebar::openRowMenu(int row, const QPoint &globalPosition)
{
    const int page = m_model->pageIndex(row);
    if (page < 0)
        return nullptr;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(symbolIcon(QStringLiteral("pencil")), localizedString("Renombrar")),
            &QAction::triggered, &m_controller, [this, page] { m_controller.startRename(page); });
    connect(
        menu->addAction(symbolIcon(QStringLiteral("trash")), localizedString("Eliminar página")),
        &QAction::triggered, &m_controller, [this, page] { m_controller.requestDeletePage(page); });
    menu->popup(globalPosition);
    return menu;
}

void PagesSidebar::followRename()
{
    // Closing a field moves the focus, which reports back here.
    if (m_followingRename)
        return;
    const QScopedValueRollback following(m_followingRename, true);
    const std::optional<int> page = m_controller.renamingPageIndex();
    const int row = page ? m_model->rowOfPage(*page) : -1;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const QModelIndex index = m_model->index(r);
        if (r == row || !m_list->isPersistentEditorOpen(index))
            continue;
        QWidget *field = m_list->indexWidget(index);
        const bool hadFocus = field && field->hasFocus();
        if (field)
            field->removeEventFilter(this);
        m_list->closePersistentEditor(index);
        // The keys go back to the list the field came from.
        if (hadFocus)
            m_list->setFocus(Qt::OtherFocusReason);
    }
    if (row >= 0) {
        const QModelIndex index = m_model->index(row);
        if (!m_list->isPersistentEditorOpen(index)) {
            m_list->openPersistentEditor(index);
            if (QWidget *field = m_list->indexWidget(index))
                field->installEventFilter(this);
        }
        m_list->scrollTo(index);
    }
    followRenameFocus();
}

void PagesSidebar::followRenameFocus()
{
    const std::optional<int> page = m_controller.renamingPageIndex();
    const int row = page ? m_model->rowOfPage(*page) : -1;
    QWidget *field = row >= 0 ? m_list->indexWidget(m_model->index(row)) : nullptr;
    if (field && m_controller.isRenameFieldFocused())
        field->setFocus(Qt::OtherFocusReason);
}

bool PagesSidebar::eventFilter(QObject *watched, QEvent *event)
{
    // Focus the field loses is handed back, so that a later request is a real change and a
    // field made again after the rows change does not take the keys from where the user went.
    if (event->type() == QEvent::FocusOut && qobject_cast<QLineEdit *>(watched))
        m_controller.setIsRenameFieldFocused(false);
    return QWidget::eventFilter(watched, event);
}

void PagesSidebar::followCurrentPage()
{
    const int row = m_model->currentRow();
    if (m_list->currentIndex().row() != row)
        m_list->setCurrentIndex(row >= 0 ? m_model->index(row) : QModelIndex());
}

void PagesSidebar::followNoResults()
{
    m_noResults->setVisible(m_model->showsNoResults());
}
