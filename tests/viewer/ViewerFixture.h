// The whole viewer driven by commands and mouse, every modal box answered and recorded.
#pragma once

#include "BmpBytes.h"
#include "UiTestSupport.h"
#include "app/PixmoraApp.h"
#include "docview/PixmoraDoc.h"
#include "docview/PixmoraView.h"
#include "frame/MainFrame.h"
#include "resources/Resources.h"
#include "ui/MessageLoop.h"
#include "ui/Modal.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace viewertest {

// A bitmap file of `bits` (4 or 8) per pixel whose colour table is `colours`
// with a used-colour count of 0, every pixel colour 0.
inline std::vector<BYTE> PalettedBitmap(WORD bits, const std::vector<COLORREF>& colours,
                                        LONG width = 8, LONG height = 8)
{
    const DWORD stride = (static_cast<DWORD>(width) * bits / 8 + 3) & ~3u;
    const DWORD offset = 14 + 40 + static_cast<DWORD>(colours.size()) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BmpBytes b;
    b.FileHeader(offset + size, offset).InfoHeader(width, height, bits, 0, 0);
    for (COLORREF c : colours)
        b.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c)).U8(0);
    b.Fill(size, 0);
    return b.Vector();
}

inline std::string Caption(CWnd* wnd)
{
    CString text;
    wnd->GetWindowText(text);
    return text.GetString();
}

class Viewer : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, files.filePath("settings"));
        app = std::make_unique<CPixmoraApp>();
        ASSERT_TRUE(app->InitApplication());
    }
    void TearDown() override
    {
        if (CWnd* main = app->GetMainWnd())
            main->DestroyWindow();
        PumpMessages();
        app.reset();
    }

    BOOL Start(std::vector<CString> args = {})
    {
        app->SetCommandLine(std::move(args));
        const BOOL started = app->InitInstance();
        PumpMessages();
        return started;
    }
    std::string Write(const char* name, const std::vector<BYTE>& bytes)
    {
        const std::string path = files.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    void Open(const std::string& path)
    {
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr) << path;
        PumpMessages();
    }

    CMainFrame* Frame() const { return static_cast<CMainFrame*>(app->GetMainWnd()); }
    CPixmoraView* View() const { return static_cast<CPixmoraView*>(Frame()->GetActiveView()); }
    CPixmoraDoc* Doc() const { return View()->GetDocument(); }
    CSize ScrollSize() const { return View()->GetTotalSize(); }
    void Command(UINT id)
    {
        SendMessageA(Frame()->GetSafeHwnd(), WM_COMMAND, id, 0);
        PumpMessages();
    }
    CString PaneZero() const { return Frame()->m_statusBar.GetPaneText(0); }

    QTemporaryDir files;
    std::vector<ModalRequest> shown;
    CModalHandlerScope modal{[this](ModalRequest& r) {
        shown.push_back(r);
        return IDOK;
    }};
    uitest::ProgramResources resources;
    std::unique_ptr<CPixmoraApp> app;
};

} // namespace viewertest
