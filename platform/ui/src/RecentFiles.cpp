// The recent-file store: the list, its place in the user's settings and its File menu entries.

#include "RecentFiles.h"

#include "FrameHost.h"
#include "ToolkitText.h"
#include "ui/Modal.h"
#include "ui/WinApp.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>

#include <algorithm>

namespace {

constexpr char kRecentGroup[] = "Recent File List";

// A menu item keeps its resource text here once the list has taken it over.
constexpr char kPlaceholderText[] = "pixmoraPlaceholderText";

// Absolute, with "." and ".." resolved, so that one file has one spelling
// whether it exists or not.
CString AbsolutePath(LPCSTR path)
{
    return PathBytes(QDir::cleanPath(QFileInfo(PathText(path)).absoluteFilePath()));
}

// The menu names of the entries: the file name, with as many of the
// directories above it as it takes to tell it from every other entry.
QStringList MenuNames(const std::vector<CString>& paths)
{
    std::vector<QStringList> parts;
    for (const CString& path : paths)
        parts.push_back(PathText(path).split(QLatin1Char('/'), Qt::SkipEmptyParts));
    auto tail = [&](size_t i, qsizetype n) { return parts[i].mid(parts[i].size() - n); };
    QStringList names;
    for (size_t i = 0; i < parts.size(); ++i) {
        qsizetype n = std::min<qsizetype>(1, parts[i].size());
        const auto clashes = [&] {
            for (size_t j = 0; j < parts.size(); ++j)
                if (j != i && tail(j, std::min(n, parts[j].size())) == tail(i, n))
                    return true;
            return false;
        };
        while (n < parts[i].size() && clashes())
            ++n;
        QString name = tail(i, n).join(QLatin1Char('/'));
        // Only the root tells "/x.bmp" from "a/x.bmp".
        if (n == parts[i].size() && clashes() && PathText(paths[i]).startsWith(QLatin1Char('/')))
            name.prepend(QLatin1Char('/'));
        // '&' would mark a mnemonic.
        names << name.replace(QLatin1Char('&'), QLatin1String("&&"));
    }
    return names;
}

QString NumberedItem(qsizetype index, const QString& name)
{
    // Only one digit can carry the mnemonic.
    const QString number = QString::number(index + 1);
    return (index < 9 ? QLatin1String("&") + number : number) + QLatin1Char(' ') + name;
}

// The item of the menu that sends command `id`, or null.
QAction* ItemOf(QMenu* menu, UINT id)
{
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && !action->menu() && action->data().toUInt() == id)
            return action;
    return nullptr;
}

} // namespace

QSettings ProfileSettings(const CWinApp* app)
{
    const QString name =
        ToolkitText(app && app->m_pszAppName ? app->m_pszAppName : AfxGetAppName());
    return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name);
}

// ---- Settings and recent files --------------------------------------------------------

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    SettleAppName(); // the settings go by the name
    m_nMaxMRU = std::min(nMaxMRU, kMaxMru);
    m_recentFiles.clear();
    if (m_nMaxMRU == 0)
        return;
    QSettings settings = ProfileSettings(this);
    settings.beginGroup(QLatin1String(kRecentGroup));
    for (UINT i = 0; i < m_nMaxMRU; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i + 1)).toString();
        if (path.isEmpty())
            continue;
        const CString entry = PathBytes(path);
        if (std::find(m_recentFiles.begin(), m_recentFiles.end(), entry) == m_recentFiles.end())
            m_recentFiles.push_back(entry);
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_nMaxMRU == 0)
        return;
    QSettings settings = ProfileSettings(this);
    settings.beginGroup(QLatin1String(kRecentGroup));
    settings.remove(QString());
    for (size_t i = 0; i < m_recentFiles.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), PathText(m_recentFiles[i]));
    settings.endGroup();
    settings.sync();
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_nMaxMRU == 0 || !lpszPathName || !*lpszPathName)
        return;
    const CString path = AbsolutePath(lpszPathName);
    std::erase(m_recentFiles, path);
    m_recentFiles.insert(m_recentFiles.begin(), path);
    if (m_recentFiles.size() > m_nMaxMRU)
        m_recentFiles.resize(m_nMaxMRU);
    SaveStdProfileSettings();
}

void CWinApp::RemoveFromRecentFileList(const CString& path)
{
    if (std::erase(m_recentFiles, path) != 0)
        SaveStdProfileSettings();
}

void CWinApp::OnOpenRecentFile(UINT nID)
{
    const size_t index = nID - kFileMru1;
    if (index >= m_recentFiles.size())
        return;
    // A copy: opening rearranges the list.
    const CString path = m_recentFiles[index];
    if (!OpenDocumentFile(path))
        RemoveFromRecentFileList(path);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    // Only a menu item of a frame can be replaced by the list; anything else
    // (a key's check before it runs) is told whether there is a first entry.
    auto* item = dynamic_cast<ActionCmdUI*>(pCmdUI);
    QMenu* menu = item ? qobject_cast<QMenu*>(item->Action()->parent()) : nullptr;
    if (!menu || !item->Host()) {
        pCmdUI->Enable(!m_recentFiles.empty());
        return;
    }
    // The first entry takes over the placeholder's item, so that the next
    // update finds it again; the others go after it, made once and hidden
    // while unused, since the menu may be walking its items right now.
    QAction* first = item->Action();
    if (!first->property(kPlaceholderText).isValid())
        first->setProperty(kPlaceholderText, first->text());
    const QStringList names = MenuNames(m_recentFiles);
    QAction* previous = first;
    for (qsizetype i = 1; i < qsizetype{kMaxMru}; ++i) {
        const UINT id = kFileMru1 + static_cast<UINT>(i);
        QAction* entry = ItemOf(menu, id);
        if (!entry && i >= names.size())
            break;
        if (!entry) {
            const QList<QAction*> items = menu->actions();
            const qsizetype at = items.indexOf(previous) + 1;
            entry = item->Host()->InsertCommandItem(menu, at < items.size() ? items[at] : nullptr,
                                                    id, QString());
        }
        entry->setVisible(i < names.size());
        if (i < names.size())
            entry->setText(NumberedItem(i, names[i]));
        previous = entry;
    }
    if (names.isEmpty()) {
        first->setText(first->property(kPlaceholderText).toString());
        pCmdUI->Enable(FALSE);
        return;
    }
    first->setText(NumberedItem(0, names[0]));
    pCmdUI->Enable(TRUE);
}
