#pragma once
// The routine that blends the translucent controls onto their parent: the platform's AlphaBlend
// from msimg32.dll, looked up once for the whole process, or the program's own software blend.
#include <windows.h>

#include "platform/SystemLibrary.h"

namespace brimview {

// The parameter list of AlphaBlend.
using AlphaBlendFunction = BOOL(WINAPI*)(HDC destination, int destX, int destY, int destWidth, int destHeight,
                                         HDC source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                         BLENDFUNCTION blend);

// Blends source over destination at the constant opacity blend.SourceConstantAlpha, one row at a time
// through a 24-bit scratch bitmap: each colour byte becomes (s × A + d × (255 − A)) div 255.
// Returns TRUE when done. Refuses with FALSE, changing nothing, what it cannot do exactly: a source size
// other than the destination's, an empty size, another operation than AC_SRC_OVER, per-pixel alpha.
// A failing GDI call also gives FALSE.
BOOL WINAPI FallbackAlphaBlend(HDC destination, int destX, int destY, int destWidth, int destHeight, HDC source,
                               int sourceX, int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend);

// A system DLL that may export "AlphaBlend", loaded from the system folder and kept loaded as long
// as this object lives. Routine() is its AlphaBlend, or FallbackAlphaBlend when the DLL cannot be
// loaded or has no such export.
class AlphaBlendLibrary {
public:
    explicit AlphaBlendLibrary(const wchar_t* dll);
    AlphaBlendFunction Routine() const { return routine_; }

private:
    UniqueModule module_;
    AlphaBlendFunction routine_;
};

// The process's routine, settled from the system's "msimg32.dll" while the program starts and never changed;
// the library is freed at the end of the program.
AlphaBlendFunction AlphaBlendProc();

}  // namespace brimview
