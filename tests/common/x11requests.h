#pragma once

// Requests of X extensions that the tests have no xcb library for, spoken directly.

#include <QtGlobal>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <sys/uio.h>

namespace TestSupport {

// Sends an extension's request, a struct that begins with four bytes xcb fills in (the major
// and minor opcodes and the length), checked; returns its sequence number.
inline unsigned int sendExtensionRequest(xcb_connection_t *connection, xcb_extension_t *extension,
                                         quint8 opcode, void *request, size_t size, bool withReply)
{
    iovec parts[3] = {};
    parts[2].iov_base = request;
    parts[2].iov_len = size;
    const xcb_protocol_request_t protocol{1, extension, opcode, quint8(withReply ? 0 : 1)};
    return xcb_send_request(connection, XCB_REQUEST_CHECKED, parts + 2, &protocol);
}

// XCB_ATOM_NONE when the server does not answer.
inline xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace TestSupport
