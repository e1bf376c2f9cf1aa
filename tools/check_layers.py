#!/usr/bin/env python3
"""Checks that Brimview's includes point down the layers and that no header declares a
mutable global. Prints every break and exits 1 when there is one.

Run: python3 tools/check_layers.py [SRC]   (SRC defaults to the repository's src/)

The layers, top to bottom: the entry point; the forms; the components; the component
layer (src/ui); the platform's implementations; the portable logic, which is every source
the logic library compiles (its CMake target brimview_logic) with everything it includes.
"""
import pathlib
import re
import sys

ENTRY = {"app/brimview"}
FORMS = {"app/DriveMonitor", "settings/Options", "help/About"}
COMPONENTS = {"app/JustOne", "drawing/TrPanel", "drawing/AlphaCtl", "drawing/AlphaBtn", "drawing/AlphaBlendProc",
              "drawing/Skin", "help/HtmlHelp", "monitor/DriveCombo", "settings/FileComboTF"}
# The windows that may not know the main window.
DIALOGS = {"settings/Options", "help/About"}
MAIN_WINDOW_HEADER = "app/DriveMonitor.h"

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
LOGIC_SOURCES = re.compile(r"target_sources\(\s*brimview_logic\s+PRIVATE\s+([^)]*)\)")
# A variable declared at namespace or class scope that can change: extern without const,
# a static data member, or an inline variable, none of them const or constexpr.
MUTABLE_GLOBAL = re.compile(
    r"^\s*(?:extern\s+(?!\"C\")|static\s+(?!constexpr\b|const\b|inline\s+constexpr\b)|inline\s+(?!constexpr\b|const\b))"
    r"(?!.*\()[^;{}]*;", re.M)


def stem(path):
    return path.rsplit(".", 1)[0]


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    files = {p.relative_to(src).as_posix(): p.read_text(encoding="utf-8")
             for p in sorted(src.rglob("*")) if p.suffix in (".h", ".cpp")}
    includes = {name: INCLUDE.findall(text) for name, text in files.items()}
    breaks = []

    def project(name):
        return [target for kind, target in includes[name] if kind == '"' and target in files]

    # The portable logic: the logic library's sources, their headers, and all they include.
    logic, todo = set(), []
    for cmake in src.rglob("CMakeLists.txt"):
        folder = cmake.parent.relative_to(src).as_posix()
        for group in LOGIC_SOURCES.findall(cmake.read_text(encoding="utf-8")):
            for source in group.split():
                todo += [f"{folder}/{source}", f"{folder}/{stem(source)}.h"]
    while todo:
        name = todo.pop()
        if name in files and name not in logic:
            logic.add(name)
            todo += project(name)

    def layer(name):
        if name in logic:
            return "portable logic"
        if stem(name) in ENTRY:
            return "entry point"
        if stem(name) in FORMS:
            return "form"
        if stem(name) in COMPONENTS:
            return "component"
        if name.startswith("ui/"):
            return "component layer"
        return "platform"

    for name in files:
        for kind, target in includes[name]:
            if name in logic and kind == "<" and target.endswith(".h"):
                breaks.append(f"{name}: portable logic includes the system header <{target}>")
            if kind != '"' or target not in files:
                continue
            below, above = layer(name), layer(target)
            if name in logic and above != "portable logic":
                breaks.append(f"{name}: portable logic includes {target} ({above})")
            if below == "component layer" and above in ("component", "form", "entry point"):
                breaks.append(f"{name}: the component layer includes {target} ({above})")
            if below == "component" and above in ("form", "entry point"):
                breaks.append(f"{name}: a component includes {target} ({above})")
            if stem(name) in DIALOGS and target == MAIN_WINDOW_HEADER:
                breaks.append(f"{name}: a dialog includes the main window's header")
            if (target.startswith("platform/Win32") and stem(name) not in ENTRY
                    and stem(target) != stem(name)):
                breaks.append(f"{name}: only the entry point includes the service implementation {target}")
        if name.endswith(".h"):
            for match in MUTABLE_GLOBAL.finditer(files[name]):
                line = files[name].count("\n", 0, match.start()) + 1
                breaks.append(f"{name}:{line}: a header declares a mutable global: {match.group(0).strip()}")

    for line in breaks:
        print(line)
    print(f"layers: {len(files)} files, {len(logic)} of portable logic, {len(breaks)} breaks")
    return 1 if breaks else 0


if __name__ == "__main__":
    sys.exit(main())
