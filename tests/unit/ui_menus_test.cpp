// The two pop-up menus: items, captions, order, separators and accelerators.
#include <gtest/gtest.h>

#include <set>

#include "ui/ControlIds.h"
#include "ui/Menus.h"

namespace vesko {
namespace {

std::vector<std::string> Names(const std::vector<PopupMenuItem>& items) {
    std::vector<std::string> names;
    for (const PopupMenuItem& i : items) names.push_back(i.IsSeparator() ? "-" : i.name);
    return names;
}

// Within one menu a letter may open only one item, or the key would only
// move the highlight instead of running the command.
void ExpectDistinctAccelerators(const std::vector<PopupMenuItem>& items) {
    std::set<char> seen;
    for (const PopupMenuItem& i : items) {
        if (i.IsSeparator()) continue;
        char key = AcceleratorOf(i.caption);
        EXPECT_NE(key, 0) << i.name << " has no accelerator";
        EXPECT_TRUE(seen.insert(key).second) << i.name << " repeats the letter " << key;
    }
}

TEST(PopupMenus, WindowMenuItemsInOrder) {
    const auto& m = PopupMenu1Items();
    EXPECT_EQ(Names(m), (std::vector<std::string>{"stayontop1", "-", "Help1", "about1", "-", "Exit1"}));
    EXPECT_EQ(m[0].caption, "常に手前に表示(&T)");
    EXPECT_EQ(m[2].caption, "ヘルプ(&H)");
    EXPECT_EQ(m[3].caption, "バージョン情報(&A)");
    EXPECT_EQ(m[5].caption, "終了(&X)");
    EXPECT_EQ(m[0].id, ids::StayOnTop);
    EXPECT_EQ(m[5].id, ids::Exit);
    ExpectDistinctAccelerators(m);
}

TEST(PopupMenus, TrayMenuItemsInOrderEndingWithASeparator) {
    const auto& m = PopupMenu2Items();
    EXPECT_EQ(Names(m),
              (std::vector<std::string>{"restore1",    "FunctionEnabled1", "-",        "poweroff1",  "shutdown1",
                                        "reboot1",     "restart1",         "logoff1",  "force1",     "forcehung1",
                                        "forcepower1", "msdos1",           "suspend1", "hibernate1", "-",
                                        "Help2",       "about2",           "-",        "Exit2",      "-"}));
    const std::vector<std::string> captions = {"設定ウインドウの表示(&W)",
                                               "このソフトの機能を有効にする(&E)",
                                               "",
                                               "Windowsを終了して電源を切る(&P)",
                                               "電源を切れる状態にする(&D)",
                                               "コンピュータを再起動する(&R)",
                                               "Windowsのみ再起動する(&O)",
                                               "ログオフする(&L)",
                                               "Windowsを強制終了する(&F)",
                                               "設定を残して強制終了(&U)",
                                               "Windowsを強制終了して電源を切る(&C)",
                                               "MS-DOSモードで再起動(&M)",
                                               "サスペンドする(&S)",
                                               "休止状態（ハイバネーション）に移行する(&N)",
                                               "",
                                               "ヘルプ(&H)",
                                               "バージョン情報(&A)",
                                               "",
                                               "終了(&X)",
                                               ""};
    ASSERT_EQ(m.size(), captions.size());
    for (std::size_t i = 0; i < m.size(); ++i) EXPECT_EQ(m[i].caption, captions[i]) << m[i].name;
    ExpectDistinctAccelerators(m);
}

TEST(PopupMenus, TrayMenuIdsMatchTheCommandIds) {
    // The window dispatches the power commands by id range, in table order.
    const auto& m = PopupMenu2Items();
    EXPECT_EQ(m[0].id, ids::Restore);
    EXPECT_EQ(m[1].id, ids::ToggleFunction);
    EXPECT_EQ(m[3].id, ids::PowerCommandId(ManualCommand::PowerOff));
    EXPECT_EQ(m[13].id, ids::PowerCommandId(ManualCommand::Hibernate));
    EXPECT_EQ(m[15].id, ids::TrayHelp);
    EXPECT_EQ(m[16].id, ids::TrayAbout);
    EXPECT_EQ(m[18].id, ids::TrayExit);
    std::set<int> idsSeen;
    for (const PopupMenuItem& i : m) {
        if (!i.IsSeparator()) {
            EXPECT_TRUE(idsSeen.insert(i.id).second) << i.name;
        }
    }
}

TEST(PopupMenus, AcceleratorLetters) {
    EXPECT_EQ(AcceleratorOf("終了(&X)"), 'X');
    EXPECT_EQ(AcceleratorOf("open (&w)"), 'W');
    EXPECT_EQ(AcceleratorOf("A && B (&Q)"), 'Q');  // "&&" is a plain ampersand
    EXPECT_EQ(AcceleratorOf("no key"), 0);
    EXPECT_EQ(AcceleratorOf("trailing &"), 0);
    EXPECT_EQ(AcceleratorOf(""), 0);
}

}  // namespace
}  // namespace vesko
