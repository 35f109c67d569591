// A seeded random session: each step leaves the document as its history implies, leaking nothing.

#include "BmpSuite.h"
#include "ViewerFixture.h"
#include "dib/Dib.h"
#include "dib/DibPalette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSteps = 5000;
constexpr std::uint_fast32_t kSeed = 0x5EED0F1E;

// A palette's entries as bytes, so that they compare.
using Entries = std::vector<BYTE>;

Entries EntriesOf(CDibPalette* palette)
{
    const UINT count = palette ? static_cast<UINT>(palette->GetNumEntries()) : 0;
    Entries bytes(count * sizeof(PALETTEENTRY));
    if (count)
        GetPaletteEntries(*palette, 0, count, reinterpret_cast<PALETTEENTRY*>(bytes.data()));
    return bytes;
}

// The document's state: the blank bitmap or a read one, and the palette's entries.
struct DocState
{
    bool blank = true;
    Entries palette;
    bool operator==(const DocState&) const = default;
};

bool IsBlankBitmap(const CDib& dib)
{
    const CDib blank;
    return dib.m_cbPixels == blank.m_cbPixels &&
           std::memcmp(dib.m_pInfo, blank.m_pInfo, sizeof(BITMAPINFO)) == 0 &&
           std::memcmp(dib.m_pPixels, blank.m_pPixels, blank.m_cbPixels) == 0;
}

