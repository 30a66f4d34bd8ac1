// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/VeroeffentlichenEinstellungen.h"

#include <QString>

#include <string>

// How to reach the broker and who to be there.
struct TMqttZugang {
    TBrokerAdresse Adresse;
    std::string Benutzer;
    std::string Passwort;
    // Where the password is read before each connection (it wins over Passwort): a file that
    // appears or is mended later is taken without a restart.
    std::string PasswortDatei;
    std::string CaDatei; // empty with TLS: the system's certificate authorities
    std::string ClientId;
    // The broker keeps the session (subscriptions and messages for it) while the client is
    // away. Such a session is asked for in MQTT 3.1.1, whose persistent session has no expiry
    // to negotiate; otherwise MQTT 5 is spoken where the broker knows it.
    bool SitzungBehalten = false;
    // The last will: published by the broker, retained, when the connection breaks off.
    std::string WillThema;
    std::string WillInhalt;
};

// The access that `einstellungen` give: the server's address, the user, the password file
// (under $CREDENTIALS_DIRECTORY for a relative name) and the CA file; client id and will are the
// caller's. Raises EMeldung (German) for an address that cannot be read; the files are read by
// ZugangVorbereiten.
TMqttZugang ZugangAus(const TVeroeffentlichenEinstellungen& einstellungen);

// `zugang` ready to connect with: the password read from its file. Raises EMeldung (German,
// naming the file or the server) for what would connect without the protection asked for or
// cannot log in at all: a password file or CA file that is missing, unreadable or not what it
// should be, a user without a password, a CA file for a server without TLS.
TMqttZugang ZugangVorbereiten(const TMqttZugang& zugang);

// The German reason for a libmosquitto result (`errnoWert` for MOSQ_ERR_ERRNO).
QString MqttGrund(int rc, int errnoWert = 0);
// The German reason for a broker's refusal in its CONNACK (MQTT 3.1.1 or 5 codes).
QString AnmeldeGrund(int rc);
