#include "pagelistmodel.h"

#include "document/brivelservice.h"
#include "editor/model/editorcontroller.h"

PageListModel::PageListModel(EditorController &controller, BrivelService &service, QObject *parent)
    : QAbstractListModel(parent)
    , m_controller(controller)
    , m_service(service)
{
    connect(&controller, &EditorController::toolbarSearchTextChanged, this,
            &PageListModel::refresh);
    connect(&service, &BrivelService::pagesChanged, this, [this] {
        // Without a query the rows are the page numbers: a keystroke in the text changes none.
        if (!m_controller.toolbarSearchText().trimmed().isEmpty()
            || m_service.pages().size() != m_pageCount)
            refresh();
    });
    connect(&service, &BrivelService::pageTitlesChanged, this, [this] {
        if (m_controller.toolbarSearchText().trimmed().isEmpty())
            rowsChanged({Qt::DisplayRole});
        else
            refresh();
    });
    connect(&service, &BrivelService::currentPageIndexChanged, this,
            [this] { rowsChanged({SelectedRole}); });
    connect(&controller, &EditorController::renamingPageIndexChanged, this,
            [this] { rowsChanged({RenamingRole}); });
    connect(&m_search, &PageSearch::finished, this, [this] { apply(m_search.results()); });
    refresh();
}

int PageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PageListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const PageMatch &row = m_rows.at(index.row());
    const QString title = m_service.title(row.pageIndex);
    // A match found in an older title no longer marks anything.
    const bool matchHolds = row.titleMatchStart >= 0 && row.title == title;
    switch (role) {
    case Qt::DisplayRole:
        return title;
    case PageIndexRole:
        return row.pageIndex;
    case TitleMatchStartRole:
        return matchHolds ? int(row.titleMatchStart) : -1;
    case TitleMatchLengthRole:
        return matchHolds ? int(row.titleMatchLength) : 0;
    case SnippetRole:
        return row.snippet;
    case SelectedRole:
        return row.pageIndex == m_service.currentPageIndex();
    case RenamingRole:
        return m_controller.renamingPageIndex() == row.pageIndex;
    default:
        return {};
    }
}

QHash<int, QByteArray> PageListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(PageIndexRole, "pageIndex");
    names.insert(TitleMatchStartRole, "titleMatchStart");
    names.insert(TitleMatchLengthRole, "titleMatchLength");
    names.insert(SnippetRole, "snippet");
    names.insert(SelectedRole, "selected");
    names.insert(RenamingRole, "renaming");
    return names;
}

int PageListModel::pageIndex(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).pageIndex : -1;
}

int PageListModel::rowOfPage(int page) const
{
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(),
                                    [page](const PageMatch &row) { return row.pageIndex == page; });
    return found == m_rows.cend() ? -1 : int(found - m_rows.cbegin());
}

int PageListModel::currentRow() const
{
    return rowOfPage(m_service.currentPageIndex());
}

bool PageListModel::showsNoResults() const
{
    return m_rows.isEmpty() && !m_controller.toolbarSearchText().isEmpty();
}

bool PageListModel::movePage(int sourceRow, int destinationRow)
{
    // Rows of an older document would name the wrong pages.
    if (!isUpToDate() || sourceRow < 0 || sourceRow >= m_rows.size() || destinationRow < 0
        || destinationRow > m_rows.size() || destinationRow == sourceRow
        || destinationRow == sourceRow + 1)
        return false;
    const int source = m_rows.at(sourceRow).pageIndex;
    const int destination = destinationRow < m_rows.size() ? m_rows.at(destinationRow).pageIndex
                                                           : m_rows.constLast().pageIndex + 1;
    m_controller.movePages({source}, destination);
    return true;
}

void PageListModel::refresh()
{
    const QStringList pages = m_service.pages();
    m_pageCount = pages.size();
    const QString query = m_controller.toolbarSearchText();
    if (query.trimmed().isEmpty()) {
        m_search.cancel();
        QList<PageMatch> all(pages.size());
        for (int i = 0; i < all.size(); ++i)
            all[i].pageIndex = i;
        apply(all);
        return;
    }
    // Nothing here reads the pages or titles one by one: a keystroke costs the same for any
    // document. The service's title of a page past the end is its placeholder for no title.
    const QString untitled = m_service.title(int(pages.size()));
    m_search.start({pages, m_service.pageTitles(), query, untitled});
    // The older rows stay listed until the result comes.
    Q_EMIT rowsRefreshed();
}

void PageListModel::apply(const QList<PageMatch> &rows)
{
    const bool samePages = std::equal(
        rows.cbegin(), rows.cend(), m_rows.cbegin(), m_rows.cend(),
        [](const PageMatch &a, const PageMatch &b) { return a.pageIndex == b.pageIndex; });
    if (!samePages) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    } else if (rows != m_rows) {
        m_rows = rows;
        rowsChanged({});
    }
    Q_EMIT rowsRefreshed();
}

void PageListModel::rowsChanged(const QList<int> &roles)
{
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), roles);
}
