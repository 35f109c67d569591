// The lock keys' state, as far as the platform lets a program read it.
#pragma once

// Private to the window layer (and its tests).

#include <cstdint>

enum class LockKey
{
    Caps,
    Num,
    Scroll
};

// Whether a lock is on. On X11 the keyboard's indicators say; elsewhere the
// lock bits of the native modifiers that came with the latest key event
// (Wayland), so a lock shows only once a key has been pressed; a lock the
// platform does not report (Scroll Lock there) shows as off.
bool LockKeyOn(LockKey key);

// Starts keeping the native modifiers of key events; the idle pass reads
// them later, so the watch starts with the frame.
void WatchLockKeys();

// The lock bits of native modifiers as X11 and xkb lay them out: Lock is
// Caps Lock, Mod2 Num Lock; no bit stands for Scroll Lock.
bool LockBitOn(LockKey key, std::uint32_t nativeModifiers);

// What the X server's keyboard indicator of the lock shows: 1 on, 0 off,
// -1 where there is no X server or indicator to ask.
int X11IndicatorState(LockKey key);
