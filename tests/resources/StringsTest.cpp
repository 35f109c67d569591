// The string table: prompts, tips and the document strings.

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Text(UINT id)
{
    const char* text = LoadResourceString(id);
    return text != nullptr ? text : "(none)";
}

TEST(CommandStrings, SplitIntoPromptAndTooltip)
{
    struct Case
    {
        UINT id;
        const char* prompt; // null: the command has no string
        const char* tip;
    };
    const Case cases[] = {
        {57600, "Create a new document", "New"},
        {57601, "Open an existing document", "Open"},
        {57603, "Save the active document", "Save"},
        {57604, "Save the active document with a new name", "Save As"},
        {57616, "Open this document", ""},
        {57665, "Quit the application; prompts to save documents", "Exit"},
        {57643, "Undo the last action", "Undo"},
        {57635, "Cut the selection and put it on the Clipboard", "Cut"},
        {57634, "Copy the selection and put it on the Clipboard", "Copy"},
        {57637, "Insert Clipboard contents", "Paste"},
        {57607, nullptr, nullptr},
        {32773, "Enlarge tne DIB", "Enlarge"},
        {32774, "Shrink the current DIB", "Shrink"},
        {32772, nullptr, nullptr},
        {32771, nullptr, nullptr},
        {59392, "Show or hide the toolbar", "Toggle ToolBar"},
        {59393, "Show or hide the status bar", "Toggle StatusBar"},
        {57664, "Display program information, version number and copyright", "About"},
        {57680, "Switch to the next window pane", "Next Pane"},
        {57681, "Switch back to the previous window pane", "Previous Pane"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const char* text = LoadResourceString(c.id);
        if (c.prompt == nullptr) {
            EXPECT_EQ(text, nullptr);
            continue;
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(GetStringField(text, kCommandPrompt), c.prompt);
        EXPECT_EQ(GetStringField(text, kCommandTip), c.tip);
        EXPECT_EQ(GetStringField(text, 2), "");
    }
}

TEST(CommandStrings, CoverEveryMenuItemAndButtonButThePaletteCommandsAndPrint)
{
    std::vector<UINT> commands;
    for (const MENUITEMTEMPLATE& popup : LoadMenuResource(IDR_MAINFRAME))
        for (const MENUITEMTEMPLATE& item : popup.mtItems)
            if (item.mtID != 0)
                commands.push_back(item.mtID);
    const TOOLBARTEMPLATE* toolBar = LoadToolBarResource(IDR_MAINFRAME);
    ASSERT_NE(toolBar, nullptr);
    for (WORD id : toolBar->items) {
        if (id == 0)
            continue;
        commands.push_back(id);
        // A button's tooltip is the string's second field.
        if (id != ID_FILE_PRINT) {
            EXPECT_NE(GetStringField(LoadResourceString(id), kCommandTip), "") << id;
        }
    }
    const UINT silent[] = {ID_VIEW_CURRENT_PALETTE, ID_VIEW_DIB_PALETTE, ID_FILE_PRINT};
    for (UINT id : commands) {
        const bool hasString = LoadResourceString(id) != nullptr;
        EXPECT_EQ(hasString, std::ranges::find(silent, id) == std::end(silent)) << id;
    }
}

TEST(DocumentTemplateString, HasSevenFieldsInTheFixedOrder)
{
    const char* text = LoadResourceString(128);
    ASSERT_NE(text, nullptr);
    const auto fields = SplitDocString(text);
    EXPECT_EQ(fields[kDocWindowTitle], "Pixmora");
    EXPECT_EQ(fields[kDocName], "");
    EXPECT_EQ(fields[kDocFileNewName], "Pixmor");
    EXPECT_EQ(fields[kDocFilterName], "Bitmap Files");
    EXPECT_EQ(fields[kDocFilterExt], ".bmp");
    EXPECT_EQ(fields[kDocRegFileTypeId], "Pixmora.Document");
    EXPECT_EQ(fields[kDocRegFileTypeName], "Pixmor Document");
    EXPECT_EQ(std::ranges::count(std::string(text), '\n'), 6);
}

TEST(StringFields, MissingFieldsAreEmpty)
{
    EXPECT_EQ(GetStringField(nullptr, 0), "");
    EXPECT_EQ(GetStringField("only", 0), "only");
    EXPECT_EQ(GetStringField("only", 1), "");
    EXPECT_EQ(GetStringField("a\n\nc", 1), "");
    EXPECT_EQ(GetStringField("a\n\nc", 2), "c");
    EXPECT_EQ(GetStringField("a\n", 1), "");
    EXPECT_EQ(GetStringField("a\nb", -1), "");
    const auto fields = SplitDocString("Title\nName");
    EXPECT_EQ(fields[kDocName], "Name");
    EXPECT_EQ(fields[kDocFilterExt], "");
}

TEST(StringTable, HoldsTheTitleIdleTextAndIndicators)
{
    struct Case
    {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {57344, "Pixmora"}, {57345, "Ready"}, {59136, "EXT"}, {59137, "CAP"},
        {59138, "NUM"},     {59139, "SCRL"},  {59140, "OVR"}, {59141, "REC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.id), c.text) << c.id;
}

TEST(StringTable, HoldsTheFrameworksStandardPrompts)
{
    struct Case
    {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {57602, "Close the active document\nClose"},
        {57632, "Erase the selection\nErase"},
        {57633, "Erase everything\nErase All"},
        {57636, "Find the specified text\nFind"},
        {57640, "Repeat the last action\nRepeat"},
        {57641, "Replace specific text with different text\nReplace"},
        {57642, "Select the entire document\nSelect All"},
        {57644, "Redo the previously undone action\nRedo"},
        {57653, "Split the active window into panes\nSplit"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.id), c.text) << c.id;
    for (UINT id = 57616; id <= 57631; ++id)
        EXPECT_EQ(Text(id), "Open this document") << id;
    EXPECT_EQ(Text(57615), "(none)"); // just before the recent files
}

TEST(StringTable, SystemCommandsFindTheirPromptsByTheNumberingRule)
{
    struct Case
    {
        UINT command; // SC_SIZE, SC_MOVE, ...
        const char* text;
    };
    const Case cases[] = {
        {0xF000, "Change the window size"},
        {0xF010, "Change the window position"},
        {0xF020, "Reduce the window to an icon"},
        {0xF030, "Enlarge the window to full size"},
        {0xF040, "Switch to the next document window"},
        {0xF050, "Switch to the previous document window"},
        {0xF060, "Close the active window and prompts to save the documents"},
        {0xF120, "Restore the window to normal size"},
        {0xF130, "Activate Task List"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(AFX_IDS_SCSIZE + (c.command - 0xF000) / 16), c.text) << c.command;
    EXPECT_EQ(AFX_IDS_SCSIZE, 61184u);
}

TEST(StringTable, IsSortedAndLooksUpEveryEntryAndNothingElse)
{
    const auto table = GetStringTable();
    EXPECT_EQ(table.size(), 59u);
    for (size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].id, table[i].id);
        }
        EXPECT_EQ(LoadResourceString(table[i].id), table[i].text);
        EXPECT_NE(*table[i].text, '\0') << table[i].id;
    }
    for (UINT id : {0u, 1u, 127u, 129u, 32770u, 57346u, 61204u, 0xFFFFFFFFu})
        EXPECT_EQ(LoadResourceString(id), nullptr) << id;
}

} // namespace

// The window layer finds every kind of resource through the provider, and
// nothing once it is taken away.
TEST(ResourceProvider, HandsEveryKindToTheWindowLayer)
{
    const ResourceProvider* before = AfxSetResourceProvider(&GetResourceProvider());
    EXPECT_STREQ(AfxLoadString(AFX_IDS_IDLEMESSAGE), "Ready");
    EXPECT_EQ(AfxLoadMenu(IDR_MAINFRAME).size(), 4u);
    EXPECT_EQ(AfxLoadAccelerators(IDR_MAINFRAME).size(), 13u);
    ASSERT_NE(AfxLoadToolBar(IDR_MAINFRAME), nullptr);
    EXPECT_FALSE(AfxLoadBitmap(IDR_MAINFRAME).empty());
    EXPECT_EQ(AfxLoadIcon(IDR_MAINFRAME).size(), 2u);
    EXPECT_NE(AfxLoadDialog(IDD_PALETTE), nullptr);
    EXPECT_EQ(AfxLoadDialog(12345), nullptr);

    AfxSetResourceProvider(nullptr);
    EXPECT_EQ(AfxLoadString(AFX_IDS_IDLEMESSAGE), nullptr);
    EXPECT_TRUE(AfxLoadMenu(IDR_MAINFRAME).empty());
    AfxSetResourceProvider(before);
}
