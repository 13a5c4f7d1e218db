#pragma once
// The three windows that live beside the main window for the whole process.
#include <windows.h>

namespace vesko {

// A hidden top-level window of its own class; each dialog fills in its controls.
class TSimpleForm {
public:
    virtual ~TSimpleForm() = default;
    bool Create(HINSTANCE instance, const wchar_t* className, const char* caption, int clientW, int clientH,
                DWORD exStyle);
    HWND Handle() const { return hwnd_; }

protected:
    virtual void CreateControls() {}
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
};

class TForm4 : public TSimpleForm {
public:
    bool Create(HINSTANCE instance);
};

}  // namespace vesko

// The warning dialog lives in its own unit.
#include "Unit3.h"

// The About box lives in its own unit.
#include "Unit2.h"
