// A settings store held in memory. It keeps every value with its kind, so tests can plant
// values of any kind and check exactly what was written.
#pragma once

#include "persistence/settingsstore.h"

#include <map>
#include <utility>
#include <variant>

class MemorySettingsStore : public SettingsStore {
public:
    /// A stored value and its kind.
    using Value = std::variant<int, QString, QByteArray>;
    /// Every value by (section, key), ordered by section, then key.
    using Entries = std::map<std::pair<QString, QString>, Value>;

    int getInt(const QString &section, const QString &key, int defaultValue) const override;
    QString getString(const QString &section, const QString &key,
                      const QString &defaultValue = {}) const override;
    std::optional<QByteArray> getBinary(const QString &section, const QString &key) const override;

    void putInt(const QString &section, const QString &key, int value) override;
    void putString(const QString &section, const QString &key, const QString &value) override;
    void putBinary(const QString &section, const QString &key, const QByteArray &value) override;

    QStringList keys(const QString &section) const override;

    /// All stored values.
    const Entries &entries() const { return m_entries; }
    /// The value at `key` with its kind, or nullptr when absent.
    const Value *find(const QString &section, const QString &key) const;

private:
    template <typename T>
    const T *findAs(const QString &section, const QString &key) const
    {
        const Value *stored = find(section, key);
        return stored ? std::get_if<T>(stored) : nullptr;
    }

    Entries m_entries;
};
