// The Win32 calls behind PowerActions. Nothing here decides anything: the order of
// the calls, the flags and the messages are PowerActions's.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "power/PowerActions_win.h"
#include "base/FileVersionInfo_win.h"
#include "base/SystemLibrary_win.h"
#include "base/WinText_win.h"

namespace vesko {

namespace {

HANDLE AsHandle(SystemHandle h) { return reinterpret_cast<HANDLE>(h); }
HMODULE AsModule(SystemHandle h) { return reinterpret_cast<HMODULE>(h); }
SystemHandle FromPointer(const void* p) { return reinterpret_cast<SystemHandle>(p); }

// ShellExecute takes no string for "none"; an empty text means the same.
const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

}  // namespace

OsVersionRecord WinPowerSystem::ReadVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148
    OsVersionRecord v;
    if (::GetVersionExA(&info)) {
        v.platformId = info.dwPlatformId;
        v.majorVersion = info.dwMajorVersion;
        v.minorVersion = info.dwMinorVersion;
    }
    return v;
}

SystemHandle WinPowerSystem::OpenProcessToken(std::uint32_t desiredAccess) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &token)) return 0;
    return FromPointer(token);
}

std::optional<std::uint64_t> WinPowerSystem::LookupPrivilege(const std::string& name) {
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, Widen(name).c_str(), &luid)) return std::nullopt;
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(luid.HighPart)) << 32) | luid.LowPart;
}

bool WinPowerSystem::AdjustTokenPrivileges(SystemHandle token, std::uint64_t luid, std::uint32_t attributes) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid & 0xFFFFFFFFu);
    privileges.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
    privileges.Privileges[0].Attributes = attributes;
    return ::AdjustTokenPrivileges(AsHandle(token), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

void WinPowerSystem::CloseHandle(SystemHandle handle) { ::CloseHandle(AsHandle(handle)); }

bool WinPowerSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

bool WinPowerSystem::SetSystemPowerState(std::int32_t suspend, std::int32_t force) {
    return ::SetSystemPowerState(suspend, force) != FALSE;
}

SystemHandle WinPowerSystem::LoadLibraryByName(const std::string& name) {
    const auto kept = keptLibraries_.find(name);
    if (kept != keptLibraries_.end()) return kept->second;
    const SystemHandle module = FromPointer(LoadSystemLibrary(Widen(name).c_str()));
    // A failed load is tried again next time: the library may come.
    if (module != 0) keptLibraries_.emplace(name, module);
    return module;
}

std::optional<bool> WinPowerSystem::CallBoolExport(SystemHandle module, const std::string& exportName) {
    using BoolQuery = BOOLEAN(WINAPI*)();
    const FARPROC proc = ::GetProcAddress(AsModule(module), exportName.c_str());
    if (!proc) return std::nullopt;
    const auto query = reinterpret_cast<BoolQuery>(reinterpret_cast<void*>(proc));
    return static_cast<unsigned char>(query()) != 0;
}

std::uintptr_t WinPowerSystem::GetProcAddress(SystemHandle module, const std::string& name) {
    return reinterpret_cast<std::uintptr_t>(::GetProcAddress(AsModule(module), name.c_str()));
}

void WinPowerSystem::FreeLibrary(SystemHandle module) {
    for (const auto& kept : keptLibraries_)
        if (kept.second == module) return;
    ::FreeLibrary(AsModule(module));
}

#if defined(_M_IX86) || defined(__i386__)

// QT_Thunk takes the 16:16 target in EDX and copies EBP - ESP - 0x40 bytes of
// arguments to the 16-bit stack, using the 0x40 bytes under EBP as its own
// scratch space; so the frame is laid out by hand. cdecl:
// (qtThunk, target16, arg32, arg16) -> the 16-bit result in AX.
extern "C" std::uint32_t VeskoCallQtThunk(std::uint32_t qtThunk, std::uint32_t target16, std::uint32_t arg32,
                                          std::uint32_t arg16) __asm__("vesko_call_qt_thunk");
__asm__(
    ".text\n"
    ".p2align 4\n"
    "vesko_call_qt_thunk:\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    subl $0x40, %esp\n"
    "    movl 20(%ebp), %eax\n"  // qtThunk
    "    movl 24(%ebp), %edx\n"  // target16
    "    pushl 28(%ebp)\n"       // the 32-bit argument first (16-bit pascal order)
    "    pushw 32(%ebp)\n"       // then the 16-bit one
    "    call *%eax\n"
    "    movzwl %ax, %eax\n"
    "    movl %ebp, %esp\n"
    "    popl %ebp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    ret\n");

namespace {

// Windows 9x refuses GetProcAddress by ordinal on KERNEL32, and its 16-bit
// loader functions are exported by ordinal only; so the export table is read
// directly. Never on the NT family, where these ordinals are other functions.
FARPROC Kernel32Ordinal(WORD ordinal) {
    if ((::GetVersion() & 0x80000000u) == 0) return nullptr;
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return nullptr;
    const auto* base = reinterpret_cast<const BYTE*>(kernel32);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0) return nullptr;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    if (ordinal < exports->Base) return nullptr;
    const DWORD index = ordinal - exports->Base;
    if (index >= exports->NumberOfFunctions) return nullptr;
    const DWORD rva = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions)[index];
    // A forwarder points back into the export directory: not code.
    if (rva == 0 || (rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size)) return nullptr;
    return reinterpret_cast<FARPROC>(const_cast<BYTE*>(base + rva));
}

