// The lock keys: the X server's indicators, or the lock bits that key events carry.

#include "LockKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

constexpr std::uint32_t kLockMask = 1u << 1; // Caps Lock
constexpr std::uint32_t kMod2Mask = 1u << 4; // Num Lock

// Keeps the native modifiers of every key event the program gets.
class KeyModifiersWatcher final : public QObject
{
public:
    using QObject::QObject;
    std::uint32_t modifiers = 0;
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            modifiers = static_cast<QKeyEvent*>(event)->nativeModifiers();
            seen = true;
        }
        return false;
    }
};

KeyModifiersWatcher* Watcher()
{
    static KeyModifiersWatcher* watcher = [] {
        auto* w = new KeyModifiersWatcher(qApp);
        qApp->installEventFilter(w);
        return w;
    }();
    return watcher;
}

} // namespace

void WatchLockKeys()
{
    if (qApp)
        Watcher();
}

bool LockBitOn(LockKey key, std::uint32_t nativeModifiers)
{
    switch (key) {
    case LockKey::Caps:
        return (nativeModifiers & kLockMask) != 0;
    case LockKey::Num:
        return (nativeModifiers & kMod2Mask) != 0;
    default:
        return false;
    }
}

bool LockKeyOn(LockKey key)
{
    if (!qApp)
        return false;
    if (const int shown = X11IndicatorState(key); shown >= 0)
        return shown != 0;
    const KeyModifiersWatcher* watcher = Watcher();
    return watcher->seen && LockBitOn(key, watcher->modifiers);
}
