#include "controls/CommonControls_win.h"

#include "base/SystemLibrary_win.h"

namespace vesko {
namespace {

using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using SetSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefSubclassFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

struct Library {
    HMODULE module = nullptr;
    SetSubclassFn setSubclass = nullptr;
    RemoveSubclassFn removeSubclass = nullptr;
    DefSubclassFn defSubclass = nullptr;
    bool tried = false;
    bool ready = false;
};

Library& Loaded() {
    static Library lib;
    return lib;
}

// By name where the library exports it, else by its ordinal (the name came
// only with version 6).
template <class Fn>
Fn Entry(HMODULE module, const char* name, WORD ordinal) {
    FARPROC p = GetProcAddress(module, name);
    if (!p) p = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

}  // namespace

bool CommonControls::Load() {
    Library& lib = Loaded();
    if (lib.tried) return lib.ready;
    lib.tried = true;
    // Kept for the rest of the process: its window classes stay registered.
    // By bare name under the narrowed search, so that the manifest's version 6
    // comes from the side-by-side store (a full path would give the old one).
    lib.module = LoadSystemLibrary(L"comctl32.dll");
    if (!lib.module) return false;
    lib.setSubclass = Entry<SetSubclassFn>(lib.module, "SetWindowSubclass", 410);
    lib.removeSubclass = Entry<RemoveSubclassFn>(lib.module, "RemoveWindowSubclass", 412);
    lib.defSubclass = Entry<DefSubclassFn>(lib.module, "DefSubclassProc", 413);
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(lib.module, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    lib.ready = init && init(&icc);
    return lib.ready;
}

bool CommonControls::SetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    Load();
    const Library& lib = Loaded();
    return lib.setSubclass && lib.defSubclass && lib.setSubclass(hwnd, proc, id, data);
}

void CommonControls::RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
    if (const Library& lib = Loaded(); lib.removeSubclass) lib.removeSubclass(hwnd, proc, id);
}

LRESULT CommonControls::DefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Only a subclassed window calls this, and subclassing needed the library.
    const Library& lib = Loaded();
    return lib.defSubclass ? lib.defSubclass(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace vesko
