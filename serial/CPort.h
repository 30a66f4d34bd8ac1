// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The serial port component: its settings vocabulary, setting objects and their translation into
// the device's blocks.
#include "serial/ComBuffer.h"
#include "serial/ComDcb.h"
#include "serial/ComEventMask.h"
#include "serial/ComFlowControl.h"
#include "serial/ComParity.h"
#include "serial/ComPortSettings.h"
#include "serial/ComSettingsTarget.h"
#include "serial/ComTexts.h"
#include "serial/ComTimeouts.h"
#include "serial/ComTypes.h"
