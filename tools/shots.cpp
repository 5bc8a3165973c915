// Writes a picture of the main dialog in each language, after a few calculations, as
// korvel-<language>.png into the folder given as the first argument.
#include "core/engine.h"
#include "core/messages.h"
#include "persistence/memorysettingsstore.h"
#include "ui/ccorvalindlg.h"
#include "ui/language.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <cstdio>

namespace {

class SilentMessages : public Messages {
public:
    void warning(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
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
        Engine engine;
        SilentMessages messages;
        MemorySettingsStore store; // pictures never touch real settings
        CCorvalinDlg dialog(engine, messages, store);
        dialog.OnInitDialog();
        dialog.show();
        auto *field = qobject_cast<QComboBox *>(dialog.control(Id::Expression));
        for (const char *text : {"@a = 3*4", "b = a + 1", "Z9 = 1/3", "1/3"}) {
            field->lineEdit()->setText(QString::fromLatin1(text));
            qobject_cast<QPushButton *>(dialog.control(Id::Calculate))->click();
        }
        auto *list = qobject_cast<QTreeView *>(dialog.control(Id::MemoryList));
        list->selectionModel()->select(list->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QApplication::processEvents();
        const QString file =
            folder.filePath(QStringLiteral("korvel-%1.png").arg(languageCode(language)));
        if (!dialog.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
