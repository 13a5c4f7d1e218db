#include "ui/Menus.h"

#include "ui/ControlIds.h"
#include "power/ManualCommands.h"

namespace vesko {

const std::vector<PopupMenuItem>& PopupMenu1Items() {
    static const std::vector<PopupMenuItem> items = {
        {ids::StayOnTop, "stayontop1", "常に手前に表示(&T)"}, {}, {ids::Help, "Help1", "ヘルプ(&H)"},
        {ids::About, "about1", "バージョン情報(&A)"},         {}, {ids::Exit, "Exit1", "終了(&X)"},
    };
    return items;
}

const std::vector<PopupMenuItem>& PopupMenu2Items() {
    static const std::vector<PopupMenuItem> items = [] {
        std::vector<PopupMenuItem> v = {
            {ids::Restore, "restore1", "設定ウインドウの表示(&W)"},
            {ids::ToggleFunction, "FunctionEnabled1", "このソフトの機能を有効にする(&E)"},
            {},
        };
        // The eleven power commands come from their own table, in its order.
        for (const ManualCommandDef& def : ManualCommands())
            v.push_back({ids::PowerCommandId(def.command), def.item, def.caption});
        v.push_back({});
        v.push_back({ids::TrayHelp, "Help2", "ヘルプ(&H)"});
        v.push_back({ids::TrayAbout, "about2", "バージョン情報(&A)"});
        v.push_back({});
        v.push_back({ids::TrayExit, "Exit2", "終了(&X)"});
        v.push_back({});
        return v;
    }();
    return items;
}

char AcceleratorOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {  // "&&" is a plain ampersand
            ++i;
            continue;
        }
        char c = caption[i + 1];
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return 0;
}

}  // namespace vesko
