// The user-interface language: which one the user prefers, and installing its translations
// (the program's own, compiled in, and Qt's for the standard buttons).
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

enum class Language {
    English,
    Dutch,
    German
};

/// The first of the user's preferred languages (most preferred first, as
/// QLocale::uiLanguages() lists them) that the program speaks; English when none is.
Language languageFor(const QStringList &uiLanguages);

/// The two-letter code of a language: "en", "nl", "de".
QString languageCode(Language language);

/// Keeps the translators of one language installed in the application. English is the
/// source language and needs none.
class Translations {
public:
    Translations() = default;
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    /// Replaces the installed translations by those of `language`. Returns false when the
    /// program's own translation could not be loaded; the program then speaks English.
    bool install(Language language);

private:
    void remove();

    QTranslator m_program;
    QTranslator m_qt;
    bool m_programInstalled = false;
    bool m_qtInstalled = false;
};
