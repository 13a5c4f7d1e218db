#pragma once
// Libraries of Windows, taken from the system folder only. The program runs
// from wherever it was unzipped (a Downloads folder, the desktop), and
// Windows looks for a library in the program's own folder first: a file
// planted there under a system library's name would run inside the program.
#include <windows.h>

namespace vesko {

// Takes the program's folder and the current folder out of the search for
// every later load, Windows' own included. Called first thing in the entry.
void RestrictLibrarySearch();

// The system library `name` (a bare file name such as L"powrprof.dll"), never
// a file of that name elsewhere; nullptr when the system lacks it. Free it
// with FreeLibrary.
HMODULE LoadSystemLibrary(const wchar_t* name);

// An export of kernel32 as a pointer of type Fn (a WINAPI function pointer
// type); nullptr where this Windows lacks it. kernel32 is mapped from the
// system folder before the program's first line, so it is looked up, not loaded.
template <class Fn>
Fn Kernel32Function(const char* name) {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    // Through void*: FARPROC's own type is unrelated to Fn.
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace vesko
