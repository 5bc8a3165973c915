// Writes pictures of the main dialog after a few calculations and of the About box, in
// each language, as korvel-<language>.png and about-<language>.png into the folder given
// as the last argument.
//
//   korvel_shots [--ratio N] folder
//
// With --ratio N (up to 4) each pixel of the dialog is drawn as N by N pixels, sharp in
// print, and for N above 1 the files are named korvel-<language>@Nx.png (about- too): under
// such a name Qt reads a picture back with its ratio, at the dialog's own size.
#include "desktop/language.h"
#include "persistence/memorysettingsstore.h"
#include "ui/caboutdlg.h"
#include "ui/identity.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    const bool ratioGiven = argc == 4 && std::strcmp(argv[1], "--ratio") == 0;
    const int ratio = ratioGiven ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && !ratioGiven) || ratio < 1 || ratio > 4) {
        std::fprintf(stderr, "usage: %s [--ratio 1|2|3|4] folder\n", argv[0]);
        return 2;
    }
    // Read once, when the application starts: every window is then drawn at this ratio.
    if (ratio > 1)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
    const QString suffix = ratio > 1 ? QStringLiteral("@%1x").arg(ratio) : QString();
    const QDir folder(QString::fromLocal8Bit(argv[argc - 1]));
    QApplication app(argc, argv);
    nameApplication();
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
            const QString file =
                folder.filePath(QStringLiteral("%1-%2%3.png")
                                    .arg(QLatin1String(name), languageCode(language), suffix));
            const QPixmap picture = window->grab();
            if (picture.devicePixelRatio() != ratio) {
                std::fprintf(stderr, "drawn at ratio %g, not %d\n", picture.devicePixelRatio(),
                             ratio);
                return 1;
            }
            if (!picture.save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("%s\n", qPrintable(file));
        }
    }
    return 0;
}
