#pragma once

// Modal dialogs built from templates.
//
// A template is in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down. The 8-point dialog
// font has base units of 6 x 13 pixels, so a unit is 1.5 pixels across and
// 1.625 down; every coordinate is rounded to the nearest pixel on its own,
// halves away from zero. These are the window layer's pixels, which the
// screen shows at its scale factor like those of every other window.
//
// DoModal creates the dialog window and its controls, sends WM_INITDIALOG,
// and runs the modal loop through the seam of Modal.h: the request carries
// the live dialog (hWnd), which a test handler may drive, read and then
// answer for. The handler's answer is what DoModal returns.

#include "ui/ResourceTypes.h"
#include "ui/Wnd.h"

inline constexpr UINT WM_INITDIALOG = 0x0110;

// Notification of a push button, sent to its dialog as WM_COMMAND with the
// button's id and handle.
inline constexpr WORD BN_CLICKED = 0;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

class CDialog : public CWnd
{
public:
    // Without a parent the application's main window owns the dialog.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Shows the dialog and returns how it ended: IDOK, IDCANCEL or what
    // EndDialog was given; -1 when the template or its window cannot be made.
    virtual int DoModal();
    // Ends the modal loop with nResult once the current message is handled.
    virtual void EndDialog(int nResult);

    // Runs when the controls exist, before the dialog is shown; the base
    // moves the members into the controls. TRUE gives the keyboard to the
    // first tab stop; FALSE means the handler placed it itself.
    virtual BOOL OnInitDialog();
    // The default button, Enter: takes the controls' values, then ends with IDOK.
    virtual void OnOK();
    // Esc and the close box: ends with IDCANCEL.
    virtual void OnCancel();

    // Moves values between the controls and the members through DoDataExchange.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT m_nIDTemplate;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    struct Loop;

    BOOL CreateFromTemplate(const DLGTEMPLATE& dlg, CWnd* pOwner);
    int RunLoop();

    int m_nModalResult = -1;
    bool m_bEnded = false;
    Loop* m_pLoop = nullptr; // the loop DoModal runs, while it runs
};
