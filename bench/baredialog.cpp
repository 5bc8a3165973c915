// The baseline of the start-up probe: a bare Qt dialog with the widgets Korvel's dialog is
// made of (a combo box, a line edit, a button and a three-column tree view), no data.
#include "desktop/diagnostics.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *combo = new QComboBox;
    combo->setEditable(true);
    layout->addWidget(combo);
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QPushButton(QStringLiteral("Calculate")));
    auto *tree = new QTreeView;
    auto *model = new QStandardItemModel(0, 3, &dialog);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Derivation")});
    tree->setModel(model);
    layout->addWidget(tree);
    dialog.resize(640, 440);
    reportFirstFrameIfAsked(tree->viewport());
    return dialog.exec();
}
