#pragma once
// The numeric entry field: a single-line edit with an up-down arrow pair
// inside its right edge. The value is the edit's text; typing is filtered to
// what can form a number, and the text is pulled back into the range on every
// key release and when the focus leaves.
#include <windows.h>

#include <cstdint>

#include "controls/SpinValue.h"

namespace vesko {

class SpinEdit {
public:
    // Creates the field on parent at x, y, w, h in 96-DPI client pixels,
    // scaled by dpiScale. rules gives range, increment, typing limit and the
    // first value. The window owns the object; it is freed with the window.
    static SpinEdit* Create(HWND parent, int id, int x, int y, int w, int h, double dpiScale, const SpinValue& rules,
                            HFONT font);
    // The object behind a field's window, or null for any other window.
    static SpinEdit* FromHandle(HWND hwnd);

    HWND Handle() const { return edit_; }
    // Moves the field to pixels (client pixels of the parent, already
    // scaled) with the arrows sized for dpiScale and the font set anew: the
    // window's DPI changed.
    void Place(const RECT& pixels, double dpiScale, HFONT font);

    // The number shown, unclamped; a text that is not a number is replaced
    // by the minimum first.
    std::int64_t Value();
    // Shows v, clamped to the range.
    void SetValue(std::int64_t v);
    void SetRange(std::int64_t minValue, std::int64_t maxValue);
    void SetIncrement(std::int64_t increment) { rules_.Increment = increment; }
    void SetMaxLength(int maxLength);
    // false: the value changes only through the arrows and the arrow keys.
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    void SetReadOnly(bool readOnly);
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // Up (+1) or down (-1) by the increment; a read-only field only beeps.
    void Step(int direction);

private:
    SpinEdit(HWND edit, const SpinValue& rules, double dpiScale);
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnChar(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnSetFocus(UINT msg, WPARAM wp, LPARAM lp);

    void ReadText();
    void WriteText();
    void Repair();
    bool ReadOnly() const;
    int MinHeight() const;
    void Layout();
    void RepaintArrows();

    HWND edit_;
    HWND arrows_ = nullptr;
    SpinValue rules_;
    bool editorEnabled_ = true;
    bool autoSelect_ = true;
    int arrowWidth_;
};

}  // namespace vesko
