#pragma once

// Requests of X extensions that the tests have no xcb library for, spoken directly.

#include <QtGlobal>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstddef>

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

} // namespace TestSupport
