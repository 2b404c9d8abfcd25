#!/usr/bin/python3
"""Operates the running program through the accessibility bus (AT-SPI), as a screen reader does.

    press-controls.py ROLE:NAME...

For each argument, in order, waits up to 30 s for a control of that AT-SPI role (CHECK_BOX,
PUSH_BUTTON, ...) and accessible name in any application on the desktop and performs its first
action (Toggle, Press). This needs no X server and works on any Qt platform that provides the
accessibility bridge, Wayland included; the program must run with Qt's accessibility on
(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) on the same session bus. Exits non-zero, naming the
control, when one is not found or refuses its action.
"""
import sys
import time

import pyatspi


def find(node, role, name):
    try:
        if node.getRole() == role and node.name == name:
            return node
        for i in range(node.childCount):
            hit = find(node.getChildAtIndex(i), role, name)
            if hit is not None:
                return hit
    except Exception:  # a node that went away while it was being walked
        pass
    return None


def wait_for(role, name, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            hit = find(desktop.getChildAtIndex(i), role, name)
            if hit is not None:
                return hit
        time.sleep(0.2)
    return None


def main():
    for argument in sys.argv[1:]:
        role_name, name = argument.split(":", 1)
        control = wait_for(getattr(pyatspi, "ROLE_" + role_name), name)
        if control is None:
            sys.exit(f"press-controls: no {role_name} {name!r} within 30 s")
        action = control.queryAction()
        action_name = action.getName(0)
        if not action.doAction(0):
            sys.exit(f"press-controls: {name!r} refused {action_name}")
        print(f"press-controls: {action_name} {role_name} {name!r}")
        time.sleep(0.5)  # a button's press lands after its 100 ms click animation


if __name__ == "__main__":
    main()
