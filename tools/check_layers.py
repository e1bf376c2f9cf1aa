#!/usr/bin/env python3
"""Checks that every Brimview source belongs to a layer, that includes point down the layers,
and that no source holds a mutable global.
Prints every break and exits 1 when there is one.

Run: python3 tools/check_layers.py [SRC]   (SRC defaults to the repository's src/)

The layers, top to bottom: the entry point; the forms; the components; the component layer
(src/ui); the platform's implementations (src/platform); the portable logic, which is every
source the logic library compiles (its CMake target brimview_logic) with everything it includes.
The resource identifiers, shared with the resource script, may be included from any layer.
"""
import pathlib
import re
import sys

ENTRY = {"app/brimview"}
FORMS = {"app/DriveMonitor", "settings/Options", "help/About"}
COMPONENTS = {"app/JustOne", "drawing/TrPanel", "drawing/AlphaCtl", "drawing/AlphaBtn", "drawing/AlphaBlendProc",
              "drawing/Skin", "help/HtmlHelp", "monitor/DriveCombo", "settings/FileComboTF"}
FOLDERS = {"ui/": "component layer", "platform/": "platform"}
RESOURCE_IDS = {"resources/resource"}
RANK = {"portable logic": 0, "resource identifiers": 0, "platform": 1, "component layer": 2, "component": 3,
        "form": 4, "entry point": 5}
# The windows that may not know the main window.
DIALOGS = {"settings/Options", "help/About"}
MAIN_WINDOW_HEADER = "app/DriveMonitor.h"

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
LOGIC_SOURCES = re.compile(r"target_sources\(\s*brimview_logic\s+PRIVATE\s+([^)]*)\)")
# A variable declared in a header at namespace or class scope that can change: extern without
# const, a static data member, or an inline variable, none of them const or constexpr.
MUTABLE_GLOBAL = re.compile(
    r"^\s*(?:extern\s+(?!\"C\")|static\s+(?!constexpr\b|const\b|inline\s+constexpr\b)|inline\s+(?!constexpr\b|const\b))"
    r"(?!.*\()[^;{}]*;", re.M)
# What a source file holds besides code: comments, literals and preprocessor lines.
NOT_CODE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|^\s*#(?:[^\n]*\\\n)*[^\n]*',
                      re.S | re.M)


def stem(path):
    return path.rsplit(".", 1)[0]


def blanked(text):
    """The text with comments, literals and preprocessor lines blanked, lines kept in place."""
    return NOT_CODE.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def without_templates(text):
    """The text without its template argument lists, whose types may hold parentheses."""
    while True:
        shorter = re.sub(r"<[^<>;{}]*>", "", text)
        if shorter == text:
            return text
        text = shorter


def block_kind(head, scope):
    """What a brace opens, from the text before it and the block it opens in."""
    head = without_templates(head)
    if scope in ("class", "init"):
        return scope
    if re.search(r"\bnamespace\b|^extern$", head):  # extern "C", its literal blanked
        return "ns"
    if re.match(r"(template\s*)?(class|struct|union|enum)\b", head) and "=" not in head:
        return "class"
    if scope == "code":
        return "init" if re.match(r"(static|thread_local)\b", head) else "code"
    if "operator" in head or ("(" in head and not ("=" in head and head.index("=") < head.index("("))):
        return "code"
    return "init" if head else "code"


def mutable_variable(statement, scope):
    """The name a statement declares as a mutable variable at namespace scope, or as a static
    one in a function; None otherwise."""
    text = re.sub(r"\[\[.*?\]\]", " ", " ".join(statement.split())).strip()
    if scope == "code" and not re.match(r"(static|thread_local)\b", text):
        return None
    if not text or re.match(r"(using|typedef|template|friend|static_assert|class|struct|enum|union)\b", text):
        return None
    head = re.split(r"[={]", without_templates(text), maxsplit=1)[0]
    if "(" in head or "constexpr" in head or head.rfind("const") > head.rfind("*"):
        return None
    names = re.findall(r"[A-Za-z_]\w*", head)
    return names[-1] if len(names) > 1 else None


