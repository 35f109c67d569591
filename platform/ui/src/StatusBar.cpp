// The status bar: the message pane and the indicator panes, their texts and when they show.

#include "FrameHost.h"
#include "ToolkitText.h"
#include "ui/Bars.h"
#include "ui/ResourceProvider.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace {

// An indicator pane is as wide as its text plus this much on either side.
constexpr int kPanePadding = 4;

} // namespace

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    QMainWindow* main = FrameHostOf(m_pDockSite)->MainWindow();
    auto* bar = new QStatusBar(main);
    main->setStatusBar(bar);
    bar->setVisible((dwStyle & WS_VISIBLE) != 0);
    m_impl->statusBar = bar;
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    QStatusBar* bar = m_impl->statusBar;
    if (!bar || nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    std::vector<Pane> panes;
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray[i];
        const char* text = id == ID_SEPARATOR ? "" : AfxLoadString(id);
        if (!text)
            return FALSE;
        panes.push_back({id, CString(text), true});
    }
    for (const QPointer<QLabel>& label : m_impl->panes)
        delete label.data();
    m_impl->panes.clear();
    m_panes = std::move(panes);

    for (size_t i = 0; i < m_panes.size(); ++i) {
        auto* label = new QLabel(bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 0 && m_panes[i].id == ID_SEPARATOR) {
            bar->addWidget(label, 1);
        } else {
            // Sized to its text, so that a pane showing nothing keeps its place.
            const int textWidth =
                label->fontMetrics().horizontalAdvance(ToolkitText(m_panes[i].text));
            label->setFixedWidth(textWidth + 2 * (kPanePadding + label->frameWidth()));
            label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(label);
        }
        m_impl->panes.emplace_back(label);
    }
    if (!m_panes.empty() && m_panes[0].id == ID_SEPARATOR)
        m_panes[0].text = CommandPrompt(kIdleMessage);
    for (int i = 0; i < GetCount(); ++i)
        ShowPane(i, FALSE);
    return TRUE;
}

void CStatusBar::ShowPane(int nIndex, BOOL bUpdate)
{
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    QLabel* label = m_impl->panes[static_cast<size_t>(nIndex)];
    if (!label)
        return;
    const QString text = pane.enabled ? ToolkitText(pane.text) : QString();
    if (label->text() != text)
        label->setText(text);
    if (bUpdate && label->isVisible())
        label->repaint();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    m_panes[static_cast<size_t>(nIndex)].text = lpszNewText;
    ShowPane(nIndex, bUpdate);
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    return m_panes[static_cast<size_t>(nIndex)].text;
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = GetPaneText(nIndex);
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].id : 0;
}

// A pane's state as the indicator's update handler sets it: shown or blank.
namespace {
class PaneCmdUI final : public CCmdUI
{
public:
    explicit PaneCmdUI(bool* enabled) : m_enabled(enabled) {}
    void Enable(BOOL bOn = TRUE) override
    {
        CCmdUI::Enable(bOn);
        *m_enabled = bOn != FALSE;
    }

private:
    bool* m_enabled;
};
} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    for (int i = 0; i < GetCount(); ++i) {
        Pane& pane = m_panes[static_cast<size_t>(i)];
        if (pane.id == ID_SEPARATOR)
            continue;
        const bool before = pane.enabled;
        PaneCmdUI state(&pane.enabled);
        state.m_nID = pane.id;
        // Indicators nobody updates keep showing their text.
        state.DoUpdate(pTarget, FALSE);
        if (pane.enabled != before)
            ShowPane(i, TRUE);
    }
}
