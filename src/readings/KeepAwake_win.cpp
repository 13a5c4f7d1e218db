// Other programs' keep-awake requests as Windows reports them, without
// administrator rights. Each export is looked up at run time: whatever a
// Windows version lacks (Windows XP has neither the notification state nor
// the audio sessions) counts as no request. Nothing here waits.
#include <windows.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "base/ScopedWin.h"
#include "base/SystemLibrary_win.h"
#include "base/WinText_win.h"
#include "readings/KeepAwake.h"
#include "readings/SoundOutputs.h"

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

using CoTaskMemFreeFn = void(WINAPI*)(LPVOID);

// The endpoint's peak meter (its header here only names it).
struct PeakMeter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPeakValue(float* peak) = 0;
};
constexpr GUID kPeakMeterId = {0xC02216F6, 0x8C67, 0x4B5B, {0x9D, 0x00, 0xD0, 0x08, 0xE7, 0x3E, 0x00, 0x64}};

class WinAudioSession : public AudioSession {
public:
    WinAudioSession(IAudioSessionControl& control, IAudioSessionControl2& owner) : control_(control), owner_(owner) {}
    bool Playing() override {
        AudioSessionState state = AudioSessionStateInactive;
        return SUCCEEDED(control_.GetState(&state)) && state == AudioSessionStateActive;
    }
    bool OfThisProgram() override {
        DWORD pid = 0;
        return SUCCEEDED(owner_.GetProcessId(&pid)) && pid == GetCurrentProcessId();
    }
    bool SystemSounds() override { return owner_.IsSystemSoundsSession() == S_OK; }

private:
    IAudioSessionControl& control_;
    IAudioSessionControl2& owner_;
};

class WinAudioOutput : public AudioOutput {
public:
    WinAudioOutput(IMMDevice& device, UINT index, CoTaskMemFreeFn freeText)
        : device_(device), index_(index), freeText_(freeText) {}

    // Windows 7 and later; Windows Vista has no session list.
    bool ForEachSession(const std::function<bool(AudioSession&)>& visit) override {
        ScopedComPtr<IAudioSessionManager2> manager;
        if (FAILED(
                device_.Activate(__uuidof(IAudioSessionManager2), CLSCTX_INPROC_SERVER, nullptr, manager.OutVoid())) ||
            !manager)
            return false;
        ScopedComPtr<IAudioSessionEnumerator> list;
        int count = 0;
        if (FAILED(manager->GetSessionEnumerator(list.Out())) || !list || FAILED(list->GetCount(&count))) return false;
        for (int i = 0; i < count; ++i) {
            ScopedComPtr<IAudioSessionControl> control;
            ScopedComPtr<IAudioSessionControl2> owner;
            if (FAILED(list->GetSession(i, control.Out())) || !control) continue;
            // A session that cannot say whose it is is not counted.
            if (FAILED(control->QueryInterface(__uuidof(IAudioSessionControl2), owner.OutVoid())) || !owner) continue;
            WinAudioSession session(*control.Get(), *owner.Get());
            if (!visit(session)) break;
        }
        return true;
    }

    std::optional<float> Peak() override {
        ScopedComPtr<PeakMeter> meter;
        float peak = 0;
        if (FAILED(device_.Activate(kPeakMeterId, CLSCTX_INPROC_SERVER, nullptr, meter.OutVoid())) || !meter ||
            FAILED(meter->GetPeakValue(&peak)))
            return std::nullopt;
        return peak;
    }

    std::string Id() override {
        LPWSTR id = nullptr;
        if (freeText_ && SUCCEEDED(device_.GetId(&id)) && id) {
            std::string text = Narrow(id);
            freeText_(id);
            return text;
        }
        // Without its name a device is followed by its place in the list.
        std::string place = "#";
        place += std::to_string(index_);
        return place;
    }

private:
    IMMDevice& device_;
    UINT index_;
    CoTaskMemFreeFn freeText_;
};

// The active render devices, listed at each reading: devices come and go.
class WinAudioOutputs : public AudioOutputs {
public:
    WinAudioOutputs(IMMDeviceEnumerator& enumerator, CoTaskMemFreeFn freeText)
        : enumerator_(enumerator), freeText_(freeText) {}

    void ForEachActiveOutput(const std::function<bool(AudioOutput&)>& visit) override {
        ScopedComPtr<IMMDeviceCollection> devices;
        UINT count = 0;
        if (FAILED(enumerator_.EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, devices.Out())) || !devices ||
            FAILED(devices->GetCount(&count)))
            return;
        for (UINT i = 0; i < count; ++i) {
            ScopedComPtr<IMMDevice> device;
            if (FAILED(devices->Item(i, device.Out())) || !device) continue;
            WinAudioOutput output(*device.Get(), i, freeText_);
            if (!visit(output)) break;
        }
    }

private:
    IMMDeviceEnumerator& enumerator_;
    CoTaskMemFreeFn freeText_;
};

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
        enumerator_.Reset();
        sound_.Reset();
        if (comInitialized_) {
            // The apartment's last uninitialize also unloads the audio library.
            if (auto uninit = Export<CoUninitializeFn>(ole32_, "CoUninitialize")) uninit();
            comInitialized_ = false;
        }
        for (HMODULE* m : {&powrprof_, &shell32_, &ole32_}) {
            if (*m) FreeLibrary(*m);
            *m = nullptr;
        }
        coTaskMemFree_ = nullptr;
        opened_ = false;
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
        coTaskMemFree_ = Export<CoTaskMemFreeFn>(ole32_, "CoTaskMemFree");
        auto create = Export<CoCreateInstanceFn>(ole32_, "CoCreateInstance");
        if (comInitialized_ && create)
            create(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IMMDeviceEnumerator),
                   enumerator_.OutVoid());
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
        WinAudioOutputs outputs(*enumerator_.Get(), coTaskMemFree_);
        return sound_.Read(outputs);
    }

    bool opened_ = false;
    HMODULE powrprof_ = nullptr;
    HMODULE shell32_ = nullptr;
    HMODULE ole32_ = nullptr;
    bool comInitialized_ = false;
    CoTaskMemFreeFn coTaskMemFree_ = nullptr;
    ScopedComPtr<IMMDeviceEnumerator> enumerator_;
    SoundOnOutputs sound_;
};

}  // namespace

std::unique_ptr<KeepAwakeProbe> CreateKeepAwakeProbe() { return std::make_unique<WinKeepAwakeProbe>(); }

}  // namespace vesko
