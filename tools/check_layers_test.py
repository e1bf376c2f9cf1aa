#!/usr/bin/env python3
"""Plants one break (or none) in a tiny source tree and checks that check_layers.py reports
exactly it. Run: python3 tools/check_layers_test.py"""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from check_layers import check  # noqa: E402

NOTHING_MUTABLE = """namespace brimview {
namespace {
constexpr int kA = 1;
const char* const kName = "x;";  // int notAGlobal;
const std::map<int, std::pair<int, int>> kTable{{1, {2, 3}}};
struct Cache { int member; static int Count(); };
enum class Kind { A, B };
std::function<void()> MakeHandler(int a);
}  // namespace
Form::Form() : size_{1, 2} { static const auto found = Find("a"); int local = 0; }
bool operator==(const Rect& a, const Rect& b) { return a.left == b.left; }
}  // namespace brimview
"""

CASES = [
    ("a platform file includes the main window",
     {"platform/Drives.cpp": '#include "app/DriveMonitor.h"\n', "app/DriveMonitor.h": ""},
     "platform/Drives.cpp: the platform includes app/DriveMonitor.h (form)"),
    ("a namespace-scope int in the component layer", {"ui/Shape.cpp": "namespace brimview::ui {\nint shapes = 0;\n}\n"},
     "ui/Shape.cpp:2: a mutable global: shapes"),
    ("a function's static of a template type", {"drawing/Skin.cpp": "void F() {\n  if (a) {}\n"
                                                "  static std::map<int, std::function<void()>> cache;\n}\n"},
     "drawing/Skin.cpp:3: a mutable global: cache"),
    ("a global set by a lambda", {"ui/Text.cpp": "Api api = [] {\n  Api found;\n  return found;\n}();\n"},
     "ui/Text.cpp:1: a mutable global: api"),
    ("a global in an extern \"C\" block", {"ui/Text.cpp": 'extern "C" {\nint hooks;\n}\n'},
     "ui/Text.cpp:2: a mutable global: hooks"),
    ("the application object as a global", {"ui/Application.cpp": "namespace {\nApplication* app = nullptr;\n}\n"},
     "ui/Application.cpp:2: a mutable global: app"),
    ("a function's static table set by a lambda",
     {"platform/LayeredWindows.cpp": "Api& Calls() {\n  static Api api = [] {\n    return Api{};\n  }();\n"
      "  return api;\n}\n"}, "platform/LayeredWindows.cpp:2: a mutable global: api"),
    ("a source in a folder no layer names", {"extra/Thing.cpp": ""}, "extra/Thing.cpp: belongs to no layer"),
    ("portable logic includes the system", {"monitor/Readout.cpp": "#include <windows.h>\n"},
     "monitor/Readout.cpp: portable logic includes the system header <windows.h>"),
    ("nothing mutable", {"ui/Form.cpp": NOTHING_MUTABLE}, None),
]


def main():
    failures = 0
    for what, files, expected in CASES:
        breaks, _ = check(files, ["monitor/Readout.cpp"])
        if breaks != ([expected] if expected else []):
            failures += 1
            print(f"{what}: expected {expected!r}, got {breaks}")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