template <typename Fn>
Fn Kernel32FunctionAt(WORD ordinal) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Kernel32Ordinal(ordinal)));
}

using LoadLibrary16Fn = DWORD(WINAPI*)(LPCSTR);
using FreeLibrary16Fn = void(WINAPI*)(DWORD);
using GetProcAddress16Fn = DWORD(WINAPI*)(DWORD, LPCSTR);

constexpr WORD kLoadLibrary16Ordinal = 35;
constexpr WORD kFreeLibrary16Ordinal = 36;
constexpr WORD kGetProcAddress16Ordinal = 37;

}  // namespace

std::uint32_t WinPowerSystem::LoadLibrary16(const std::string& name) {
    const auto load = Kernel32FunctionAt<LoadLibrary16Fn>(kLoadLibrary16Ordinal);
    if (!load) return 0;
    return load(name.c_str()) & 0xFFFFu;  // an HINSTANCE16 in AX
}

std::uint32_t WinPowerSystem::GetProcAddress16(std::uint32_t module16, const std::string& name) {
    const auto lookup = Kernel32FunctionAt<GetProcAddress16Fn>(kGetProcAddress16Ordinal);
    if (!lookup) return 0;
    return lookup(module16, name.c_str());
}

void WinPowerSystem::FreeLibrary16(std::uint32_t module16) {
    if (const auto free16 = Kernel32FunctionAt<FreeLibrary16Fn>(kFreeLibrary16Ordinal)) free16(module16);
}

std::uint16_t WinPowerSystem::CallThunk16(std::uintptr_t qtThunk, std::uint32_t target16, std::uint32_t arg32,
                                          std::uint16_t arg16) {
    return static_cast<std::uint16_t>(VeskoCallQtThunk(qtThunk, target16, arg32, arg16));
}

#else

// The 16-bit side exists only under the 9x family, which runs no 64-bit code:
// the loader answers "no module" and PowerActions reports it.
std::uint32_t WinPowerSystem::LoadLibrary16(const std::string&) { return 0; }
std::uint32_t WinPowerSystem::GetProcAddress16(std::uint32_t, const std::string&) { return 0; }
void WinPowerSystem::FreeLibrary16(std::uint32_t) {}
std::uint16_t WinPowerSystem::CallThunk16(std::uintptr_t, std::uint32_t, std::uint32_t, std::uint16_t) { return 0; }

#endif

std::intptr_t WinPowerSystem::ShellExecuteOpen(const std::string& verb, const std::string& file,
                                               const std::string& parameters, const std::string& directory,
                                               int showCommand) {
    const std::wstring v = Widen(verb), f = Widen(file), p = Widen(parameters), d = Widen(directory);
    const HINSTANCE result = ::ShellExecuteW(nullptr, OrNull(v), f.c_str(), OrNull(p), OrNull(d), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

SystemHandle WinPowerSystem::FindWindowByClass(const std::string& className) {
    return FromPointer(::FindWindowW(Widen(className).c_str(), nullptr));
}

bool WinPowerSystem::PostWindowMessage(SystemHandle window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    return ::PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

void WinPowerSystem::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t WinPowerSystem::FileVersionMS(const std::string& file) {
    const FileVersionInfo info(Widen(file));
    void* value = nullptr;
    UINT length = 0;
    if (!info.Query(L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return 0;
    return static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS;
}

void WinPowerSystem::CloseMainWindow() {
    if (closeMainWindow_) closeMainWindow_();
}

}  // namespace vesko
