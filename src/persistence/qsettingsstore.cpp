// Values read back from a settings file may have been edited by hand or damaged, so every
// read checks the kind it gets and falls back to the caller's default instead of
// converting whatever it finds.
#include "persistence/qsettingsstore.h"

#include "persistence/settingskeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariant>

#include <utility>

const QString QSettingsStore::Organization = QStringLiteral("Tamsard");

namespace {

std::optional<int> toInt32(const QVariant &value)
{
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
    case QMetaType::LongLong: {
        const qlonglong number = value.toLongLong(&ok);
        if (ok && std::in_range<int>(number))
            return int(number);
        return std::nullopt;
    }
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong(&ok);
        if (ok && std::in_range<int>(number))
            return int(number);
        return std::nullopt;
    }
    case QMetaType::QString: {
        // INI files hold text only, so this is how a stored integer comes back there.
        const qlonglong number = value.toString().toLongLong(&ok, 10);
        if (ok && std::in_range<int>(number))
            return int(number);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// QSettings reads the whole of its file at once, and a file far larger than any store (a
// sparse one claims a terabyte on a few kilobytes of disk) would end the process at every
// start. Such a file is set aside, kept as it was beside the new one, and the store starts
// empty.
const QString &setAsideIfTooLarge(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || file.size() <= SettingsKeys::MaxFileBytes)
        return path;
    const QString aside = path + QStringLiteral(".too-large");
    QFile::remove(aside);
    if (QFile::rename(path, aside)) {
        qWarning("The settings file %s is larger than %lld MiB: it is kept as %s, and the "
                 "store starts empty.",
                 qPrintable(QDir::toNativeSeparators(path)),
                 static_cast<long long>(SettingsKeys::MaxFileBytes >> 20),
                 qPrintable(QDir::toNativeSeparators(aside)));
    }
    return path;
}

// Where QSettings keeps the user's store in the native format; the registry on Windows.
QString nativeStorePath()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
           + QSettingsStore::Organization + u'/' + QCoreApplication::applicationName()
           + QStringLiteral(".conf");
#else
    return {};
#endif
}

// The native format, once a store file too large to read is out of QSettings' way.
QSettings::Format nativeFormatWithTheFileChecked()
{
    setAsideIfTooLarge(nativeStorePath());
    return QSettings::NativeFormat;
}

} // namespace

QSettingsStore::QSettingsStore()
    : m_settings(nativeFormatWithTheFileChecked(), QSettings::UserScope, Organization,
                 QCoreApplication::applicationName())
{
    // Only the user's own values count; a system-wide or organisation-wide file must not
    // fill in keys the user's store lacks.
    m_settings.setFallbacksEnabled(false);
}

QSettingsStore::QSettingsStore(const QString &iniFilePath)
    : m_settings(setAsideIfTooLarge(iniFilePath), QSettings::IniFormat)
{
}

QSettingsStore::~QSettingsStore() = default;

int VariantSettingsStore::getInt(const QString &section, const QString &key, int defaultValue) const
{
    return toInt32(value(section + u'/' + key)).value_or(defaultValue);
}

QString VariantSettingsStore::getString(const QString &section, const QString &key,
                                        const QString &defaultValue) const
{
    const QVariant stored = value(section + u'/' + key);
    switch (stored.typeId()) {
    case QMetaType::QString:
        return stored.toString();
    case QMetaType::QStringList:
        // An INI file edited by hand splits an unquoted text at its commas, and with the
        // decimal comma that is most expressions with a fraction. Put the commas back;
        // only blanks that stood next to them are lost.
        return stored.toStringList().join(u',');
    default:
        return defaultValue;
    }
}

std::optional<QByteArray> VariantSettingsStore::getBinary(const QString &section,
                                                          const QString &key) const
{
    const QVariant stored = value(section + u'/' + key);
    if (stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return stored.toByteArray();
}

void VariantSettingsStore::putInt(const QString &section, const QString &key, int value)
{
    setValue(section + u'/' + key, value);
}

void VariantSettingsStore::putString(const QString &section, const QString &key,
                                     const QString &value)
{
    setValue(section + u'/' + key, value);
}

void VariantSettingsStore::putBinary(const QString &section, const QString &key,
                                     const QByteArray &value)
{
    setValue(section + u'/' + key, value);
}

QStringList VariantSettingsStore::keys(const QString &section) const
{
    return childKeys(section);
}

QVariant QSettingsStore::value(const QString &path) const
{
    return m_settings.value(path);
}

void QSettingsStore::setValue(const QString &path, const QVariant &value)
{
    m_settings.setValue(path, value);
}

QStringList QSettingsStore::childKeys(const QString &section) const
{
    m_settings.beginGroup(section);
    QStringList names = m_settings.childKeys();
    m_settings.endGroup();
    return names;
}

void QSettingsStore::sync()
{
    m_settings.sync();
}
