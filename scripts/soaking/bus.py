"""The soak's session-bus client."""

import os
import select
import socket
import struct
import time


# ---- a session-bus client: enough of the wire protocol for method calls with string arguments

class Bus:
    def __init__(self, address):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        kind, _, rest = address.split(";")[0].partition(":")
        params = dict(p.split("=", 1) for p in rest.split(","))
        if "path" in params:
            self.sock.connect(params["path"])
        else:
            self.sock.connect("\0" + params["abstract"])
        self.sock.sendall(b"\0AUTH EXTERNAL " + str(os.getuid()).encode().hex().encode() + b"\r\n")
        if not self._line().startswith(b"OK"):
            raise RuntimeError("the session bus refused the connection")
        self.sock.sendall(b"BEGIN\r\n")
        self.buffer = b""
        self.serial = 0
        self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                  "Hello", [], 10)

    def _line(self):
        line = b""
        while not line.endswith(b"\r\n"):
            line += self.sock.recv(1)
        return line

    @staticmethod
    def _pad(data, align):
        data += b"\0" * (-len(data) % align)

    def send(self, destination, path, interface, member, strings):
        self.serial += 1
        fields = bytearray()
        values = [(1, "o", path), (2, "s", interface), (3, "s", member), (6, "s", destination)]
        if strings:
            values.append((8, "g", "s" * len(strings)))
        for code, signature, value in values:
            self._pad(fields, 8)
            fields += bytes([code, 1]) + signature.encode() + b"\0"
            encoded = value.encode()
            if signature == "g":
                fields += bytes([len(encoded)]) + encoded + b"\0"
            else:
                self._pad(fields, 4)
                fields += struct.pack("<I", len(encoded)) + encoded + b"\0"
        body = bytearray()
        for string in strings:
            self._pad(body, 4)
            encoded = string.encode("utf-8", "surrogatepass")
            body += struct.pack("<I", len(encoded)) + encoded + b"\0"
        header = bytearray(b"l\x01\0\x01" + struct.pack("<III", len(body), self.serial,
                                                           len(fields)))
        header += fields
        self._pad(header, 8)
        self.sock.sendall(bytes(header + body))
        return self.serial

    def _message(self):
        """One whole message from the buffer, or None."""
        if len(self.buffer) < 16:
            return None
        order = "<" if self.buffer[0:1] == b"l" else ">"
        body_length, _, fields_length = struct.unpack(order + "III", self.buffer[4:16])
        fields_end = 16 + fields_length
        body_start = fields_end + (-fields_end % 8)
        if len(self.buffer) < body_start + body_length:
            return None
        data, self.buffer = self.buffer[:body_start + body_length], self.buffer[body_start
                                                                                + body_length:]
        fields = {}
        at = 16
        while at < fields_end:
            at += -at % 8
            code, length = data[at], data[at + 1]
            signature = data[at + 2:at + 2 + length].decode()
            at += 3 + length
            if signature in ("s", "o"):
                at += -at % 4
                (size,) = struct.unpack(order + "I", data[at:at + 4])
                fields[code] = data[at + 4:at + 4 + size].decode("utf-8", "replace")
                at += 5 + size
            elif signature == "g":
                fields[code] = data[at + 1:at + 1 + data[at]].decode()
                at += 2 + data[at]
            elif signature == "u":
                at += -at % 4
                (fields[code],) = struct.unpack(order + "I", data[at:at + 4])
                at += 4
            else:
                break
        text = ""
        if fields.get(8, "").startswith("s") and body_length >= 4:
            (size,) = struct.unpack(order + "I", data[body_start:body_start + 4])
            text = data[body_start + 4:body_start + 4 + size].decode("utf-8", "replace")
        return data[1], fields, text

    def wait(self, serial, timeout):
        """("reply", text) or ("error", "name: text") for the call, or None after the timeout."""
        deadline = time.monotonic() + timeout
        while True:
            message = self._message()
            while message:
                kind, fields, text = message
                if fields.get(5) == serial and kind in (2, 3):
                    return ("reply", text) if kind == 2 else ("error", fields.get(4, "") + ": "
                                                                + text)
                message = self._message()
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.sock], [], [], left)[0]:
                return None
            chunk = self.sock.recv(1 << 20)
            if not chunk:
                raise ConnectionError("the session bus closed the connection")
            self.buffer += chunk

    def call(self, destination, path, interface, member, strings, timeout):
        return self.wait(self.send(destination, path, interface, member, strings), timeout)

    def brivel(self, member, strings, timeout):
        return self.call("org.brivel.Brivel", "/org/brivel/Brivel", "org.brivel.Brivel", member,
                         strings, timeout)
