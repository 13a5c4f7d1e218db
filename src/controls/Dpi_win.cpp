#include "controls/Dpi_win.h"

namespace vesko {
namespace {

template <class Fn>
Fn User32Function(const char* name) {
    // user32 is imported by the program, so it is mapped from the system folder already.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

struct DpiFunctions {
    using ForWindowFn = UINT(WINAPI*)(HWND);
    using ForSystemFn = UINT(WINAPI*)();
    using MetricFn = int(WINAPI*)(int, UINT);
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    ForWindowFn forWindow = User32Function<ForWindowFn>("GetDpiForWindow");
    ForSystemFn forSystem = User32Function<ForSystemFn>("GetDpiForSystem");
    MetricFn metric = User32Function<MetricFn>("GetSystemMetricsForDpi");
    AdjustFn adjust = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
};

const DpiFunctions& Functions() {
    static const DpiFunctions f;
    return f;
}

int DeviceDpi() {
    HDC dc = GetDC(nullptr);
    const int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return d > 0 ? d : kBaseDpi;
}

}  // namespace

int SystemDpi() {
    if (Functions().forSystem)
        if (const UINT d = Functions().forSystem(); d > 0) return static_cast<int>(d);
    return DeviceDpi();
}

int WindowDpi(HWND hwnd) {
    if (hwnd && Functions().forWindow)
        if (const UINT d = Functions().forWindow(hwnd); d > 0) return static_cast<int>(d);
    return SystemDpi();
}

int SystemMetricAt(int index, int dpi) {
    if (Functions().metric) return Functions().metric(index, static_cast<UINT>(dpi));
    // Without the per-DPI call the metrics are the session's: scale from there.
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRectAt(RECT* r, DWORD style, DWORD exStyle, int dpi) {
    if (Functions().adjust && Functions().adjust(r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(r, style, FALSE, exStyle);
}

}  // namespace vesko
