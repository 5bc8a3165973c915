#include "dialogfixture.h"

void DialogTest::open(Language language)
{
    EXPECT_TRUE(m_translations.install(language)) << languageCode(language).toStdString();
    m_dialog.reset();
    m_calculator.reset();
    m_store = std::make_unique<QSettingsStore>(settingsFile());
    m_engine = std::make_unique<Engine>();
    m_calculator = std::make_unique<Calculator>(*m_engine, m_messages);
    m_dialog = std::make_unique<CCorvalinDlg>(
        *m_calculator, *m_store,
        DialogPlatform{m_files, m_clipboard, m_keyboard, m_documents,
                       m_programPath.isEmpty() ? m_settings.filePath(u"korvel"_s) : m_programPath});
    m_dialog->OnInitDialog();
    m_dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
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
