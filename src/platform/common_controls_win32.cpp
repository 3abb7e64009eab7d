#include <windows.h>

#include <commctrl.h>

#include "platform/common_controls_win32.h"

namespace kiv {

bool LoadCommonControls(DWORD classes) {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const Init init = [] {
        HMODULE module = LoadLibraryW(L"comctl32.dll");
        const FARPROC found =
            module != nullptr ? GetProcAddress(module, "InitCommonControlsEx") : nullptr;
        return reinterpret_cast<Init>(reinterpret_cast<void (*)()>(found));
    }();
    const INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init != nullptr && init(&controls) != FALSE;
}

}  // namespace kiv
