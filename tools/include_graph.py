#!/usr/bin/python3
"""Draws the folder-level include structure of the sources and checks its layering.

    tools/include_graph.py          prints each arrow "from -> to (files)" between folders
    tools/include_graph.py --check  also fails (exit 1) on an arrow the architecture forbids

An arrow runs from the folder of a file to the folder of a project header it includes.
The rules: the views (display/) and the settings dialog (settings_dialog/) never reach into
the application (app/); sync/ holds no user-interface code and includes nothing above it;
common/ and framework/ depend on no feature folder; the service links nothing of the
desktop program."""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["app", "common", "display", "framework", "resources", "service", "settings", "settings_dialog", "sync"]
FORBIDDEN = {
    "display": {"app"},
    "settings_dialog": {"app"},
    "sync": {"app", "display", "settings_dialog", "settings", "service"},
    "settings": {"app", "display", "settings_dialog", "sync", "service"},
    "common": {"app", "display", "settings_dialog", "settings", "sync", "service", "framework"},
    "framework": {"app", "display", "settings_dialog", "settings", "sync", "service"},
    "service": {"app", "display", "settings_dialog", "settings", "sync"},
}
# Headers that draw windows or talk to the user: sync/ may include none of them.
UI_HEADERS = {"commctrl.h", "windowsx.h", "shellapi.h", "gdiplus.h", "framework/wnd.h", "framework/dialog.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)


def arrows():
    found = defaultdict(set)
    ui_in_sync = []
    for folder in FOLDERS:
        for dirpath, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in names:
                if not name.endswith((".h", ".cpp", ".rc")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, ROOT)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for target in INCLUDE.findall(f.read()):
                        head = target.split("/")[0]
                        if folder == "sync" and target.lower() in UI_HEADERS:
                            ui_in_sync.append((rel, target))
                        if "/" in target and head in FOLDERS and head != folder:
                            found[(folder, head)].add(rel)
    return found, ui_in_sync


def main():
    found, ui_in_sync = arrows()
    bad = []
    for (source, target), files in sorted(found.items()):
        forbidden = target in FORBIDDEN.get(source, set())
        mark = "  FORBIDDEN" if forbidden else ""
        print("%-16s -> %-16s %2d file(s)%s" % (source, target, len(files), mark))
        if forbidden:
            bad.extend("  %s includes %s/" % (f, target) for f in sorted(files))
    for rel, header in ui_in_sync:
        bad.append("  %s includes the user-interface header %s" % (rel, header))
    if "--check" in sys.argv and bad:
        print("layering broken:\n" + "\n".join(bad))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
