// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

class TComDevice;

// Waits until `device` has finished releasing the descriptor of its last Close.
//
// On the thread of the QCoreApplication, events keep being handled meanwhile, all but user
// input: clicks and keys wait until the device is free and are handled then, in order. The
// window repaints and its timers and queued work run, while the user cannot start a second
// open. The wait sleeps in the event loop until the device reports the release.
//
// Returns false when the wait ended before the release (the application is quitting). On any
// other thread it returns true at once: the device's Open blocks until the release instead.
bool AwaitDeviceRelease(TComDevice& device);
