// The in-memory settings store: typed values in an ordered map.
#include "persistence/memorysettingsstore.h"

const MemorySettingsStore::Value *MemorySettingsStore::find(const QString &section,
                                                            const QString &key) const
{
    const auto it = m_entries.find({section, key});
    return it == m_entries.end() ? nullptr : &it->second;
}

int MemorySettingsStore::getInt(const QString &section, const QString &key, int defaultValue) const
{
    const int *stored = findAs<int>(section, key);
    return stored ? *stored : defaultValue;
}

QString MemorySettingsStore::getString(const QString &section, const QString &key,
                                       const QString &defaultValue) const
{
    const QString *stored = findAs<QString>(section, key);
    return stored ? *stored : defaultValue;
}

std::optional<QByteArray> MemorySettingsStore::getBinary(const QString &section,
                                                         const QString &key) const
{
    const QByteArray *stored = findAs<QByteArray>(section, key);
    return stored ? std::optional(*stored) : std::nullopt;
}

void MemorySettingsStore::putInt(const QString &section, const QString &key, int value)
{
    m_entries.insert_or_assign({section, key}, value);
}

void MemorySettingsStore::putString(const QString &section, const QString &key,
                                    const QString &value)
{
    m_entries.insert_or_assign({section, key}, value);
}

void MemorySettingsStore::putBinary(const QString &section, const QString &key,
                                    const QByteArray &value)
{
    m_entries.insert_or_assign({section, key}, value);
}

QStringList MemorySettingsStore::keys(const QString &section) const
{
    QStringList names;
    for (auto it = m_entries.lower_bound({section, QString()});
         it != m_entries.end() && it->first.first == section; ++it) {
        names.append(it->first.second);
    }
    return names;
}