def mutable_variables(text):
    """(line, name) of each mutable global a source file defines: at namespace scope or a
    function's static."""
    code = blanked(text)
    found, scopes, start = [], [], 0
    for i, ch in enumerate(code):
        scope = scopes[-1][0] if scopes else "ns"
        if ch == "{":
            kind = block_kind(" ".join(code[start:i].split()), scope)
            scopes.append((kind, start))
            start = i + 1
        elif ch == "}" and scopes:
            kind, outer = scopes.pop()
            start = outer if kind in ("class", "init") else i + 1  # an initializer's statement goes on
        elif ch == ";":
            if scope in ("ns", "code"):
                name = mutable_variable(code[start:i], scope)
                if name:
                    first = start + len(code[start:i]) - len(code[start:i].lstrip())
                    found.append((code.count("\n", 0, first) + 1, name))
            start = i + 1
    return found


def check(files, logic_sources):
    """The breaks in these sources (relative path: text); logic_sources are the files the logic
    library compiles."""
    includes = {name: INCLUDE.findall(text) for name, text in files.items()}
    breaks = []

    # The portable logic: the logic library's sources, their headers, and all they include.
    logic, todo = set(), [name for source in logic_sources for name in (source, stem(source) + ".h")]
    while todo:
        name = todo.pop()
        if name in files and name not in logic:
            logic.add(name)
            todo += [target for kind, target in includes[name] if kind == '"' and target in files]

    def layer(name):
        if name in logic:
            return "portable logic"
        for names, kind in ((ENTRY, "entry point"), (FORMS, "form"), (COMPONENTS, "component"),
                            (RESOURCE_IDS, "resource identifiers")):
            if stem(name) in names:
                return kind
        return next((kind for folder, kind in FOLDERS.items() if name.startswith(folder)), None)

    for name in files:
        below = layer(name)
        if below is None:
            breaks.append(f"{name}: belongs to no layer")
            continue
        for kind, target in includes[name]:
            if name in logic and kind == "<" and target.endswith(".h"):
                breaks.append(f"{name}: portable logic includes the system header <{target}>")
            if kind != '"' or target not in files:
                continue
            above = layer(target)
            if name in logic and above != "portable logic":
                breaks.append(f"{name}: portable logic includes {target} ({above})")
            elif above and RANK[above] > RANK[below]:
                breaks.append(f"{name}: the {below} includes {target} ({above})")
            if stem(name) in DIALOGS and target == MAIN_WINDOW_HEADER:
                breaks.append(f"{name}: a dialog includes the main window's header")
            if (target.startswith("platform/Win32") and stem(name) not in ENTRY
                    and stem(target) != stem(name)):
                breaks.append(f"{name}: only the entry point includes the service implementation {target}")
        if name.endswith(".h"):
            for match in MUTABLE_GLOBAL.finditer(files[name]):
                line = files[name].count("\n", 0, match.start()) + 1
                breaks.append(f"{name}:{line}: a header declares a mutable global: {match.group(0).strip()}")
        else:
            for line, variable in mutable_variables(files[name]):
                breaks.append(f"{name}:{line}: a mutable global: {variable}")
    return breaks, logic


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    files = {p.relative_to(src).as_posix(): p.read_text(encoding="utf-8")
             for p in sorted(src.rglob("*")) if p.suffix in (".h", ".cpp")}
    logic_sources = []
    for cmake in src.rglob("CMakeLists.txt"):
        folder = cmake.parent.relative_to(src).as_posix()
        for group in LOGIC_SOURCES.findall(cmake.read_text(encoding="utf-8")):
            logic_sources += [f"{folder}/{source}" for source in group.split()]
    breaks, logic = check(files, logic_sources)
    for line in breaks:
        print(line)
    print(f"layers: {len(files)} files, {len(logic)} of portable logic, {len(breaks)} breaks")
    return 1 if breaks else 0


if __name__ == "__main__":
    sys.exit(main())
