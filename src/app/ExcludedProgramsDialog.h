#pragma once
// The excluded-programs dialog "EXEファイルの選択": the live list of programs
// during whose run the function stands aside, with adding through the
// system's open dialog and deleting the selected entry. Made when first
// opened, then kept hidden between showings; shown modally from the main
// window's "設定" button.
#include <windows.h>

#include "Window.h"

namespace vesko {

class Monitor;

class ExcludedProgramsDialog : public Window {
public:
    // The dialog edits the monitor's live list.
    explicit ExcludedProgramsDialog(Monitor& monitor) : monitor_(monitor) {}
    bool Create(HINSTANCE instance);

    // Reloads the list from its file, shows the dialog modally over the owner
    // and writes the list back however it closes. An unreadable file shows its
    // error and no dialog; an unwritable one shows its error and keeps the list.
    void ShowModal(HWND owner);

protected:
    void CreateControls() override;
    void PlaceControls() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Fill();
    void AddProgram();
    void DeleteSelected();
    void Arrange(int width, int height);
    void FitColumn();

    Monitor& monitor_;
    HWND list_ = nullptr, add_ = nullptr, delete_ = nullptr, close_ = nullptr;
    bool modal_ = false;
    bool done_ = false;
};

}  // namespace vesko
