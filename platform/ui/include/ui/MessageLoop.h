// The window system's message loop without an application object, as tests and CWinApp use it.
#pragma once

// Makes sure the process has its one application instance, creating it from
// argc and argv if there is none yet.
void EnsureApplication(int argc = 0, char** argv = nullptr);

// Delivers everything pending (input, paints, deferred deletions) and returns.
void PumpMessages();

// Runs until PostQuitMessage; returns its exit code.
int RunMessageLoop();
void PostQuitMessage(int nExitCode);
