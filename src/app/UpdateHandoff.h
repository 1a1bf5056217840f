// The update hand-off at start-up: the leftover of an earlier self-update is
// removed, and an updater whose download completed is started.
#pragma once

#include <string>

inline constexpr const char kUpdateLeftoverFile[] = "Tovix.exe.0.tmp";
inline constexpr const char kUpdaterFile[] = "TovixUpdate.exe";
// Empty; present only once the updater beside it is complete.
inline constexpr const char kUpdateMarkerFile[] = "TovixUpdate.txt";

// Both start-up steps, on the files of the current directory:
//  - "Tovix.exe.0.tmp" is deleted when it exists;
//  - updater and marker: the updater is started and the marker deleted;
//    updater alone (an incomplete download): it is deleted; marker alone: it is deleted.
// Every failure is one log line; start-up goes on.
void FinishPendingUpdate();
