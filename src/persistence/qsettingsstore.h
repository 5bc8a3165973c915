// The settings store on QSettings: the user's own store in the platform's native format
// (the registry on Windows, an INI file elsewhere), or any INI file.
#pragma once

#include "persistence/settingsstore.h"

#include <QSettings>
#include <QVariant>

/// The typed reads and writes of a store that keeps QVariants by "section/key" path, as
/// QSettings does. What a value may turn out to be is decided here, apart from where the
/// values live, so that the same checks run over any source of such values.
class VariantSettingsStore : public SettingsStore {
public:
    int getInt(const QString &section, const QString &key, int defaultValue) const override;
    QString getString(const QString &section, const QString &key,
                      const QString &defaultValue = {}) const override;
    std::optional<QByteArray> getBinary(const QString &section, const QString &key) const override;

    void putInt(const QString &section, const QString &key, int value) override;
    void putString(const QString &section, const QString &key, const QString &value) override;
    void putBinary(const QString &section, const QString &key, const QByteArray &value) override;

    QStringList keys(const QString &section) const override;

protected:
    /// The value at `path` ("section/key"), invalid when absent.
    virtual QVariant value(const QString &path) const = 0;
    virtual void setValue(const QString &path, const QVariant &value) = 0;
    /// The keys directly in `section`, not those of its subsections.
    virtual QStringList childKeys(const QString &section) const = 0;
};

class QSettingsStore : public VariantSettingsStore {
public:
    /// The organisation every Korvel store is rooted under.
    static const QString Organization;

    /// The current user's store for this program: organisation "Tamsard" and the
    /// application's name (by default the executable's base name), in the native format.
    QSettingsStore();
    /// A store kept in the INI file at `iniFilePath`.
    explicit QSettingsStore(const QString &iniFilePath);
    ~QSettingsStore() override;

    QSettingsStore(const QSettingsStore &) = delete;
    QSettingsStore &operator=(const QSettingsStore &) = delete;

    /// Writes pending changes to permanent storage; destruction does the same.
    void sync() override;
    /// Where the values live: a file path, or a registry path on Windows.

protected:
    QVariant value(const QString &path) const override;
    void setValue(const QString &path, const QVariant &value) override;
    QStringList childKeys(const QString &section) const override;

private:
    mutable QSettings m_settings;
};
