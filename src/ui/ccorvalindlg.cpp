#include "ui/ccorvalindlg.h"

#include "core/copyresult.h"
#include "desktop/manual.h"
#include "persistence/datafilecommands.h"
#include "persistence/savedstate.h"
#include "ui/accessibility.h"
#include "ui/caboutdlg.h"
#include "ui/ctooltipctrlbeter.h"
#include "ui/dialogkeys.h"
#include "ui/edittextkeeper.h"
#include "ui/identity.h"
#include "ui/memorylistheadings.h"
#include "ui/svgiconengine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeView>

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

using Id = CCorvalinDlg::ControlId;
using enum ControlKind;
using enum ControlState;

// The controls in template order, which is also the tab order. For the combo box the
// height is that of the dropped-down list. Two texts are misspelled on purpose and stay so:
// "&Expresssion" here and, in German, "letzen Ausdruks" in the check box's text.
// clang-format off
const TemplateEntry Controls[] = {
//   id                   kind            x    y    w    h    text
    {Id::None,            Rule,          {  7,   7, 306,   1}},
    {Id::ExpressionLabel, HeavyLabel,    {  7,  16,  43,   8},
        //: Spelled with three s on purpose: keep that spelling in the source.
        QT_TRANSLATE_NOOP("CCorvalinDlg", "&Expresssion")},
    {Id::Expression,      ComboBox,      { 53,  15, 260, 152}},
    {Id::ResultLabel,     HeavyLabel,    {  7,  31,  43,   8}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Result")},
    {Id::Result,          ReadOnlyEdit,  { 53,  30, 244,  12}},
    {Id::Copy,            IconButton,    {298,  29,  15,  15}},
    {Id::Calculate,       DefaultButton, { 53,  48,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Calculate")},
    {Id::ClearHistory,    Button,        {263,  48,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Clear history"), Normal,
        //: Place of the Clear history button: x, y, width, height in dialog units.
        //: Move it left and widen it when the button's text needs more room.
        QT_TRANSLATE_NOOP("CCorvalinDlg", "263, 48, 50, 14")},
    {Id::None,            Rule,          {  7,  68, 306,   1}},
    {Id::MemoriesLabel,   HeavyLabel,    {  7,  76,  43,   8}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Memories")},
    {Id::MemoryList,      ListView,      { 53,  75, 244,  96}},
    {Id::CopyDerivation,  IconButton,    {298,  75,  15,  15}, nullptr, Disabled},
    {Id::Delete,          IconButton,    {298, 156,  15,  15}, nullptr, Disabled},
    {Id::Filter,          CheckBox,      { 53, 177, 244,  10},
        //: The German text reads "letzen Ausdruks" on purpose: keep that spelling.
        QT_TRANSLATE_NOOP("CCorvalinDlg", "&Show results of last calculation only (requires recalculation)")},
    {Id::Save,            IconButton,    {  7, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Save")},
    {Id::Open,            IconButton,    { 27, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Open")},
    {Id::Cancel,          Button,        {247, 200,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Close"), Hidden},
    {Id::None,            Rule,          {  7, 193, 306,   1}},
    {Id::Out,             IconButton,    {298, 199,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Out")},
    {Id::Info,            IconButton,    { 47, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Info")},
};
// clang-format on

const DialogTemplate Template{"CCorvalinDlg", QT_TRANSLATE_NOOP("CCorvalinDlg", "Korvel"),
                              CCorvalinDlg::TemplateWidth, CCorvalinDlg::TemplateHeight,
                              // The font the placements were drawn for; where it is
                              // missing, the nearest sans serif stands in, and the units are its.
                              "Microsoft Sans Serif", 10, true, Controls};

// The tips, in the order they are registered.
const struct {
    Id id;
    const char *text;
} Tips[] = {
    {Id::Expression, QT_TRANSLATE_NOOP("CCorvalinDlg", "Enter the expression to be calculated")},
    {Id::Copy,
     QT_TRANSLATE_NOOP("CCorvalinDlg",
                       "Copy the result to the clipboard. Shift: expression plus result")},
    {Id::CopyDerivation,
     QT_TRANSLATE_NOOP("CCorvalinDlg", "Copy the formula to the expression control")},
    {Id::Delete, QT_TRANSLATE_NOOP("CCorvalinDlg", "Delete the selected memory")},
    {Id::Calculate, QT_TRANSLATE_NOOP("CCorvalinDlg", "Calculate, evaluate the expression")},
    {Id::ClearHistory, QT_TRANSLATE_NOOP("CCorvalinDlg", "Clear expression history")},
    {Id::Cancel, QT_TRANSLATE_NOOP("CCorvalinDlg", "Close the calculator")},
    {Id::MemoryList,
     QT_TRANSLATE_NOOP(
         "CCorvalinDlg",
         "All existing memory values. Double click to copy to expression edit control")},
    //: "en" where "and" is meant: keep the text as it is.
    {Id::Open, QT_TRANSLATE_NOOP("CCorvalinDlg", "Read history en memories from a file")},
    //: "en" where "and" is meant: keep the text as it is.
    {Id::Save, QT_TRANSLATE_NOOP("CCorvalinDlg", "Save all history en memories in a file")},
    {Id::Info, QT_TRANSLATE_NOOP("CCorvalinDlg", "Show manual")},
    //: Spelled "programm" on purpose: keep the text as it is.
    {Id::Out, QT_TRANSLATE_NOOP("CCorvalinDlg", "Exit programm")},
};

const struct {
    Id id;
    const char *file;
} ButtonIcons[] = {
    {Id::Copy, ":/icons/copy.svg"},
    {Id::Delete, ":/icons/delete.svg"},
    {Id::CopyDerivation, ":/icons/derivation.svg"},
    {Id::Save, ":/icons/save.svg"},
    {Id::Open, ":/icons/open.svg"},
    {Id::Info, ":/icons/info.svg"},
    {Id::Out, ":/icons/exit.svg"},
};

// Keys that press a button wherever the focus is; a greyed-out button ignores its key.
const std::pair<Id, QKeyCombination> ButtonKeys[] = {
    {Id::Info, Qt::Key_F1}, {Id::Save, Qt::CTRL | Qt::Key_S}, {Id::Open, Qt::CTRL | Qt::Key_O}};

constexpr QSize ButtonIconSize(16, 16);

// Widths of the memory list's columns in pixels: name, value, derivation.
constexpr int MemoryColumnWidths[] = {100, 100, 270};

} // namespace

CCorvalinDlg::CCorvalinDlg(Calculator &calculator, SettingsStore &store,
                           const DialogPlatform &platform, QWidget *parent)
    : TemplateDialog(Template, parent,
                     Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint)
    , m_calculator(calculator)
    , m_store(store)
    , m_platform(platform)
    , m_tips(new CToolTipCtrlBeter(this, "CCorvalinDlg"))
    , m_expression(control<QComboBox>(Id::Expression))
    , m_memoryList(control<QTreeView>(Id::MemoryList))
    , m_headings(new MemoryListHeadings(this))
{
    m_headings->setSourceModel(m_calculator.memoryList());
    setUpExpressionField();
    setUpMemoryList();
    connectMessageTable();
    new DialogKeys(this, m_memoryList, control<QPushButton>(Id::Delete));
    announceResults(m_calculator, control(Id::Result), m_expression->lineEdit());
}

void CCorvalinDlg::setUpExpressionField()
{
    // The core's history is the list: the combo box must neither add the typed text
    // itself nor complete it into an older entry that Enter would then calculate.
    m_expression->setInsertPolicy(QComboBox::NoInsert);
    m_expression->setModel(m_calculator.history());
    m_expression->setCompleter(nullptr);
    // A text read from a file is shown and saved whole, not cut at the line edit's default
    // limit of 32,767 units.
    m_expression->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    new EditTextKeeper(m_expression);
}

void CCorvalinDlg::setUpMemoryList()
{
    m_memoryList->setModel(m_headings);
    m_memoryList->setItemDelegate(new CutShortTipDelegate(m_memoryList));
    m_memoryList->setRootIsDecorated(false);
    m_memoryList->setUniformRowHeights(true);
    m_memoryList->setItemsExpandable(false);
    m_memoryList->setExpandsOnDoubleClick(false);
    m_memoryList->setAllColumnsShowFocus(true);
    m_memoryList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_memoryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_memoryList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_memoryList->header()->setStretchLastSection(false);
    m_memoryList->header()->setSectionsMovable(false);

    // The selection stays in sight while the user works in the expression field.
    QPalette palette = m_memoryList->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    m_memoryList->setPalette(palette);
}

// One connection per notification the dialog handles.
void CCorvalinDlg::connectMessageTable()
{
    Calculator *calculator = &m_calculator;
    connect(control<QPushButton>(Id::Copy), &QPushButton::clicked, this,
            [this] { CopyResult(m_calculator, m_platform.keyboard, m_platform.clipboard); });
    connect(control<QPushButton>(Id::Calculate), &QPushButton::clicked, this,
            [this] { m_calculator.calculate(m_expression->lineEdit()->text()); });
    connect(control<QPushButton>(Id::Cancel), &QPushButton::clicked, this,
            &CCorvalinDlg::closeCommand);
    connect(m_expression->lineEdit(), &QLineEdit::textEdited, calculator,
            &Calculator::ClearResultField);
    // Every change of the field's text, typed or set, is what a save writes.
    connect(m_expression, &QComboBox::editTextChanged, calculator, &Calculator::setExpressionText);
    connect(m_expression, &QComboBox::activated, calculator, &Calculator::ClearResultField);
    connect(control<QPushButton>(Id::ClearHistory), &QPushButton::clicked, calculator,
            &Calculator::clearHistory);
    connect(control<QPushButton>(Id::CopyDerivation), &QPushButton::clicked, this,
            &CCorvalinDlg::copySelectedDerivation);
    connect(m_memoryList, &QTreeView::doubleClicked, calculator,
            [calculator](const QModelIndex &index) {
                calculator->CopyDerivationToExpression(index.row());
            });
    connect(m_memoryList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CCorvalinDlg::updateMemoryButtons);
    // A rebuild drops the selection without telling the selection's listeners; the view's
    // own model says when.
    connect(m_memoryList->model(), &QAbstractItemModel::modelReset, this,
            &CCorvalinDlg::updateMemoryButtons);
    connect(control<QPushButton>(Id::Delete), &QPushButton::clicked, this,
            [this] { m_calculator.deleteMemories(selectedMemoryRows()); });
    connect(control<QPushButton>(Id::Save), &QPushButton::clicked, this,
            [this] { saveDataFile(m_calculator, m_platform.files); });
    connect(control<QPushButton>(Id::Open), &QPushButton::clicked, this,
            [this] { openDataFile(m_calculator, m_platform.files); });
    connect(control<QPushButton>(Id::Info), &QPushButton::clicked, this,
            [this] { Manual(m_platform.programPath).OpenManual(m_platform.documents); });
    connect(control<QCheckBox>(Id::Filter), &QCheckBox::clicked, calculator,
            &Calculator::setFilter);
    connect(control<QPushButton>(Id::Out), &QPushButton::clicked, this,
            &CCorvalinDlg::closeCommand);
    for (const auto &[id, key] : ButtonKeys)
        connect(new QShortcut(key, this), &QShortcut::activated, control<QPushButton>(id),
                &QPushButton::click);

    connect(calculator, &Calculator::resultFieldChanged, control<QLineEdit>(Id::Result),
            &QLineEdit::setText);
    connect(calculator, &Calculator::expressionFieldSet, this, &CCorvalinDlg::showExpression);
}

void CCorvalinDlg::OnInitDialog()
{
    addAboutItem(this);
    setWindowIcon(programIcon());
    for (const auto &[id, text] : Tips)
        m_tips->AddControlTip(control(id), text);
    setButtonIcons();
    // The widths belong to the view and survive every rebuild of the rows.
    EnsureMemoryColumns();
    startUp(m_store, m_calculator);
    control(Id::Info)->setEnabled(Manual(m_platform.programPath).ManualExists());
}

void CCorvalinDlg::closeCommand()
{
    if (m_closed)
        return;
    m_closed = true;
    emit aboutToClose();
    closeDown(m_store, m_calculator);
    QDialog::reject();
}

void CCorvalinDlg::reject()
{
    closeCommand();
}

void CCorvalinDlg::closeEvent(QCloseEvent *event)
{
    // The close box and Alt+F4 end the dialog only through the close command; a dialog
    // that has already ended just lets its window go.
    if (isVisible())
        closeCommand();
    event->setAccepted(!isVisible());
}

void CCorvalinDlg::changeEvent(QEvent *event)
{
    TemplateDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        m_headings->retranslate();
        m_tips->retranslate();
    }
}

void CCorvalinDlg::setButtonIcons()
{
    for (const auto &[id, file] : ButtonIcons) {
        if (auto *button = control<QPushButton>(id)) {
            button->setIcon(SvgIconEngine::icon(QString::fromLatin1(file)));
            button->setIconSize(ButtonIconSize);
        }
    }
}

void CCorvalinDlg::EnsureMemoryColumns()
{
    for (int column = 0; column < int(std::size(MemoryColumnWidths)); ++column)
        m_memoryList->header()->resizeSection(column, MemoryColumnWidths[column]);
}

void CCorvalinDlg::showExpression(const QString &text, EditSelection selection)
{
    // The calculator holds the text already: the field only shows it, and tells nothing
    // back. The current item follows the text, so that the arrow keys walk the history on
    // from the entry shown.
    const QSignalBlocker quiet(m_expression);
    m_expression->setCurrentIndex(
        m_expression->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    QLineEdit *edit = m_expression->lineEdit();
    edit->setText(text);
    m_expression->setFocus(Qt::OtherFocusReason);
    if (selection == EditSelection::All)
        edit->selectAll();
    else
        edit->setCursorPosition(int(text.size()));
}

QList<int> CCorvalinDlg::selectedMemoryRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_memoryList->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CCorvalinDlg::updateMemoryButtons()
{
    const MemoryButtons enabled = UpdateMemoryButtons(int(selectedMemoryRows().size()));
    control(Id::CopyDerivation)->setEnabled(enabled.copyDerivation);
    control(Id::Delete)->setEnabled(enabled.remove);
}

void CCorvalinDlg::copySelectedDerivation()
{
    const QList<int> rows = selectedMemoryRows();
    m_calculator.CopyDerivationToExpression(rows.isEmpty() ? -1 : rows.first());
}
