#pragma once

#include <QWidget>

class BrivelService;
class EditorController;
class PageListModel;
class QAbstractButton;
class QLabel;
class QListView;
class QMenu;

// The editor window's left column, 280 wide: the pages (all of them, or those the header's
// search finds), where a click makes a page current, a row's menu renames or deletes it and a
// drag moves it; under them the buttons that add a page, a bullet-list page, or import a
// presentation.
class PagesSidebar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int columnWidth = 280;

    PagesSidebar(EditorController &controller, BrivelService &service, QWidget *parent = nullptr);

    QListView *list() const { return m_list; }
    PageListModel *model() const { return m_model; }
    QLabel *noResultsLabel() const { return m_noResults; }
    QAbstractButton *addPageButton() const { return m_addPage; }
    QAbstractButton *bulletsButton() const { return m_bullets; }
    QAbstractButton *importButton() const { return m_import; }
    // The row's menu ("Renombrar", "Eliminar página"), open at a point of the screen; it
    // deletes itself once closed.
    QMenu *openRowMenu(int row, const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followRename();
    void followRenameFocus();
    void followNoResults();
    void followCurrentPage();

    EditorController &m_controller;
    PageListModel *m_model = nullptr;
    QListView *m_list = nullptr;
    QLabel *m_noResults = nullptr;
    QAbstractButton *m_addPage = nullptr;
    QAbstractButton *m_bullets = nullptr;
    QAbstractButton *m_import = nullptr;
    bool m_followingRename = false;
};
