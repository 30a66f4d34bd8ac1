// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Aufruf.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

QStringList Liste(const std::vector<std::string>& argumente) {
    QStringList liste = {QStringLiteral("programm")}; // the parser skips the program's name
    for (const std::string& argument : argumente) {
        liste << QString::fromStdString(argument);
    }
    return liste;
}

// The argument that named the unknown option `name` (given without its dashes and value).
std::string Geschrieben(const std::vector<std::string>& argumente, const std::string& name) {
    for (const std::string& argument : argumente) {
        const std::string ohneWert = argument.substr(0, argument.find('='));
        if (ohneWert == "-" + name || ohneWert == "--" + name) {
            return argument;
        }
    }
    return (name.size() == 1 ? "-" : "--") + name;
}

} // namespace

TAufrufFehler AufrufLesen(QCommandLineParser& parser, const std::vector<std::string>& argumente) {
    using TArt = TAufrufFehler::TArt;
    // "-name" is read as "--name", so a mistyped dash still names the option it meant.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const bool gelesen = parser.parse(Liste(argumente));
    if (std::find(argumente.begin(), argumente.end(), "--") != argumente.end()) {
        return {TArt::Unbekannt, "--"};
    }
    if (!parser.unknownOptionNames().isEmpty()) {
        return {TArt::Unbekannt,
                Geschrieben(argumente, parser.unknownOptionNames().front().toStdString())};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {TArt::Unbekannt, parser.positionalArguments().front().toStdString()};
    }
    if (gelesen) {
        return {};
    }
    // Qt refuses a value given to an option that takes none ("--help=ja"), which fails on its
    // own too, and an option at the end without its value.
    for (const std::string& argument : argumente) {
        if (argument.find('=') != std::string::npos && !parser.parse(Liste({argument}))) {
            return {TArt::Unbekannt, argument};
        }
    }
    return {TArt::OhneWert, argumente.back()};
}
