// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsTarget.h"

// The common part of the four setting objects: the non-owning back reference to the port that
// owns the object, and the rule that a real change is stored and then re-applied on that port.
class TComSettingsObject {
public:
    // The port this object belongs to, or null for a free-standing object.
    TComSettingsTarget* ComPort() const noexcept { return port_; }
    void Bind(TComSettingsTarget* port) noexcept { port_ = port; }

protected:
    using ApplyMethod = void (TComSettingsTarget::*)();

    TComSettingsObject(TComSettingsTarget* port, ApplyMethod apply) noexcept
        : port_(port)
        , apply_(apply) {}
    // A copy belongs to no port: only the port that created an object may bind it.
    TComSettingsObject(const TComSettingsObject& other) noexcept
        : port_(nullptr)
        , apply_(other.apply_) {}
    TComSettingsObject& operator=(const TComSettingsObject&) = delete;
    ~TComSettingsObject() = default;

    // Stores `value` and re-applies when it differs from `field`; an equal value does nothing.
    template <typename T>
    void Change(T& field, const T& value) {
        if (field == value) {
            return;
        }
        field = value;
        Reapply();
    }

    // Asks the bound port to re-apply this object's group; does nothing when unbound.
    void Reapply() const {
        if (port_ != nullptr) {
            (port_->*apply_)();
        }
    }

private:
    TComSettingsTarget* port_;
    ApplyMethod apply_;
};
