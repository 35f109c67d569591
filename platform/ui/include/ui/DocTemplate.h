#pragma once

// Document templates: what binds a document class, a frame class and a view
// class to one resource id, and makes and reuses them when the user asks for
// a new document or opens a file.
//
//     AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CMyDoc),
//                                           RUNTIME_CLASS(CFrameWnd),
//                                           RUNTIME_CLASS(CMyView)));

#include "core/String.h"
#include "ui/CmdTarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)

public:
    // The '\n'-separated fields of the document template string, from 0.
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName, // "Bitmap Files": the file dialog's name for the type
        filterExt,  // ".bmp"
        regFileTypeId,
        regFileTypeName,
    };

    ~CDocTemplate() override = default;

    // Field `index` of the template string; FALSE, with rString empty, when
    // the string has no such field or the field is empty.
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;
    // The whole template string (string nIDResource).
    const CString& GetDocStrings() const { return m_strDocStrings; }

    // A null path makes a new, untitled document; otherwise the file is
    // opened as the document. Returns the document, or null when that
    // failed (a failure to read the file has been reported to the user).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;

protected:
    // The string is read here, so the resources must be there by then.
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);

    // A new document of the template's class, or null.
    CDocument* CreateNewDocument() const;
    // A new frame of the template's class, loaded from the resource id, with
    // a view of the template's class on pDoc. Null when any step failed;
    // nothing is left behind then.
    CFrameWnd* CreateNewFrame(CDocument* pDoc) const;

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

// One document, one frame and one view for the whole run: every New and
// every Open after the first reuses them. If the frame's window is closed, the
// next New or Open makes a new one for the same document.
class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)

public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass);
    // Destroys the frame's window if it is still there, then the document.
    ~CSingleDocTemplate() override;

    // When a file fails to open, the frame made for this call (if any) goes
    // with it. An already shown document stays as it was when its contents
    // were untouched (the file could not be opened at all); when reading
    // had begun, it becomes a new, untitled document rather than keep a
    // half-read one under the old name.
    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;

    // The one document, or null before the first New or Open.
    CDocument* GetDocument() const { return m_pOnlyDoc; }
    // The frame, or null while there is none (before the first New or Open,
    // or once its window is gone).
    CFrameWnd* GetFrame() const;

private:
    CDocument* m_pOnlyDoc = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    HWND m_hWndFrame = nullptr; // to tell when the frame's window is gone
};
