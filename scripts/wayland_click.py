#!/usr/bin/env python3
"""Clicks a mouse button at a point of a wlroots compositor's screen (sway),
through a virtual pointer of its own, for screenshots on a compositor that
has no input devices (sway headless):

    wayland_click.py X Y WIDTH HEIGHT BUTTON SECONDS

BUTTON is a Linux button code (272 left, 273 right). The pointer stays for
SECONDS after the click, since a menu opened by it may close when its
pointer goes. Speaks the Wayland wire protocol itself (wl_registry, wl_seat,
zwlr_virtual_pointer_manager_v1), so it needs nothing but Python.
"""

import os
import socket
import struct
import sys
import time


class Connection:
    def __init__(self):
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2  # 1 is wl_display
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, args):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args)

    def events(self):
        """The events that have arrived, as (object, opcode, arguments)."""
        while True:
            while len(self.buffer) >= 8:
                obj, word = struct.unpack_from("<II", self.buffer)
                size = word >> 16
                if len(self.buffer) < size:
                    break
                yield obj, word & 0xFFFF, self.buffer[8:size]
                self.buffer = self.buffer[size:]
            self.buffer += self.sock.recv(65536)

    def roundtrip(self, handle):
        """Sends wl_display.sync and hands every event to handle until it is done."""
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))
        for obj, opcode, args in self.events():
            if obj == callback:
                return
            handle(obj, opcode, args)


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def read_string(args, offset):
    length = struct.unpack_from("<I", args, offset)[0]
    text = args[offset + 4:offset + 4 + length - 1].decode()
    return text, offset + 4 + length + (-length % 4)


def main():
    x, y, width, height, button, seconds = (int(a) for a in sys.argv[1:7])
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}

    def on_event(obj, opcode, args):
        if obj == registry and opcode == 0:  # wl_registry.global
            name = struct.unpack_from("<I", args)[0]
            interface, _ = read_string(args, 4)
            globals_.setdefault(interface, name)

    wl.roundtrip(on_event)

    def bind(interface, version):
        new = wl.new_id()
        wl.send(registry, 0, struct.pack("<I", globals_[interface]) + string(interface) + struct.pack("<II", version, new))
        return new

    seat = bind("wl_seat", 1)
    manager = bind("zwlr_virtual_pointer_manager_v1", 1)
    pointer = wl.new_id()
    wl.send(manager, 0, struct.pack("<II", seat, pointer))  # create_virtual_pointer
    wl.roundtrip(lambda *_: None)
    time.sleep(0.5)  # clients take up the seat's new pointer

    def now():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    wl.send(pointer, 1, struct.pack("<IIIII", now(), x, y, width, height))  # motion_absolute
    wl.send(pointer, 4, b"")  # frame
    wl.roundtrip(lambda *_: None)
    time.sleep(0.5)
    for state in (1, 0):
        wl.send(pointer, 2, struct.pack("<III", now(), button, state))  # button
        wl.send(pointer, 4, b"")
        wl.roundtrip(lambda *_: None)
        time.sleep(0.1)
    time.sleep(seconds)


if __name__ == "__main__":
    main()
