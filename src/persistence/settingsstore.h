// A per-user key-value store of typed values by section and key, the way the calculator
// keeps its state between runs. The logic reads and writes through this interface only,
// so it runs the same against the platform's store and against an in-memory one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The 32-bit integer at `key`, or `defaultValue` when it is absent or holds
    /// something that is not such an integer.
    virtual int getInt(const QString &section, const QString &key, int defaultValue) const = 0;
    /// The text at `key`, or `defaultValue` when it is absent or holds something else.
    virtual QString getString(const QString &section, const QString &key,
                              const QString &defaultValue = {}) const = 0;
    /// Exactly the bytes stored at `key`, whatever their number; nothing when the key is
    /// absent or holds a value of another kind.
    virtual std::optional<QByteArray> getBinary(const QString &section,
                                                const QString &key) const = 0;

    /// Creates or replaces the value at `key`. Failures are not reported.
    virtual void putInt(const QString &section, const QString &key, int value) = 0;
    /// An empty text is stored as a present, empty value.
    virtual void putString(const QString &section, const QString &key, const QString &value) = 0;
    virtual void putBinary(const QString &section, const QString &key, const QByteArray &value) = 0;

    /// The names of the keys present in `section`, in no particular order.
    virtual QStringList keys(const QString &section) const = 0;

    /// Writes pending changes to permanent storage, where the store keeps any.
    virtual void sync() {}
};
