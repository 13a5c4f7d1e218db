#include "base/SystemLibrary_win.h"

#include <string>

namespace vesko {
namespace {

// The LOAD_LIBRARY_SEARCH_* flags are understood wherever AddDllDirectory
// exists: Windows 8 and later, Vista and 7 with the update that added it.
bool SearchFlagsKnown() {
    using AddDllDirectoryFn = PVOID(WINAPI*)(PCWSTR);
    static const bool known = Kernel32Function<AddDllDirectoryFn>("AddDllDirectory") != nullptr;
    return known;
}

// Whether the program's manifest names the library (the common controls,
// version 6): the loader then takes it from the side-by-side store before
// it searches any folder, and a full path would bypass that for the old one.
bool RedirectedByManifest(const wchar_t* name) {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &data) != FALSE;
}

}  // namespace

void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // XP SP1 up to an unpatched 7: the current folder at least leaves the
    // search; LoadSystemLibrary names the system folder itself there.
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    if (auto setDirectory = Kernel32Function<SetDllDirectoryFn>("SetDllDirectoryW")) setDirectory(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SearchFlagsKnown()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (RedirectedByManifest(name)) return LoadLibraryW(name);
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    if (path.back() != L'\\') path += L'\\';
    path += name;
    return LoadLibraryW(path.c_str());
}

}  // namespace vesko
