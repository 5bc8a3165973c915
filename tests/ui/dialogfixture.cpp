#include "dialogfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeView>

ModalGuard::ModalGuard()
{
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, this, &ModalGuard::check);
    m_timer.start();
}

void ModalGuard::check()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    ADD_FAILURE() << "unexpected modal dialog " << modal->metaObject()->className() << " \""
                  << modal->windowTitle().toStdString() << "\"";
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

void DialogTest::SetUp()
{
    ASSERT_TRUE(m_settings.isValid());
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, m_settings.path());
    m_guard = std::make_unique<ModalGuard>();
}

void DialogTest::TearDown()
{
    m_dialog.reset();
    m_store.reset();
    m_guard.reset();
}

void DialogTest::open(Language language)
{
    EXPECT_TRUE(m_translations.install(language)) << languageCode(language).toStdString();
    m_dialog.reset();
    m_store = std::make_unique<QSettingsStore>(settingsFile());
    m_engine = std::make_unique<Engine>();
    m_messages.shown.clear();
    m_dialog = std::make_unique<CCorvalinDlg>(*m_engine, m_messages, *m_store);
    m_dialog->OnInitDialog();
    m_dialog->show();
    m_dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
}

void DialogTest::calculate(const QString &text)
{
    if (QApplication::focusWidget() != expression())
        QTest::mouseClick(expressionEdit(), Qt::LeftButton);
    QWidget *field = QApplication::focusWidget();
    ASSERT_EQ(field, expression()) << "the expression field does not take the focus";
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QStringList DialogTest::memoryColumn(int column) const
{
    QStringList texts;
    const QAbstractItemModel *model = memoryList()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

void DialogTest::clickMemoryRow(int row, Qt::KeyboardModifiers modifiers)
{
    const QRect rect = memoryList()->visualRect(memoryList()->model()->index(row, 0));
    QTest::mouseClick(memoryList()->viewport(), Qt::LeftButton, modifiers, rect.center());
}

QPushButton *DialogTest::button(Id id) const
{
    return qobject_cast<QPushButton *>(control(id));
}

QComboBox *DialogTest::expression() const
{
    return qobject_cast<QComboBox *>(control(Id::Expression));
}

QLineEdit *DialogTest::expressionEdit() const
{
    return expression()->lineEdit();
}

QLineEdit *DialogTest::resultField() const
{
    return qobject_cast<QLineEdit *>(control(Id::Result));
}

QTreeView *DialogTest::memoryList() const
{
    return qobject_cast<QTreeView *>(control(Id::MemoryList));
}

QStringList DialogTest::history() const
{
    QStringList entries;
    for (int i = 0; i < expression()->count(); ++i)
        entries.append(expression()->itemText(i));
    return entries;
}
