#pragma once

#include "document/savedata.h"
#include "overlay/model/overlaydocumentservice.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Autosaver;
class Dialogs;
class NotchSettings;
class QTimer;
class ReadingOverlay;

// The one document and session service: the pages and their titles, the page being read or
// edited, the pages shown in the current session, the document file and the pages as last
// saved. It is the only one that starts a reading session or changes its page.
class BrivelService : public QObject, public OverlayDocumentService
{
    Q_OBJECT
    Q_PROPERTY(QStringList pages READ pages WRITE setPages NOTIFY pagesChanged)
    Q_PROPERTY(QStringList pageTitles READ pageTitles WRITE setPageTitles NOTIFY pageTitlesChanged)
    Q_PROPERTY(int currentPageIndex READ currentPageIndex WRITE setCurrentPageIndex NOTIFY
                   currentPageIndexChanged)
    Q_PROPERTY(QSet<int> readPages READ readPages WRITE setReadPages NOTIFY readPagesChanged)
    Q_PROPERTY(QString currentFilePath READ currentFilePath NOTIFY currentFilePathChanged)

public:
    // The limits of a document file.
    static constexpr qint64 maximumFileBytes = 10'000'000;
    static constexpr int maximumPages = 1000;
    static constexpr int maximumPageCharacters = 500'000;

    // The autosave lives in `autosaveDirectory` ("pages.json").
    BrivelService(NotchSettings &settings, ReadingOverlay &overlay, Dialogs &dialogs,
                  const QString &autosaveDirectory, QObject *parent = nullptr);
    ~BrivelService() override;

    ReadingOverlay &overlayController() const { return m_overlay; }
    Dialogs &dialogs() const { return m_dialogs; }

    // Called when a reading session ends; the editor sets it before it starts reading.
    std::function<void()> onOverlayDismissed;
    // Hides every window but the panels; the shell installs it.
    std::function<void()> hideMainWindowsHandler;
    // True for pages that are the untouched sample document; the editor, which writes the
    // sample, installs it.
    std::function<bool(const QStringList &)> isSampleDocument;

    bool launchedExternally() const { return m_launchedExternally; }
    void setLaunchedExternally(bool launched);

    QStringList pages() const override { return m_pages; }
    void setPages(const QStringList &pages);
    QStringList pageTitles() const { return m_pageTitles; }
    void setPageTitles(const QStringList &titles);
    int currentPageIndex() const override { return m_currentPageIndex; }
    void setCurrentPageIndex(int index) override;
    QSet<int> readPages() const { return m_readPages; }
    void setReadPages(const QSet<int> &pages);
    QString currentFilePath() const { return m_currentFilePath; }
    QStringList savedPages() const { return m_savedPages; }
    // The autosave supplied at least one page at start-up.
    bool dataWasLoaded() const { return m_dataWasLoaded; }
    // Pages that are the untouched sample count as saved: the next start writes them again.
    bool hasUnsavedChanges() const;
    // While set, the debounced autosave writes nothing.
    bool suppressAutosave() const { return m_suppressAutosave; }
    void setSuppressAutosave(bool suppress) { m_suppressAutosave = suppress; }

    // Reading control.
    QString title(int index) const;
    QString currentPageText() const;
    bool hasNonBlankPage(int index) const override;
    void startReading(int index) override;
    void goToPage(int index) override;
    void goToNextNonBlankPage() override;
    void showExternalText(const QString &text);
    // A "brivel://read?text=…" link: shows its text; any other link, or one too long, is ignored.
    void handleURL(const QString &link);
    // The text another program hands over through the desktop's text entry, ready for
    // showExternalText; or nothing, with `refusal` set to the localised reason for the caller:
    // there was no text, or it is too long.
    static std::optional<QString> acceptExternalText(const std::optional<QString> &text,
                                                     QString *refusal);
    void updatePageIndicator() override;
    void updateOverlayPageTitles(OverlayContent &content) override;
    void hideMainWindows();
    static void normalizedTitles(QStringList &titles, int count);
    static bool isBlank(const QString &page);

