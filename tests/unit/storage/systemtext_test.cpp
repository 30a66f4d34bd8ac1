// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"
#include "storage/SystemText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// The errors a user meets with files and serial lines read German, not the C library's English.
TEST(SystemFehlerText, HaeufigeFehlerSindDeutsch) {
    for (const int fehler : {ENOENT, EACCES, EBUSY, ENOTTY, EISDIR, ENOSPC, EROFS, EIO, EPIPE,
                             ENXIO, EPERM, ENODEV, EFBIG, EDQUOT, ENOTDIR, EEXIST, EINVAL}) {
        SCOPED_TRACE(fehler);
        const std::string text = SystemFehlerText(fehler);
        EXPECT_FALSE(text.empty());
        EXPECT_NE(text, std::strerror(fehler));
    }
    EXPECT_EQ(SystemFehlerText(EHOSTDOWN), std::strerror(EHOSTDOWN)); // the rest as the system says
}

TEST(SystemFehlerText, IstDetailNebenDemTextDesFehlers) {
    EXPECT_EQ(EInOutError::AusErrno(EIO).MitDetail(), "E/A-Fehler 1005 (Ein-/Ausgabefehler)");
    EXPECT_STREQ(EInOutError::AusErrno(EIO).what(), "E/A-Fehler 1005");
    EXPECT_EQ(EInOutError(101).MitDetail(), "Zu wenig Speicherplatz");
    EXPECT_EQ(EInOutError::MitText(EEXIST, "eigener Text").ErrorCode(), 1017);
}

} // namespace
