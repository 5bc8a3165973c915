// A main dialog on screen for one test: fresh engine, recorded messages, settings in a
// temporary folder, a pinned language, and a failure for any modal dialog that opens.
#pragma once

#include "core/engine.h"
#include "core/recordingmessages.h"
#include "persistence/qsettingsstore.h"
#include "ui/ccorvalindlg.h"
#include "ui/language.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{' << texts.join(u" | ").toStdString() << '}';
}

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;

/// Fails the running test when a modal dialog opens, and closes that dialog so that the
/// test goes on instead of hanging.
class ModalGuard : public QObject {
public:
    ModalGuard();

private:
    void check();
    QTimer m_timer;
};

class DialogTest : public ::testing::Test {
protected:
    using Id = CCorvalinDlg::ControlId;

    void SetUp() override;
    void TearDown() override;

    /// Creates, initialises and shows a dialog in `language`, on a fresh engine and a
    /// fresh store over the test's settings file, as a new run of the program would.
    void open(Language language = Language::English);
    /// The settings file every dialog of the test reads and writes.
    QString settingsFile() const { return m_settings.filePath(QStringLiteral("korvel.ini")); }
    /// Types `text` over the expression field's text and presses Enter, clicking into
    /// the field first when it has not got the focus.
    void calculate(const QString &text);
    /// The names listed in the memory list, top to bottom, or the texts of `column`.
    QStringList memoryColumn(int column = 0) const;
    void clickMemoryRow(int row, Qt::KeyboardModifiers modifiers = {});

    QWidget *control(Id id) const { return m_dialog->control(id); }
    QPushButton *button(Id id) const;
    QComboBox *expression() const;
    QLineEdit *expressionEdit() const;
    QLineEdit *resultField() const;
    QTreeView *memoryList() const;
    QStringList history() const;

    QTemporaryDir m_settings;
    Translations m_translations;
    std::unique_ptr<Engine> m_engine;
    std::unique_ptr<QSettingsStore> m_store;
    RecordingMessages m_messages;
    std::unique_ptr<CCorvalinDlg> m_dialog;
    std::unique_ptr<ModalGuard> m_guard;
};
