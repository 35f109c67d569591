#pragma once

// Every modal loop (message boxes, dialogs, file dialogs) runs through one
// function. A test installs a handler that answers in place of the loop, so
// nothing it drives ever waits for a user.

#include "core/String.h"
#include "ui/Messages.h"

#include <functional>
#include <vector>

// Message boxes: the buttons in the low four bits, the icon in the next four.
inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_RETRYCANCEL = 0x05;
inline constexpr UINT MB_TYPEMASK = 0x0F;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;

inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

enum class ModalKind
{
    MessageBox,
    Dialog,
    FileOpen,
    FileSave,
};

// What a modal loop is about to show.
struct ModalRequest
{
    ModalKind kind;
    HWND hWndOwner; // the window it is modal to, or null
    HWND hWnd;      // the modal window itself when there is one (a dialog)
    CString caption;
    CString text;   // a message box's text; a file dialog's initial name
    UINT type;      // MB_* flags of a message box; a dialog's template id
    CString answer; // set by the loop when it returns text (a chosen file name)
    // A file dialog's filters in the order offered, each a description with
    // its patterns in parentheses: "Bitmap Files (*.bmp)".
    std::vector<CString> filters{};
    // A file dialog's extension for a name typed without one: ".bmp".
    CString defaultExt{};
    // The folder a file dialog starts in.
    CString folder{};
};

// Answers a request with what the loop would have returned.
using ModalHandler = std::function<int(ModalRequest& request)>;

// Runs a modal loop: the installed handler answers if there is one,
// otherwise `loop` runs for real.
int RunModalLoop(ModalRequest& request, const std::function<int(ModalRequest&)>& loop);

// Installs a handler (an empty one restores the real loops); returns the one before.
ModalHandler SetModalHandler(ModalHandler handler);

// Installs a handler for as long as it lives.
class CModalHandlerScope
{
public:
    explicit CModalHandlerScope(ModalHandler handler)
        : m_previous(SetModalHandler(std::move(handler)))
    {
    }
    ~CModalHandlerScope() { SetModalHandler(std::move(m_previous)); }
    CModalHandlerScope(const CModalHandlerScope&) = delete;
    CModalHandlerScope& operator=(const CModalHandlerScope&) = delete;

private:
    ModalHandler m_previous;
};

// The file-open dialog, modal to hWndOwner (or null), offering the filters
// in order and starting in lpszFolder; a name typed without an extension
// gets lpszDefExt. IDOK with the chosen path in fileName, IDCANCEL when
// cancelled.
int AfxPromptOpenFileName(HWND hWndOwner, LPCSTR lpszTitle, std::vector<CString> filters,
                          CString& fileName, LPCSTR lpszDefExt = nullptr,
                          LPCSTR lpszFolder = nullptr);

// The name message boxes carry as their caption; "Pixmora" until set.
LPCSTR AfxGetAppName();
void AfxSetAppName(LPCSTR lpszName);

// A message box over the active window, captioned with the application's
// name. Returns the button chosen (IDOK, IDCANCEL, IDYES, ...).
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same, owned by hWnd and with its own caption (null: the application's name).
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
