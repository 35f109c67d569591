// The main frame's place between runs: its size, whether maximised, and where its toolbars are.

#include "FramePlacement.h"

#include "FrameHost.h"
#include "RecentFiles.h"
#include "WrappingToolBar.h"
#include "ui/WinApp.h"

#include <QMainWindow>
#include <QSettings>
#include <QToolBar>

#include <utility>
#include <vector>

namespace {

constexpr char kGroup[] = "Main Window";
constexpr char kGeometry[] = "Geometry";
constexpr char kBars[] = "Bars";

// What was stored under `key` in the main window's group; empty when nothing was.
QByteArray Stored(const char* key)
{
    QSettings settings = ProfileSettings(AfxGetApp());
    settings.beginGroup(QLatin1String(kGroup));
    return settings.value(QLatin1String(key)).toByteArray();
}

} // namespace

void RestoreFramePlacement(CFrameWnd* frame)
{
    FrameHost* host = FrameHostOf(frame);
    QWidget* widget = host ? host->FrameWidget() : nullptr;
    if (!widget)
        return;
    // A maximised window comes back maximised, with its ordinary size kept
    // for when it is restored.
    const QByteArray geometry = Stored(kGeometry);
    if (!geometry.isEmpty())
        widget->restoreGeometry(geometry);
}

void RestoreBarPlacement(CFrameWnd* frame)
{
    FrameHost* host = FrameHostOf(frame);
    QMainWindow* main = host ? host->MainWindow() : nullptr;
    if (!main)
        return;
    // The bars' places come back, not whether they show: the program
    // decides that as it makes them.
    const QByteArray bars = Stored(kBars);
    if (bars.isEmpty())
        return;
    std::vector<std::pair<QToolBar*, bool>> shown;
    for (QToolBar* bar : main->findChildren<QToolBar*>())
        shown.emplace_back(bar, !bar->isHidden());
    main->restoreState(bars);
    for (const auto& [bar, visible] : shown) {
        bar->setVisible(visible);
        if (auto* wrapping = dynamic_cast<WrappingToolBar*>(bar))
            wrapping->KeepFloatingShape();
    }
    frame->RecalcLayout();
}

void SaveFramePlacement(CFrameWnd* frame)
{
    FrameHost* host = FrameHostOf(frame);
    const QWidget* widget = host ? host->FrameWidget() : nullptr;
    const QMainWindow* main = host ? host->MainWindow() : nullptr;
    if (!widget || !main)
        return;
    QSettings settings = ProfileSettings(AfxGetApp());
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(QLatin1String(kGeometry), widget->saveGeometry());
    settings.setValue(QLatin1String(kBars), main->saveState());
    settings.endGroup();
    settings.sync();
}
