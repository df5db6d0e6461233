#pragma once

// Internal to db/: the Firebird interface and the conversion of its errors.

#include "dberror.h"

#include <firebird/Interface.h>

namespace mizro::db::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
/// The dispatcher: embedded engine for plain paths, remote for "host:path".
Firebird::IProvider *provider();

/// A throwing status wrapper that gives its status object back when it goes.
class Status {
public:
    Status() : m_wrapper(master()->getStatus()) {}
    ~Status() { m_wrapper.dispose(); }
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;
    Firebird::ThrowStatusWrapper *get() { return &m_wrapper; }

private:
    Firebird::ThrowStatusWrapper m_wrapper;
};

/// Builds a DbError from an engine exception: codes, SQLCODE, formatted text.
DbError toDbError(const Firebird::FbException &e);

/// Releases an interface of the engine when it goes.
template <typename T> class Ref {
public:
    explicit Ref(T *p = nullptr) : m_p(p) {}
    ~Ref() { reset(); }
    Ref(Ref &&other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    Ref &operator=(Ref &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    void reset()
    {
        if (m_p)
            m_p->release();
        m_p = nullptr;
    }

private:
    T *m_p;
};

/// Parameter block builder (DPB, TPB, SPB) that releases itself.
class Xpb {
public:
    explicit Xpb(unsigned kind);
    ~Xpb();
    Xpb(const Xpb &) = delete;
    Xpb &operator=(const Xpb &) = delete;
    Xpb &tag(unsigned char t);
    Xpb &integer(unsigned char t, int value);
    Xpb &string(unsigned char t, const QByteArray &value);
    unsigned length();
    const unsigned char *buffer();

private:
    Firebird::IXpbBuilder *m_builder;
};

} // namespace mizro::db::fb

namespace mizro::db::fb {

/// Runs f, turning an engine exception into a DbError.
template <typename F> auto guarded(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const Firebird::FbException &e) {
        throw toDbError(e);
    }
}

} // namespace mizro::db::fb
