#include "base/FileVersionInfo_win.h"

namespace vesko {

FileVersionInfo::FileVersionInfo(const std::wstring& path) : version_(L"version.dll") {
    auto size = version_.Function<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>("GetFileVersionInfoSizeW");
    auto read = version_.Function<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoW");
    if (!size || !read) return;
    DWORD ignored = 0;
    const DWORD bytes = size(path.c_str(), &ignored);
    if (bytes == 0) return;
    block_.resize(bytes);
    if (!read(path.c_str(), 0, bytes, block_.data())) block_.clear();
}

bool FileVersionInfo::Query(const wchar_t* subBlock, void** value, UINT* length) const {
    auto query = version_.Function<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>("VerQueryValueW");
    *value = nullptr;
    *length = 0;
    return Read() && query && query(block_.data(), subBlock, value, length) && *value;
}

}  // namespace vesko
