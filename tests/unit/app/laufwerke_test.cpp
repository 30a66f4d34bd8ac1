// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Laufwerke.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TListe = std::vector<std::string>;

const std::string Mounts = "sysfs /sys sysfs rw 0 0\n"
                           "/dev/sda2 / ext4 rw 0 0\n"
                           "/dev/sda3 /home ext4 rw 0 0\n"
                           "/dev/sdb1 /media/labor/USB\\040STICK vfat rw 0 0\n"
                           "/dev/sdc1 /mnt/daten ext4 rw 0 0\n"
                           "/dev/sdd1 /run/media/labor/KARTE vfat rw 0 0\n"
                           "tmpfs /run tmpfs rw 0 0\n"
                           "/dev/sde1 /mediathek ext4 rw 0 0\n"
                           "/dev/sdf1 /mnt ext4 rw 0 0\n"
                           "/dev/sdb1 /media/labor/USB\\040STICK vfat rw 0 0\n";

TEST(Laufwerke, WurzelHeimUndWechselmedien) {
    EXPECT_EQ(Laufwerke(Mounts, "/home/labor"),
              (TListe{"/", "/home/labor", "/media/labor/USB STICK", "/mnt/daten",
                      "/run/media/labor/KARTE"}));
}

TEST(Laufwerke, OhneBrauchbaresHeimNurDieWurzel) {
    EXPECT_EQ(Laufwerke("", ""), TListe{"/"});
    EXPECT_EQ(Laufwerke("", "/"), TListe{"/"});
    EXPECT_EQ(Laufwerke("", "relativ"), TListe{"/"});
    EXPECT_EQ(Laufwerke("", "/home/labor/"), (TListe{"/", "/home/labor"}));
}

TEST(Laufwerke, UnvollstaendigeZeilenUndEscapes) {
    EXPECT_EQ(Laufwerke("kaputt\n/dev/x /media/a\\\n/dev/y /media/b\\0401\\134x rw\n", ""),
              (TListe{"/", "/media/a\\", "/media/b 1\\x"}));
}

TEST(LaufwerkVon, LaengsteWurzelGewinnt) {
    const TListe liste{"/", "/home/labor", "/media/usb"};
    EXPECT_EQ(LaufwerkVon(liste, "/home/labor/Daten"), "/home/labor");
    EXPECT_EQ(LaufwerkVon(liste, "/home/labor"), "/home/labor");
    // A name that merely starts like a root lies outside it.
    EXPECT_EQ(LaufwerkVon(liste, "/home/laborant"), "/");
    EXPECT_EQ(LaufwerkVon(liste, "/media/usb/x/y"), "/media/usb");
    EXPECT_EQ(LaufwerkVon(liste, "/"), "/");
}

TEST(LaufwerkeDesSystems, BeginntMitDerWurzelUndNurVerzeichnisse) {
    const TListe liste = LaufwerkeDesSystems();
    ASSERT_FALSE(liste.empty());
    EXPECT_EQ(liste.front(), "/");
}

} // namespace
