// The string table: command prompts and tips, the document strings, and the lookups.

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Except the palette commands and the always disabled Print.
TEST(CommandStrings, EveryMenuItemHasAPromptAndEveryButtonATip)
{
    std::vector<UINT> commands;
    for (const MENUITEMTEMPLATE& popup : LoadMenuResource(IDR_MAINFRAME))
        for (const MENUITEMTEMPLATE& item : popup.mtItems)
            if (item.mtID != 0)
                commands.push_back(item.mtID);
    const TOOLBARTEMPLATE* toolBar = LoadToolBarResource(IDR_MAINFRAME);
    ASSERT_NE(toolBar, nullptr);
    for (WORD id : toolBar->items) {
        if (id != 0 && id != ID_FILE_PRINT) {
            EXPECT_NE(GetStringField(LoadResourceString(id), kCommandTip), "") << id;
        }
        commands.push_back(id);
    }
    const UINT silent[] = {0, ID_VIEW_CURRENT_PALETTE, ID_VIEW_DIB_PALETTE, ID_FILE_PRINT};
    for (UINT id : commands) {
        const char* text = LoadResourceString(id);
        if (std::ranges::find(silent, id) != std::end(silent)) {
            EXPECT_EQ(text, nullptr) << id;
            continue;
        }
        EXPECT_NE(GetStringField(text, kCommandPrompt), "") << id;
        EXPECT_LE(std::ranges::count(std::string(text), '\n'), 1) << id; // prompt, tip
    }
}

// The main window's title, the name of a new document and the open dialog's filter.
TEST(DocumentTemplateString, HasSevenFieldsInTheFixedOrder)
{
    const auto fields = SplitDocString(LoadResourceString(IDR_MAINFRAME));
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()),
              (std::vector<std::string>{"Pixmora", "", "Pixmor", "Bitmap Files", ".bmp",
                                        "Pixmora.Document", "Pixmor Document"}));
}

// Missing fields are empty; a lookup finds every entry and nothing between them.
TEST(StringTable, LooksUpEveryEntryAndFieldAndNothingElse)
{
    EXPECT_EQ(GetStringField("a\n\nc", 1), "");
    EXPECT_EQ(GetStringField("a\n\nc", 2), "c");
    EXPECT_EQ(SplitDocString("Title\nName")[kDocFilterExt], "");
    for (const STRINGTABLEENTRY& entry : GetStringTable()) {
        EXPECT_EQ(LoadResourceString(entry.id), entry.text);
        EXPECT_NE(*entry.text, '\0') << entry.id;
    }
    for (UINT id : {0u, 1u, 127u, 129u, 32770u, 57346u, 61204u, 0xFFFFFFFFu})
        EXPECT_EQ(LoadResourceString(id), nullptr) << id;
}

} // namespace
