#pragma once

#include "editor/model/pagesearch.h"

#include <QAbstractListModel>

class BrivelService;
class EditorController;

// The sidebar's rows: every page, or while the header's query is set, the pages whose title or
// text holds it, each with where it was found. Titles, the current page and the rename are read
// live; the rows change only when the listed pages do.
class PageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        PageIndexRole = Qt::UserRole + 1,
        // The match in the title (Qt::DisplayRole), -1 without one.
        TitleMatchStartRole,
        TitleMatchLengthRole,
        SnippetRole,
        SelectedRole,
        RenamingRole,
    };

    PageListModel(EditorController &controller, BrivelService &service, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // -1 outside the rows, or for a page that is not listed.
    int pageIndex(int row) const;
    int rowOfPage(int page) const;
    // The row of the current page.
    int currentRow() const;
    // False while a search for the newest query or document runs: the rows are older.
    bool isUpToDate() const { return !m_search.isPending(); }
    // "Sin resultados": a query is typed and nothing is listed.
    bool showsNoResults() const;
    // A row dragged to just before `destinationRow` (the row count: after the last row). The
    // rows may be filtered: the page moves before the page of that row, or after the last listed
    // page, and no other page changes place. False when nothing moved.
    bool movePage(int sourceRow, int destinationRow);

Q_SIGNALS:
    // The listed pages, or what is known of them, changed.
    void rowsRefreshed();

private:
    void refresh();
    void apply(const QList<PageMatch> &rows);
    void rowsChanged(const QList<int> &roles);

    EditorController &m_controller;
    BrivelService &m_service;
    PageSearch m_search;
    QList<PageMatch> m_rows;
    qsizetype m_pageCount = 0;
};
