#pragma once

// Documents and the views that show them.
//
// A document holds what was read from a file and knows its views; a view is
// a child window of the frame (control id AFX_IDW_PANE_FIRST) that draws its
// document. Commands reach the active view first, then its document, then
// the frame and the application.

#include "core/Archive.h"
#include "core/File.h"
#include "core/Geometry.h"
#include "core/String.h"
#include "ui/Frame.h"
#include "ui/Wnd.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDocument;
class CView;
class CPrintInfo; // printing is not offered; the parameter keeps the usual shape

// An iterator over a document's views: null when there are no more.
using POSITION = std::uintptr_t;

// What the frame needs to make a view for a document: the view's class and
// the document it shows.
struct CCreateContext
{
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
    CView* m_pLastView = nullptr;
};

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument();
    // Views still attached are let go of, not destroyed: they belong to
    // their windows.
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    // Also renames the document in the captions of its views' frames.
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // The title becomes the name part of the path; with bAddToMRU the path
    // goes on the application's recent-file list.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // ---- Views ----

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    // OnUpdate for every view except pSender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    // ---- Life cycle ----

    // Empties the document; the base has nothing to empty.
    virtual void DeleteContents();
    // Starts afresh: no path, the default title, not modified, contents
    // deleted. TRUE on success.
    virtual BOOL OnNewDocument();
    // Reads the file through Serialize with a loading archive. A file that
    // cannot be opened, or a file error or running out of memory while
    // reading, is reported in a message box naming the file and gives FALSE.
    // The path and title are left to the caller, which knows whether the file
    // is a recent one.
    // A failure leaves the document modified exactly when its old contents
    // were deleted: an unopenable file touches nothing.
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

    DECLARE_MESSAGE_MAP()

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;

private:
    void ReportOpenFailure(const CFileException& error, LPCSTR lpszPathName) const;

    std::vector<CView*> m_views;
};

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)

public:
    CView();
    // Leaves its document's list of views.
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // The frame the view lives in, or null.
    CFrameWnd* GetParentFrame() const;

    // A child window, no border, white background.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // With a context naming a document, the view joins that document.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;

    // After the document is new or opened; the base calls OnUpdate.
    virtual void OnInitialUpdate();
    // Prepares a context before drawing; the base does nothing.
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    // The view gains or loses the frame's attention. Activating makes it the
    // frame's active view and gives it the keyboard.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

    // This view's map, then its document's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
    // A click in a view that is not the active one activates it first.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    friend class CDocument;

    virtual void OnDraw(CDC* pDC) = 0;
    // The document changed; the base repaints the whole view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();

    // A view lives on the heap and goes with its window.
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

    CDocument* m_pDocument = nullptr;
};

// Mapping modes: one logical unit is one pixel, y grows downwards.
inline constexpr int MM_TEXT = 1;

// A view whose picture may be larger than its window. Scroll bars appear
// along the right and bottom edges when the picture does not fit; they are
// not part of the client area. Painting is offset by the scroll position; a
// client context (GetDC) is not.
class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)

public:
    // Page and line sizes worked out from the total: per direction a page is
    // a tenth of the total and a line a tenth of a page.
    static const SIZE sizeDefault;

    CScrollView();
    ~CScrollView() override;

    // The mode can only be MM_TEXT. A zero page or line extent takes the
    // default for its direction. A negative total extent scrolls like an
    // empty one.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CSize GetTotalSize() const { return m_totalLog; }
    CPoint GetScrollPosition() const { return m_scrollPos; }
    // Moves as near to pt as the picture allows and repaints.
    void ScrollToPosition(POINT pt);

    // Offsets the context's origin by the scroll position.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // Whether a scroll bar shows for the horizontal and the vertical direction.
    BOOL HasHorzScrollBar() const { return m_bHorz; }
    BOOL HasVertScrollBar() const { return m_bVert; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    // The wheel scrolls down and up; with Shift, and a sideways wheel
    // always, left and right. With Ctrl it does not scroll.
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnMouseHWheel(UINT nFlags, short zDelta, CPoint pt);

    DECLARE_MESSAGE_MAP()

private:
    struct Bars;

    // Shows or hides the bars for the window's size and the total, and
    // keeps the position inside the new range.
    void UpdateBars();
    CPoint MaxPosition() const;
    // Scrolls by a signed amount along the direction the picture scrolls
    // in: vertical, or horizontal when only that one scrolls.
    void ScrollMain(LONGLONG delta);
    // Whole lines that a turn of the wheel makes, with what is left over
    // kept in `remainder` for the next turn.
    static LONGLONG WheelLines(int& remainder, short zDelta);
    void ScrollSideways(LONGLONG lines);

    CSize m_totalLog;
    CSize m_totalDev; // the total as the bars see it: never negative
    CSize m_pageDev;
    CSize m_lineDev;
    CPoint m_scrollPos;
    BOOL m_bHorz = FALSE;
    BOOL m_bVert = FALSE;
    bool m_bInsideUpdate = false;
    int m_wheelRemainder = 0;
    int m_hwheelRemainder = 0;
    std::unique_ptr<Bars> m_bars;
};
