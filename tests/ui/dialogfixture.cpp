#include "dialogfixture.h"

void DialogTest::open(Language language)
{
    EXPECT_TRUE(m_translations.install(language)) << languageCode(language).toStdString();
    m_program.reset();
    m_store = std::make_unique<QSettingsStore>(settingsFile());
    m_program = std::make_unique<Program>(
        m_messages, *m_store,
        DialogPlatform{m_files, m_clipboard, m_keyboard, m_documents,
                       m_programPath.isEmpty() ? m_settings.filePath(u"korvel"_s) : m_programPath});
    m_program->dialog.OnInitDialog();
    m_program->dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&m_program->dialog));
}

void DialogTest::calculate(const QString &text)
{
    QTest::mouseClick(edit(), Qt::LeftButton);
    QTest::keyClick(expression(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(expression(), text);
    QTest::keyClick(expression(), Qt::Key_Return);
}

QStringList DialogTest::rows(const QAbstractItemModel *model)
{
    QStringList rows(model->rowCount());
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            rows[row] +=
                (column ? u" | "_s : QString()) + model->index(row, column).data().toString();
    return rows;
}
