#include "desktop/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

Language languageFor(const QStringList &uiLanguages)
{
    for (const QString &name : uiLanguages) {
        switch (QLocale(name).language()) {
        case QLocale::English:
            return Language::English;
        case QLocale::Dutch:
            return Language::Dutch;
        case QLocale::German:
            return Language::German;
        default:
            break;
        }
    }
    return Language::English;
}

QString languageCode(Language language)
{
    switch (language) {
    case Language::Dutch:
        return QStringLiteral("nl");
    case Language::German:
        return QStringLiteral("de");
    case Language::English:
        break;
    }
    return QStringLiteral("en");
}

Translations::~Translations()
{
    remove();
}

bool Translations::install(Language language)
{
    remove();
    if (language == Language::English)
        return true;

    const QString code = languageCode(language);
    if (m_program.load(QStringLiteral(":/i18n/korvel_") + code))
        m_programInstalled = QCoreApplication::installTranslator(&m_program);
    // Qt's own texts (standard buttons, context menus of the edit fields) are a nicety:
    // without them those read English.
    if (m_qt.load(QStringLiteral("qtbase_") + code,
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
    return m_programInstalled;
}

void Translations::remove()
{
    if (m_programInstalled)
        QCoreApplication::removeTranslator(&m_program);
    if (m_qtInstalled)
        QCoreApplication::removeTranslator(&m_qt);
    m_programInstalled = false;
    m_qtInstalled = false;
}
