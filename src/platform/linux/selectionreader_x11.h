#pragma once

#include "platform/selectionreader.h"

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <xcb/xcb.h>

#include <memory>
#include <vector>

// The selections asked for as the X protocol has it: a ConvertSelection to a window of Brivel's
// own on Qt's connection, the owner's answer taken from the event stream through a native event
// filter. Nothing blocks on the owner; a large text comes in increments (INCR).
class X11SelectionReader final : public QObject,
                                 public SelectionReader,
                                 public QAbstractNativeEventFilter
{
public:
    explicit X11SelectionReader(xcb_connection_t *connection);
    ~X11SelectionReader() override;

    void read(qsizetype maximumCodeUnits, std::function<void(const QString &)> done) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Request;

    // Asks the owner of the place-th selection (PRIMARY, then CLIPBOARD), or answers with
    // nothing after the last.
    void askPlace(Request &request, int place);
    void ask(Request &request);
    void takeProperty(Request &request);
    void finish(Request &request, const QString &text);
    Request *requestFor(xcb_window_t window) const;

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_utf8String = XCB_ATOM_NONE;
    xcb_atom_t m_incremental = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    std::vector<std::unique_ptr<Request>> m_requests;
};
