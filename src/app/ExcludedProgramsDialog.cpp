#include "ExcludedProgramsDialog.h"

#include "ui/ControlIds.h"

namespace vesko {

bool ExcludedProgramsDialog::Create(HINSTANCE instance) {
    return CreateWindowFor(instance, {VESKO_CLASS_FORM4, "ソフトの設定", 360, 240, WS_EX_DLGMODALFRAME});
}

}  // namespace vesko
