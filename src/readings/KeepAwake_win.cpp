// Other programs' keep-awake requests as Windows reports them, without
// administrator rights. Each export is looked up at run time: whatever a
// Windows version lacks (Windows XP has neither the notification state nor
// the audio sessions) counts as no request. Nothing here waits.
#include <windows.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <shellapi.h>

#include "base/SystemLibrary_win.h"
#include "readings/KeepAwake.h"

namespace vesko {
namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

using CallNtPowerInformationFn = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
using QueryNotificationStateFn = HRESULT(WINAPI*)(QUERY_USER_NOTIFICATION_STATE*);
using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFn = void(WINAPI*)();
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

// The endpoint's peak meter of Windows Vista (its header here only names it).
struct PeakMeter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPeakValue(float* peak) = 0;
};
constexpr GUID kPeakMeterId = {0xC02216F6, 0x8C67, 0x4B5B, {0x9D, 0x00, 0xD0, 0x08, 0xE7, 0x3E, 0x00, 0x64}};

// The meter has no owner: a short sound such as this program's own warning
// beep must not hold the action back, so it counts after this many ticks in a row.
constexpr int kMeterTicks = 3;

template <class T>
void Release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

class WinKeepAwakeProbe : public KeepAwakeProbe {
public:
    ~WinKeepAwakeProbe() override { Close(); }

    KeepAwakeReading Read() override {
        Open();
        KeepAwakeReading r;
        r.SystemRequired = ExecutionStateRequests();
        r.FullScreen = FullScreenOrPresentation();
        r.Sound = SoundPlaying();
        return r;
    }

    void Close() override {
        Release(enumerator_);
        if (comInitialized_) {
            // The apartment's last uninitialize also unloads the audio library.
            if (auto uninit = Export<CoUninitializeFn>(ole32_, "CoUninitialize")) uninit();
            comInitialized_ = false;
        }
        for (HMODULE* m : {&powrprof_, &shell32_, &ole32_}) {
            if (*m) FreeLibrary(*m);
            *m = nullptr;
        }
        opened_ = false;
        meterRun_ = 0;
    }

private:
    void Open() {
        if (opened_) return;
        opened_ = true;
        powrprof_ = LoadSystemLibrary(L"powrprof.dll");
        shell32_ = LoadSystemLibrary(L"shell32.dll");
        ole32_ = LoadSystemLibrary(L"ole32.dll");
        auto init = Export<CoInitializeExFn>(ole32_, "CoInitializeEx");
        comInitialized_ = init && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
        auto create = Export<CoCreateInstanceFn>(ole32_, "CoCreateInstance");
        if (comInitialized_ && create)
            create(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IMMDeviceEnumerator),
                   reinterpret_cast<void**>(&enumerator_));
    }

    bool ExecutionStateRequests() {
        auto call = Export<CallNtPowerInformationFn>(powrprof_, "CallNtPowerInformation");
        EXECUTION_STATE state = 0;
        if (!call || call(SystemExecutionState, nullptr, 0, &state, sizeof state) != 0) return false;
        return (state & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED | ES_AWAYMODE_REQUIRED)) != 0;
    }

    bool FullScreenOrPresentation() {
        auto query = Export<QueryNotificationStateFn>(shell32_, "SHQueryUserNotificationState");
        QUERY_USER_NOTIFICATION_STATE state{};
        if (!query || FAILED(query(&state))) return false;
        // Busy is a full-screen program; a locked or away session (not
        // present) and the first hour after setup (quiet time) are no request.
        return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
    }

    bool SoundPlaying() {
        if (!enumerator_) return false;
        IMMDevice* device = nullptr;
        if (FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, &device)) || !device) {
            meterRun_ = 0;
            return false;
        }
        bool playing = false;
        IAudioSessionManager2* sessions = nullptr;
        if (SUCCEEDED(device->Activate(__uuidof(IAudioSessionManager2), CLSCTX_INPROC_SERVER, nullptr,
                                       reinterpret_cast<void**>(&sessions))) &&
            sessions) {
            playing = AnyActiveSession(*sessions);
            Release(sessions);
        } else {
            playing = MeterShowsSound(*device);
        }
        Release(device);
        return playing;
    }

    // Windows 7 and later: a stream of another program that is playing now.
    static bool AnyActiveSession(IAudioSessionManager2& manager) {
        IAudioSessionEnumerator* list = nullptr;
        if (FAILED(manager.GetSessionEnumerator(&list)) || !list) return false;
        int count = 0;
        if (FAILED(list->GetCount(&count))) count = 0;
        bool active = false;
        for (int i = 0; i < count && !active; ++i) {
            IAudioSessionControl* control = nullptr;
            if (FAILED(list->GetSession(i, &control)) || !control) continue;
            AudioSessionState state = AudioSessionStateInactive;
            IAudioSessionControl2* control2 = nullptr;
            if (SUCCEEDED(control->GetState(&state)) && state == AudioSessionStateActive &&
                SUCCEEDED(
                    control->QueryInterface(__uuidof(IAudioSessionControl2), reinterpret_cast<void**>(&control2))) &&
                control2) {
                // The system's own sounds and this program's beep are no request.
                DWORD pid = 0;
                const bool own = SUCCEEDED(control2->GetProcessId(&pid)) && pid == GetCurrentProcessId();
                active = !own && control2->IsSystemSoundsSession() != S_OK;
            }
            Release(control2);
            Release(control);
        }
        Release(list);
        return active;
    }

    // Windows Vista: the endpoint's peak meter, read as it stands.
    bool MeterShowsSound(IMMDevice& device) {
        PeakMeter* meter = nullptr;
        float peak = 0;
        const bool heard =
            SUCCEEDED(device.Activate(kPeakMeterId, CLSCTX_INPROC_SERVER, nullptr, reinterpret_cast<void**>(&meter))) &&
            meter && SUCCEEDED(meter->GetPeakValue(&peak)) && peak > 0.0f;
        Release(meter);
        meterRun_ = heard ? meterRun_ + 1 : 0;
        return meterRun_ >= kMeterTicks;
    }

    bool opened_ = false;
    HMODULE powrprof_ = nullptr;
    HMODULE shell32_ = nullptr;
    HMODULE ole32_ = nullptr;
    bool comInitialized_ = false;
    IMMDeviceEnumerator* enumerator_ = nullptr;
    int meterRun_ = 0;
};

}  // namespace

std::unique_ptr<KeepAwakeProbe> CreateKeepAwakeProbe() { return std::make_unique<WinKeepAwakeProbe>(); }

}  // namespace vesko
