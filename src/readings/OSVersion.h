#pragma once
// The one-line description of the running Windows version shown in the
// status area, e.g. "WindowsXP Professional [Service Pack 3]".
#include <cstdint>
#include <string>

namespace vesko {

// What the system's version queries report.
struct OSVersionRecord {
    bool BasicOk = false;          // the basic query succeeded; without it there is no text
    std::uint32_t PlatformId = 0;  // 0 Win32s, 1 Windows 9x, 2 NT family
    std::uint32_t MajorVersion = 0;
    std::uint32_t MinorVersion = 0;
    std::uint32_t BuildNumber = 0;  // only the low 16 bits name the build
    std::string CSDVersion;         // service-pack text, UTF-8, untrimmed
    // The extended query (product type and suites).
    bool ExtendedOk = false;
    std::uint8_t ProductType = 0;  // 1 workstation, anything else a server
    std::uint16_t SuiteMask = 0;   // 0x200 personal (Home Edition)
};

inline constexpr std::uint8_t kVerNtWorkstation = 1;
inline constexpr std::uint16_t kVerSuitePersonal = 0x0200;

// Empty when the basic query failed. Where the product words need the
// extended query and it failed, they are left out; the rest stays.
std::string GetOSVersionText(const OSVersionRecord& v);

// The text without blanks and control characters at either end.
std::string TrimServicePack(const std::string& s);

// Windows binding (OSVersion_win.cpp): fills the record from the system.
OSVersionRecord ReadOSVersionRecord();

}  // namespace vesko