class Soak : public viewertest::Viewer
{
protected:
    // The standard fixes this generator's sequence: the same session from every compiler.
    int Below(int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    // What opening a file must do, worked out with the reader and palette builder directly.
    void Opened(const std::string& path)
    {
        CFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeBinary))
            return; // the framework cannot open it either: the document stays
        CDib dib;
        CDibPalette palette;
        if (!dib.Read(&file))
            expected.blank = true; // the earlier palette, if any, stays
        else
            expected = {false, palette.Create(&dib) ? EntriesOf(&palette) : Entries{}};
    }

    const std::string& AnyPath()
    {
        return paths[static_cast<size_t>(Below(static_cast<int>(paths.size())))];
    }
    // Presses, releases and moves in and around a window, now and then far off.
    void MouseOn(HWND hwnd, int width, int height, int count)
    {
        static const UINT kMessages[] = {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP};
        auto at = [&](int size) {
            return static_cast<WORD>(Below(8) == 0 ? Between(-40000, 40000)
                                                   : Between(-20, size + 20));
        };
        for (int i = 0; i < count; ++i) {
            const UINT message = kMessages[Below(4)];
            const WPARAM buttons = message == WM_LBUTTONDOWN || Below(2) ? MK_LBUTTON : 0;
            const WORD x = at(width);
            SendMessageA(hwnd, message, buttons, MAKELPARAM(x, at(height)));
        }
    }
    // The modal loops: the palette dialogs are painted and moused over.
    int Answer(ModalRequest& r)
    {
        ++modals;
        if (r.kind == ModalKind::FileOpen) {
            if (chosen.empty())
                return IDCANCEL;
            r.answer = chosen.c_str();
            return IDOK;
        }
        if (r.hWnd && r.type == IDD_PALETTE) {
            CWnd* dlg = CWnd::FromHandle(r.hWnd);
            dlg->ShowWindow(SW_SHOW);
            PumpMessages();
            dlg->UpdateWindow();
            MouseOn(r.hWnd, 400, 400, Between(1, 12));
            PumpMessages();
        }
        return IDOK;
    }

    void Step()
    {
        action = "other";
        switch (Below(12)) {
        case 0: { // open a file directly
            const std::string path = AnyPath();
            action = "open " + path;
            app->OpenDocumentFile(path.c_str());
            PumpMessages();
            Opened(path);
            break;
        }
        case 1: { // File > Open, chosen or cancelled
            chosen = Below(5) == 0 ? std::string() : AnyPath();
            action = "File Open " + chosen;
            Command(ID_FILE_OPEN);
            if (!chosen.empty())
                Opened(chosen);
            break;
        }
        case 2: { // a recent file
            const std::vector<CString> recent = app->GetRecentFileList();
            if (recent.empty())
                break;
            const int i = Below(int(recent.size()));
            const std::string path = recent[static_cast<size_t>(i)].GetString();
            action = "recent file " + path;
            Command(ID_FILE_MRU_FILE1 + static_cast<UINT>(i));
            Opened(path);
            break;
        }
        case 3:
            Command(ID_FILE_NEW);
            expected = DocState{};
            break;
        case 4: {
            static const UINT kCommands[] = {
                ID_VIEW_ENLARGE, ID_VIEW_SHRINK,      ID_VIEW_ENLARGE,
                ID_VIEW_SHRINK,  ID_VIEW_DIB_PALETTE, ID_VIEW_CURRENT_PALETTE,
                ID_APP_ABOUT,    ID_FILE_SAVE,        ID_FILE_SAVE_AS,
                ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR,  ID_EDIT_COPY,
                ID_FILE_PRINT,   ID_NEXT_PANE,
            };
            Command(kCommands[Below(int(std::size(kCommands)))]);
            break;
        }
        case 5: { // keys that scroll, and the wheel
            static const WORD kKeys[] = {VK_PRIOR, VK_NEXT, VK_END,   VK_HOME,
                                         VK_LEFT,  VK_UP,   VK_RIGHT, VK_DOWN};
            SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, kKeys[Below(8)], 0);
            const auto rotation = static_cast<WORD>(Between(-3, 3) * 120);
            SendMessageA(View()->GetSafeHwnd(), WM_MOUSEWHEEL, WPARAM{rotation} << 16, 0);
            break;
        }
        case 6:
        case 7: {
            const CSize total = View()->GetTotalSize();
            View()->ScrollToPosition(
                CPoint(Between(-100, total.cx + 100), Between(-100, total.cy + 100)));
            break;
        }
        case 8:
            View()->UpdateWindow();
            PumpMessages();
            break;
        default: {
            CRect client;
            View()->GetClientRect(&client);
            MouseOn(View()->GetSafeHwnd(), client.Width(), client.Height(), Between(1, 20));
            PumpMessages();
            break;
        }
        }
    }

    std::vector<std::string> paths;
    std::minstd_rand engine{kSeed};
    std::string chosen;
    std::string action; // the last step's, for failure messages
    int modals = 0;
    DocState expected;
    // Answers before the fixture's own handler, which only records.
    CModalHandlerScope soakModal{[this](ModalRequest& r) { return Answer(r); }};
};

TEST_F(Soak, ThousandsOfRandomActionsLeaveTheDocumentInAStateItsHistoryImplies)
{
    // Every file the session may open.
    for (const char* name : {"sample.bmp", "sample24.bmp", "sample4.bmp", "sample-topdown.bmp"})
        paths.push_back(std::string(PIXMORA_SAMPLES_DIR) + "/" + name);
    for (const BmpSuiteEntry& e : LoadBmpSuiteManifest())
        paths.push_back(BmpSuitePath(e.file));
    paths.push_back(Write("empty.bmp", {}));
    paths.push_back(files.filePath("missing.bmp").toStdString());
    paths.push_back(files.path().toStdString()); // a folder
    ASSERT_GE(paths.size(), 89u);
    ASSERT_TRUE(Start());

    for (int step = 0; step < kSteps; ++step) {
        Step();
        ASSERT_NE(app->GetMainWnd(), nullptr) << "step " << step;
        const DocState observed{IsBlankBitmap(*Doc()->m_pDib), EntriesOf(Doc()->m_pPalette)};
        ASSERT_EQ(observed, expected) << "step " << step << ": " << action;
    }
    EXPECT_GT(modals, 100);
}

} // namespace
