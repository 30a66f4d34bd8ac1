// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// PostHandedOver(target, work) queues `work` for the thread of `target` through Qt's event queue
// (QMetaObject::invokeMethod with a queued connection). Qt moves the work into a call object on
// the posting thread; the target thread runs it, and whichever thread drops the last reference
// frees it. Qt orders these steps with locks inside QtCore.
//
// Debian's QtCore is not built with ThreadSanitizer, so the tool sees neither those locks nor
// Qt's own accesses, only what our code and Qt's header templates do, and the memory Qt
// allocates. Under ThreadSanitizer, therefore:
// - The call object tells the tool about the hand-over itself, on its own address inside Qt's
//   call object: built (before it is posted): release; run: acquire, and release when done
//   (the posting thread may be the one that frees it); destroyed: acquire. What the posting
//   thread did before posting thus happens before the work runs, and the run happens before
//   the call object is freed: the order Qt's queue guarantees.
// - Accesses on the posting thread while Qt itself posts (the event Qt allocates for the call,
//   which the target thread reads and frees in QtCore and in Qt's header code) are not
//   recorded: they belong to Qt, whose other accesses the tool cannot see either, and nothing
//   of ours can order Qt's allocation before the target thread's use. Our own code that runs
//   there (building or destroying the call object) is checked as everywhere else.
// Races between any of our accesses still show.
//
// Without ThreadSanitizer, PostHandedOver is the plain invokeMethod call and adds nothing.
//
// The work must not throw (nothing may cross Qt's event loop).

#if defined(__SANITIZE_THREAD__)
#define QUORLITS_TSAN_HANDOVER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUORLITS_TSAN_HANDOVER 1
#endif
#endif

#include <QMetaObject>
#include <QObject>

#include <type_traits>
#include <utility>

#ifdef QUORLITS_TSAN_HANDOVER

#include <sanitizer/tsan_interface.h>

extern "C" {
void AnnotateIgnoreReadsBegin(const char* file, int line);
void AnnotateIgnoreReadsEnd(const char* file, int line);
void AnnotateIgnoreWritesBegin(const char* file, int line);
void AnnotateIgnoreWritesEnd(const char* file, int line);
}

namespace tsan_handover {

// How many posts by Qt run on this thread right now (a destructor run inside one may post).
inline thread_local int qtPosting = 0;

inline void IgnoreAccesses() noexcept {
    AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
    AnnotateIgnoreWritesBegin(__FILE__, __LINE__);
}

inline void CheckAccesses() noexcept {
    AnnotateIgnoreWritesEnd(__FILE__, __LINE__);
    AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
}

// The time Qt posts: accesses are not recorded.
class TQtPosting {
public:
    TQtPosting() noexcept {
        ++qtPosting;
        IgnoreAccesses();
    }
    ~TQtPosting() {
        CheckAccesses();
        --qtPosting;
    }
    TQtPosting(const TQtPosting&) = delete;
    TQtPosting& operator=(const TQtPosting&) = delete;
};

// Base of the call object: our code in it is checked even while Qt posts. The base is built
// before the work and destroyed after it, so building and destroying the work are checked too.
class TOwnCode {
protected:
    TOwnCode() noexcept { Enter(); }
    ~TOwnCode() { Leave(); }
    TOwnCode(const TOwnCode&) = delete;
    TOwnCode& operator=(const TOwnCode&) = delete;

    static void Enter() noexcept {
        if (qtPosting > 0) {
            CheckAccesses();
        }
    }
    static void Leave() noexcept {
        if (qtPosting > 0) {
            IgnoreAccesses();
        }
    }
};

template <typename TWork>
class THandedOver : private TOwnCode {
public:
    explicit THandedOver(TWork work)
        : work_(std::move(work)) {
        Built();
    }
    THandedOver(THandedOver&& other) noexcept(std::is_nothrow_move_constructible_v<TWork>)
        : work_(std::move(other.work_)) {
        Built();
    }
    THandedOver(const THandedOver&) = delete;
    THandedOver& operator=(const THandedOver&) = delete;
    THandedOver& operator=(THandedOver&&) = delete;
    ~THandedOver() {
        Enter();
        __tsan_acquire(this);
    }

    void operator()() {
        __tsan_acquire(this);
        work_();
        __tsan_release(this);
    }

private:
    void Built() noexcept {
        __tsan_release(this);
        Leave();
    }

    TWork work_;
};

} // namespace tsan_handover

template <typename TWork>
void PostHandedOver(QObject* target, TWork work) {
    tsan_handover::THandedOver<TWork> handedOver(std::move(work));
    tsan_handover::TQtPosting posting;
    QMetaObject::invokeMethod(target, std::move(handedOver), Qt::QueuedConnection);
}

#else

template <typename TWork>
void PostHandedOver(QObject* target, TWork work) {
    QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

#endif
