// The string table. A command's string is its status-bar prompt, then '\n'
// and its tooltip; commands without a string show neither.

#include "resources/Resources.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr const char kOpenThisDocument[] = "Open this document";

constexpr STRINGTABLEENTRY kStrings[] = {
    {IDR_MAINFRAME, "Pixmora\n\nPixmor\nBitmap Files\n.bmp\nPixmora.Document\nPixmor Document"},

    {ID_VIEW_ENLARGE, "Enlarge tne DIB\nEnlarge"},
    {ID_VIEW_SHRINK, "Shrink the current DIB\nShrink"},

    {AFX_IDS_APP_TITLE, "Pixmora"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},

    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_CLOSE, "Close the active document\nClose"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},

    // One per recent-file entry the framework can number; this program uses four.
    {ID_FILE_MRU_FILE1, kOpenThisDocument},
    {ID_FILE_MRU_FILE2, kOpenThisDocument},
    {ID_FILE_MRU_FILE3, kOpenThisDocument},
    {ID_FILE_MRU_FILE4, kOpenThisDocument},
    {ID_FILE_MRU_FILE5, kOpenThisDocument},
    {ID_FILE_MRU_FILE6, kOpenThisDocument},
    {ID_FILE_MRU_FILE7, kOpenThisDocument},
    {ID_FILE_MRU_FILE8, kOpenThisDocument},
    {ID_FILE_MRU_FILE9, kOpenThisDocument},
    {ID_FILE_MRU_FILE10, kOpenThisDocument},
    {ID_FILE_MRU_FILE11, kOpenThisDocument},
    {ID_FILE_MRU_FILE12, kOpenThisDocument},
    {ID_FILE_MRU_FILE13, kOpenThisDocument},
    {ID_FILE_MRU_FILE14, kOpenThisDocument},
    {ID_FILE_MRU_FILE15, kOpenThisDocument},
    {ID_FILE_MRU_FILE16, kOpenThisDocument},

    {ID_EDIT_CLEAR, "Erase the selection\nErase"},
    {ID_EDIT_CLEAR_ALL, "Erase everything\nErase All"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_FIND, "Find the specified text\nFind"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_REPEAT, "Repeat the last action\nRepeat"},
    {ID_EDIT_REPLACE, "Replace specific text with different text\nReplace"},
    {ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_REDO, "Redo the previously undone action\nRedo"},

    {ID_WINDOW_SPLIT, "Split the active window into panes\nSplit"},

    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},

    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},

    // The status bar sizes each indicator pane from its text.
    {ID_INDICATOR_EXT, "EXT"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_OVR, "OVR"},
    {ID_INDICATOR_REC, "REC"},

    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},

    {AFX_IDS_SCSIZE, "Change the window size"},
    {AFX_IDS_SCMOVE, "Change the window position"},
    {AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
    {AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
    {AFX_IDS_SCNEXTWINDOW, "Switch to the next document window"},
    {AFX_IDS_SCPREVWINDOW, "Switch to the previous document window"},
    {AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents"},
    {AFX_IDS_SCRESTORE, "Restore the window to normal size"},
    {AFX_IDS_SCTASKLIST, "Activate Task List"},
};

constexpr bool ById(const STRINGTABLEENTRY& a, const STRINGTABLEENTRY& b)
{
    return a.id < b.id;
}

// The lookup is a binary search; a duplicate id would hide one of its texts.
static_assert(std::ranges::adjacent_find(kStrings, [](const auto& a,
                                                      const auto& b) { return !ById(a, b); }) ==
                  std::end(kStrings),
              "string ids must ascend strictly");

} // namespace

std::span<const STRINGTABLEENTRY> GetStringTable()
{
    return kStrings;
}

const char* LoadResourceString(UINT id)
{
    const STRINGTABLEENTRY key{id, nullptr};
    const auto* found = std::lower_bound(std::begin(kStrings), std::end(kStrings), key, ById);
    return found != std::end(kStrings) && found->id == id ? found->text : nullptr;
}

std::array<std::string_view, kDocStringFieldCount> SplitDocString(const char* text)
{
    std::array<std::string_view, kDocStringFieldCount> fields;
    for (int i = 0; i < kDocStringFieldCount; ++i)
        fields[static_cast<size_t>(i)] = GetStringField(text, i);
    return fields;
}
