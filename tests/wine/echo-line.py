#!/usr/bin/env python3
"""A serial line for the Windows serial port test under Wine: a pseudo-terminal
whose far end sends back every byte it gets, and hangs up (closes the line) on
0xFF. Prints "pty <slave path>" once ready; ends on hang-up or after an hour."""
import os
import pty
import select
import tty

master, slave = pty.openpty()
tty.setraw(slave)
print("pty", os.ttyname(slave), flush=True)
# The slave stays open here too, so the line stays up while Wine opens and closes it.
for _ in range(36000):
    ready, _, _ = select.select([master], [], [], 0.1)
    if not ready:
        continue
    data = os.read(master, 4096)
    if b"\xff" in data:
        os.write(master, data[: data.index(b"\xff")])
        break
    os.write(master, data)
os.close(master)
