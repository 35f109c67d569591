// Dialog controls, and what a dialog shares with them: the face, the buttons' command, the keys.
#pragma once

// Private to the window layer.

#include "Hwnd.h"
#include "ui/Dialog.h"

#include <QObject>

// The face of dialogs and their controls, the same one Qt's buttons use.
COLORREF FaceColor();
void SetFace(HWND hwnd, COLORREF face);

// What a push button sends its dialog.
void SendCommand(HWND dialog, int id, HWND control);

// A control of the template, in the dialog's pixels; false when it cannot be made.
bool CreateControl(CDialog& dialog, const DLGITEMTEMPLATE& item, COLORREF face);

// Enter presses the focused push button, or else the default one; Esc is
// IDCANCEL. Keys reach the dialog when no control took them.
class DialogKeys final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool IsButton(HWND hwnd);
    static HWND ButtonToPress(HWND dialog);
};
