// CCmdTarget: message maps, command dispatch and the command-state updates.

#include "ui/CmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                              UINT id)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND &&
                (entry->nCode != code || id < entry->nID || id > entry->nLastID))
                continue;
            return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    const AFX_MSGMAP_ENTRY* entry =
        FindEntry(GetMessageMap(), WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!entry)
        return FALSE;
    if (nCode == CN_COMMAND && pExtra) {
        auto* info = static_cast<AFX_CMDHANDLERINFO*>(pExtra);
        info->pTarget = this;
        info->pfn = entry->pfn;
        return TRUE;
    }
    entry->pfn(this, nID, reinterpret_cast<LPARAM>(pExtra));
    return TRUE;
}

BOOL CCmdTarget::IsCommandHandled(UINT nID)
{
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    return OnCmdMsg(nID, CN_COMMAND, &info);
}

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    m_strText = lpszText;
    m_bTextChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    m_bEnableChanged = FALSE;
    const BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
    if (!handled && bDisableIfNoHandler && !m_bEnableChanged)
        Enable(pTarget->IsCommandHandled(m_nID));
    return handled;
}
