// Put beside the tests as msimg32.dll: a file of a system DLL's name in the program's folder,
// which must never be the one loaded. Its AlphaBlend blends nothing.
extern "C" __declspec(dllexport) int __stdcall AlphaBlend(void*, int, int, int, int, void*, int, int, int, int,
                                                          unsigned) {
    return 0;
}
