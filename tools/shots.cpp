// Writes pictures of the main dialog after a few calculations and of the About box, in
// each language, as korvel-<language>.png and about-<language>.png into the folder given
// as the first argument.
#include "persistence/memorysettingsstore.h"
#include "ui/caboutdlg.h"
#include "ui/identity.h"
#include "ui/language.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <cstdio>

namespace {

class PrintedMessages : public Messages {
public:
    void show(Message message) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(messageText(message)));
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    nameApplication();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    using Id = CCorvalinDlg::ControlId;
    for (const Language language : {Language::English, Language::Dutch, Language::German}) {
        Translations translations;
        translations.install(language);
        PrintedMessages messages;
        MemorySettingsStore store; // pictures never touch real settings
        // Never asked: nothing here clicks a button that reaches the platform.
        QtPlatform platform;
        Program program(messages, store, platform.forDialog(app.applicationFilePath()));
        CCorvalinDlg &dialog = program.dialog;
        dialog.OnInitDialog();
        dialog.show();
        for (const char *text : {"@a = 3*4", "b = a + 1", "Z9 = 1/3", "1/3"}) {
            dialog.control<QComboBox>(Id::Expression)
                ->lineEdit()
                ->setText(QString::fromLatin1(text));
            dialog.control<QPushButton>(Id::Calculate)->click();
        }
        auto *list = dialog.control<QTreeView>(Id::MemoryList);
        list->selectionModel()->select(list->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QApplication::processEvents();
        CAboutDlg about(&dialog);
        about.show();
        QApplication::processEvents();
        const std::pair<const char *, QWidget *> pictures[] = {{"korvel", &dialog},
                                                               {"about", &about}};
        for (const auto &[name, window] : pictures) {
            const QString file = folder.filePath(
                QStringLiteral("%1-%2.png").arg(QLatin1String(name), languageCode(language)));
            if (!window->grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("%s\n", qPrintable(file));
        }
    }
    return 0;
}
