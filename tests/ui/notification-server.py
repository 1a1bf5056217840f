#!/usr/bin/python3
# A stand-in desktop notification server for the tests, on the session bus the
# test started. Every Notify call becomes one line of the log file:
#   id <TAB> app <TAB> summary <TAB> body <TAB> key=label;key=label...
# The test makes it send ActionInvoked with the method org.tovix.StandIn.Invoke.
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class StandIn(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, PATH)
        self.log = log
        self.last = 0

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("stand-in", "tovix-tests", "1.0", "1.2")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        if replaces:
            number = int(replaces)
        else:
            self.last += 1
            number = self.last
        pairs = ";".join(f"{actions[i]}={actions[i + 1]}" for i in range(0, len(actions) - 1, 2))
        with open(self.log, "a", encoding="utf-8") as out:
            out.write(f"{number}\t{app}\t{summary}\t{body}\t{pairs}\n")
        return dbus.UInt32(number)

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, number):
        self.NotificationClosed(number, 3)

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, number, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, number, reason):
        pass

    @dbus.service.method("org.tovix.StandIn", in_signature="us", out_signature="")
    def Invoke(self, number, key):
        self.ActionInvoked(number, key)


def main():
    log = sys.argv[1]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = StandIn(bus, log)
    name = dbus.service.BusName(NAME, bus)
    with open(log + ".ready", "w"):
        pass
    GLib.MainLoop().run()


main()
