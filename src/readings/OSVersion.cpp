#include "readings/OSVersion.h"

namespace vesko {

std::string TrimServicePack(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
    return s.substr(begin, end - begin);
}

namespace {

std::string Windows9xName(const OSVersionRecord& v) {
    const std::uint32_t build = v.BuildNumber & 0xFFFF;
    switch (v.MinorVersion) {
        case 0:
            if (build == 1111) return "95 OSR2";
            if (build == 1212 || build == 1213) return "95 OSR2.1";
            if (build >= 1214 && build <= 9999) return "95 OSR2.5";
            return "95";
        case 10: return build >= 2222 && build <= 9999 ? "98 Second Edition" : "98";
        case 90: return "Me";
        default: return "";
    }
}

std::string NtName(const OSVersionRecord& v, const std::string& servicePack) {
    const bool workstation = v.ProductType == kVerNtWorkstation;
    if (v.MajorVersion == 5 && v.MinorVersion == 0) {
        if (!v.ExtendedOk) return "2000 ";
        return workstation ? "2000 Professional" : "2000 Server";
    }
    if (v.MajorVersion == 5 && v.MinorVersion == 1) {
        // 5.1 is always XP; without the product type there is nothing to add.
        if (!v.ExtendedOk) return "XP ";
        if (!workstation) return "Server 2003";
        return (v.SuiteMask & kVerSuitePersonal) ? "XP Home Edition" : "XP Professional";
    }
    std::string text = "NT" + std::to_string(v.MajorVersion) + "." + std::to_string(v.MinorVersion) + " ";
    const bool asksProduct = v.MajorVersion >= 5 || (v.MajorVersion == 4 && servicePack.find('6') != std::string::npos);
    if (asksProduct && v.ExtendedOk) text += workstation ? "WorkStation" : "Server";
    return text;
}

}  // namespace

std::string GetOSVersionText(const OSVersionRecord& v) {
    if (!v.BasicOk) return "";
    const std::string servicePack = TrimServicePack(v.CSDVersion);
    std::string text = "Windows";
    switch (v.PlatformId) {
        case 0: text += std::to_string(v.MajorVersion) + "." + std::to_string(v.MinorVersion) + "(Win32s)"; break;
        case 1: text += Windows9xName(v); break;
        case 2: text += NtName(v, servicePack); break;
        default: break;
    }
    if (!servicePack.empty()) text += " [" + servicePack + "]";
    return text;
}

}  // namespace vesko
