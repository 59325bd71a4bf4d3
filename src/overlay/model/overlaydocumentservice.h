#pragma once

#include <QStringList>

class OverlayContent;

// What a reading session asks of the document that owns its pages. The document service
// implements it; tests fake it.
class OverlayDocumentService
{
public:
    virtual ~OverlayDocumentService() = default;

    virtual QStringList pages() const = 0;
    virtual int currentPageIndex() const = 0;
    // Only a promoted sticky window moves the current page from the overlay's side.
    virtual void setCurrentPageIndex(int index) = 0;

    // The next page after the current one that holds text, if any.
    virtual void goToNextNonBlankPage() = 0;
    // The page, read as scrolling text.
    virtual void goToPage(int index) = 0;
    // The page, read in notes mode.
    virtual void startReading(int index) = 0;
    virtual bool hasNonBlankPage(int index) const = 0;
    virtual void updateOverlayPageTitles(OverlayContent &content) = 0;
    virtual void updatePageIndicator() = 0;
};
