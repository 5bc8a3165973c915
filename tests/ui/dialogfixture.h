// A main dialog on screen for one test: fresh engine and calculator, recorded messages,
// settings in a temporary folder, a pinned language, and a failure for any modal dialog
// that opens.
#pragma once

#include "desktop/language.h"
#include "persistence/qsettingsstore.h"
#include "support/qtprinters.h"
#include "support/recordingmessages.h"
#include "support/recordingplatform.h"
#include "support/scriptedfilechooser.h"
#include "ui/program.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

/// Fails the running test when a modal dialog opens, and closes that dialog so that the
/// test goes on instead of hanging.
struct ModalGuard : QTimer {
    ModalGuard()
    {
        connect(this, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "unexpected modal dialog \"" << modal->windowTitle().toStdString()
                              << "\": " << modal->property("text").toString().toStdString();
                modal->hide(); // which ends its exec()
            }
        });
        start(20);
    }
};

class DialogTest : public ::testing::Test {
protected:
    using Id = CCorvalinDlg::ControlId;

    /// Creates, initialises and shows a dialog in `language`, on a fresh calculator and a
    /// fresh store over the test's settings file, as a new run of the program would.
    void open(Language language = Language::English)
    {
        EXPECT_TRUE(m_translations.install(language)) << languageCode(language).toStdString();
        m_program.reset();
        m_store = std::make_unique<QSettingsStore>(settingsFile());
        m_program = std::make_unique<Program>(
            m_messages, *m_store,
            DialogPlatform{m_files, m_clipboard, m_keyboard, m_documents,
                           m_programPath.isEmpty() ? m_settings.filePath(u"korvel"_s)
                                                   : m_programPath});
        m_program->dialog.OnInitDialog();
        m_program->dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_program->dialog));
    }
    /// Clicks into the expression field, types `text` over its text and presses Enter.
    void calculate(const QString &text)
    {
        QTest::mouseClick(edit(), Qt::LeftButton);
        QTest::keyClick(expression(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(expression(), text);
        QTest::keyClick(expression(), Qt::Key_Return);
    }
    /// The rows of `model`, top to bottom, each as its columns' texts joined by " | ".
    static QStringList rows(const QAbstractItemModel *model)
    {
        QStringList rows(model->rowCount());
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                rows[row] +=
                    (column ? u" | "_s : QString()) + model->index(row, column).data().toString();
        return rows;
    }

    QStringList history() const { return rows(expression()->model()); }
    QStringList memories() const { return rows(memoryList()->model()); }
    /// What the expression field and the result field show.
    std::pair<QString, QString> fields() const { return {edit()->text(), resultField()->text()}; }
    QString settingsFile() const { return m_settings.filePath(u"korvel.ini"_s); }
    template <class T = QWidget>
    T *control(Id id) const
    {
        return m_program->dialog.control<T>(id);
    }
    QComboBox *expression() const { return control<QComboBox>(Id::Expression); }
    QLineEdit *edit() const { return expression()->lineEdit(); }
    QLineEdit *resultField() const { return control<QLineEdit>(Id::Result); }
    QTreeView *memoryList() const { return control<QTreeView>(Id::MemoryList); }

    // Destroyed bottom up: the dialog before what it works on.
    QTemporaryDir m_settings;
    Translations m_translations;
    ModalGuard m_guard;
    RecordingMessages m_messages; // of every run of the test
    ScriptedFileChooser m_files;
    RecordingClipboard m_clipboard;
    ScriptedKeyboard m_keyboard;
    RecordingDocuments m_documents;
    QString m_programPath; ///< no manual lies beside it unless a test puts one there
    std::unique_ptr<QSettingsStore> m_store;
    std::unique_ptr<Program> m_program;
};
