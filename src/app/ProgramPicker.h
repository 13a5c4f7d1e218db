#pragma once
// The job's-end picker "ソフトの選択": the programs running now, those with a
// visible window first (title and file name), then the rest; OK gives the
// chosen file name. Made when first opened, hidden between showings, shown
// modally from the settings window's "選択" button.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Window.h"
#include "ui/ProgramChoices.h"

namespace vesko {

class ProgramPicker : public Window {
public:
    // The chosen program's file name; none when cancelled or nothing chosen.
    std::optional<std::string> ShowModal(HWND owner);

protected:
    void CreateControls() override;
    void PlaceControls() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Create(HINSTANCE instance);
    void Fill();
    void Arrange(int width, int height);
    void Finish(bool ok);

    HWND list_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
    std::vector<ProgramChoice> choices_;
    std::optional<std::string> chosen_;
    bool modal_ = false;
    bool done_ = false;
};

}  // namespace vesko