    // Files.
    void autosave();
    // Writes a pending autosave now, waiting for it: before the process ends.
    void flushAutosave();
    void loadAutosave();
    QString autosaveFilePath() const;
    // True when the document was written; the path then becomes the current file. A document
    // that could not be opened again is not written: an alert says which limit it breaks.
    bool save(const QString &path);
    // The save panel, then save(); false when cancelled, refused or failed.
    bool saveAs();
    void openFilePanel();
    // Checks a document file and, when it passes, makes it the current document.
    void openDocument(const QString &path);
    // True to go on, false to stay where the user was.
    bool confirmUnsavedChanges();
    // The same question before another document or a presentation replaces the pages: also
    // asked for pages that no document file holds, whose only copy is the autosave.
    bool confirmReplacingPages();

    // Presentation import: the notes of a .pptx replace the whole script. Returns at once;
    // the outcome is applied or shown on the main thread.
    void importPresentation(const QString &path);
    // Both change nothing and return why when the document they would make could not be saved
    // and opened again.
    std::optional<QString> applyImportedSlides(const QStringList &slides);
    // Appends the slides with titles numbered after the pages already there. The pages count as
    // saved only when no document file is open: that file does not hold them.
    std::optional<QString> appendImportedSlides(const QStringList &slides);
    void showImportError(const QString &description);
    // Why imported pages with these titles cannot become the document, for the import's alert;
    // nothing when they can.
    static std::optional<QString> importRefusal(const QStringList &pages,
                                                const QStringList &titles);
    // The limit broken and by how much, in the interface language.
    static QString limitExcessText(const SaveData::LimitExcess &excess);
    // Why a write failed: the usual causes in the interface language; the system's own words,
    // in its language, for the rest.
    static QString writeFailureReason(int errorNumber, const QString &systemReason);
    // "Diapositiva n" in the interface language.
    static QString importedPageTitle(int number);
    // The titles of `count` imported pages, numbered from `firstNumber`.
    static QStringList importedPageTitles(int firstNumber, qsizetype count);

Q_SIGNALS:
    void pagesChanged();
    void pageTitlesChanged();
    void currentPageIndexChanged();
    void readPagesChanged();
    void currentFilePathChanged();
    void launchedExternallyChanged();

private:
    void autosaveUnlessSuppressed();
    bool isUntouchedSample() const;
    // The path becomes the current file and is remembered beside the autosave.
    void setCurrentFilePath(const QString &path);
    // Restored pages that the file they were last opened from or saved to still holds, titles
    // and all, are that file's again.
    void tieToRecordedDocument();
    // The document file's bytes; nothing, after an alert that says why, for pages that could
    // not be opened again.
    std::optional<QByteArray> encodedForSaving();
    // Pages worth keeping that are in no document file: none was opened or saved since they
    // were loaded, and they are neither all blank nor the untouched sample.
    bool pagesAreInNoDocumentFile() const;
    bool askToSaveChanges();
    void showOpenError(const QString &informativeText);

    NotchSettings &m_settings;
    ReadingOverlay &m_overlay;
    Dialogs &m_dialogs;
    std::unique_ptr<Autosaver> m_autosaver;

    bool m_launchedExternally = false;
    QStringList m_pages{QString()};
    QStringList m_pageTitles{QString()};
    bool m_suppressAutosave = false;
    bool m_dataWasLoaded = false;
    int m_currentPageIndex = 0;
    QSet<int> m_readPages;
    QString m_currentFilePath;
    QStringList m_savedPages{QString()};
    // The two debounces of the automatic autosave, one per observed field.
    QTimer *const m_pagesAutosaveDebounce;
    QTimer *const m_titlesAutosaveDebounce;
};
