#include "ui/ccorvalindlg.h"

#include "core/engine.h"
#include "persistence/settingsfile.h"
#include "persistence/settingsstore.h"
#include "ui/dialogtemplate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <iterator>

enum class ControlKind {
    Rule,
    Label,
    ComboBox,
    ReadOnlyEdit,
    Button,
    DefaultButton,
    IconButton,
    CheckBox,
    ListView
};
enum class ControlState {
    Normal,
    Disabled,
    Hidden
};

struct TemplateEntry {
    CCorvalinDlg::ControlId id;
    ControlKind kind;
    DialogRect rect;
    /// Source text for the translation; for icon buttons the window text, which is not drawn.
    const char *text = nullptr;
    ControlState state = ControlState::Normal;
    /// A rectangle the translation may move or widen, as "x, y, width, height"; the
    /// source text is the rectangle of `rect`.
    const char *localRect = nullptr;
};

namespace {

constexpr char Context[] = "CCorvalinDlg";

using Id = CCorvalinDlg::ControlId;
using enum ControlKind;
using enum ControlState;

// The controls in template order, which is also the tab order. For the combo box the
// height is that of the dropped-down list.
// clang-format off
const TemplateEntry Template[] = {
//   id                   kind            x    y    w    h    text
    {Id::None,            Rule,          {  7,   7, 306,   1}},
    {Id::ExpressionLabel, Label,         {  7,  16,  43,   8}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Expresssion")},
    {Id::Expression,      ComboBox,      { 53,  15, 260, 152}},
    {Id::ResultLabel,     Label,         {  7,  31,  43,   8}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Result")},
    {Id::Result,          ReadOnlyEdit,  { 53,  30, 244,  12}},
    {Id::Copy,            IconButton,    {298,  29,  15,  15}},
    {Id::Calculate,       DefaultButton, { 53,  48,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Calculate")},
    {Id::ClearHistory,    Button,        {263,  48,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Clear history"), Normal,
        //: Place of the Clear history button: x, y, width, height in dialog units.
        //: Move it left and widen it when the button's text needs more room.
        QT_TRANSLATE_NOOP("CCorvalinDlg", "263, 48, 50, 14")},
    {Id::None,            Rule,          {  7,  68, 306,   1}},
    {Id::MemoriesLabel,   Label,         {  7,  76,  43,   8}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Memories")},
    {Id::MemoryList,      ListView,      { 53,  75, 244,  96}},
    {Id::CopyDerivation,  IconButton,    {298,  75,  15,  15}, nullptr, Disabled},
    {Id::Delete,          IconButton,    {298, 156,  15,  15}, nullptr, Disabled},
    {Id::Filter,          CheckBox,      { 53, 177, 244,  10}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Show results of last calculation only (requires recalculation)")},
    {Id::Save,            IconButton,    {  7, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Save")},
    {Id::Open,            IconButton,    { 27, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Open")},
    {Id::Cancel,          Button,        {247, 200,  50,  14}, QT_TRANSLATE_NOOP("CCorvalinDlg", "&Close"), Hidden},
    {Id::None,            Rule,          {  7, 193, 306,   1}},
    {Id::Out,             IconButton,    {298, 199,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Out")},
    {Id::Info,            IconButton,    { 47, 200,  15,  15}, QT_TRANSLATE_NOOP("CCorvalinDlg", "Info")},
};
// clang-format on

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

constexpr char ProgramIcon[] = ":/icons/korvel.svg";
constexpr QSize ButtonIconSize(16, 16);

// Widths of the memory list's columns in pixels: name, value, derivation.
constexpr int MemoryColumnWidths[] = {100, 100, 270};

QString translated(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

DialogRect rectOf(const TemplateEntry &entry)
{
    if (entry.localRect) {
        if (const auto local = parseDialogRect(translated(entry.localRect)))
            return *local;
    }
    return entry.rect;
}

} // namespace

CCorvalinDlg::CCorvalinDlg(Engine &engine, Messages &messages, SettingsStore &store,
                           QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_calculator(engine, messages)
    , m_store(store)
{
    QFont dialogFont(QStringLiteral("Microsoft Sans Serif"), 10);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);
    createControls();
    setUpExpressionField();
    setUpMemoryList();
    connectMessageTable();
    keepExpressionTextOnHistoryChanges();
    retranslate();
}

CCorvalinDlg::~CCorvalinDlg()
{
    // The views go before the models they show, which are the calculator's.
    for (auto &[entry, widget] : m_controls)
        delete widget;
}

void CCorvalinDlg::createControls()
{
    QWidget *focusBefore = nullptr;
    QLabel *waitingLabel = nullptr;
    for (const TemplateEntry &entry : Template) {
        QWidget *widget = createControl(entry);
        m_controls.emplace_back(&entry, widget);
        if (entry.id == Id::None)
            m_separators.push_back(widget);
        else
            m_byId[entry.id] = widget;

        if (widget->focusPolicy() & Qt::TabFocus) {
            if (focusBefore)
                setTabOrder(focusBefore, widget);
            focusBefore = widget;
            // A label's mnemonic leads to the next control that takes the focus.
            if (waitingLabel)
                waitingLabel->setBuddy(widget);
            waitingLabel = nullptr;
        }
        if (auto *label = qobject_cast<QLabel *>(widget))
            waitingLabel = label;
    }

    m_expression = qobject_cast<QComboBox *>(control(Id::Expression));
    m_result = qobject_cast<QLineEdit *>(control(Id::Result));
    m_memoryList = qobject_cast<QTreeView *>(control(Id::MemoryList));
    m_calculate = qobject_cast<QPushButton *>(control(Id::Calculate));
    m_clearHistory = qobject_cast<QPushButton *>(control(Id::ClearHistory));
    m_copyDerivation = qobject_cast<QPushButton *>(control(Id::CopyDerivation));
    m_delete = qobject_cast<QPushButton *>(control(Id::Delete));
    m_filter = qobject_cast<QCheckBox *>(control(Id::Filter));
    m_out = qobject_cast<QPushButton *>(control(Id::Out));
    m_cancel = qobject_cast<QPushButton *>(control(Id::Cancel));
}

QWidget *CCorvalinDlg::createControl(const TemplateEntry &entry)
{
    QWidget *widget = nullptr;
    switch (entry.kind) {
    case Rule: {
        auto *rule = new QFrame(this);
        rule->setFrameStyle(QFrame::Box | QFrame::Plain);
        widget = rule;
        break;
    }
    case Label:
        widget = new QLabel(this);
        break;
    case ComboBox:
        widget = new QComboBox(this);
        break;
    case ReadOnlyEdit: {
        auto *edit = new QLineEdit(this);
        edit->setReadOnly(true);
        widget = edit;
        break;
    }
    case Button:
    case DefaultButton:
    case IconButton: {
        auto *button = new QPushButton(this);
        button->setDefault(entry.kind == DefaultButton);
        widget = button;
        break;
    }
    case CheckBox:
        widget = new QCheckBox(this);
        break;
    case ListView:
        widget = new QTreeView(this);
        break;
    }
    if (entry.state == Disabled)
        widget->setEnabled(false);
    if (entry.state == Hidden)
        widget->hide();
    return widget;
}

void CCorvalinDlg::setUpExpressionField()
{
    m_expression->setEditable(true);
    // The core's history is the list: the combo box must neither add the typed text
    // itself nor complete it into an older entry that Enter would then calculate.
    m_expression->setInsertPolicy(QComboBox::NoInsert);
    m_expression->setModel(m_calculator.history());
    m_expression->setCompleter(nullptr);
}

void CCorvalinDlg::setUpMemoryList()
{
    m_memoryList->setModel(m_calculator.memoryList());
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

// One connection per notification the dialog handles. Copy, Save, Open and Info have no
// command yet.
void CCorvalinDlg::connectMessageTable()
{
    connect(m_calculate, &QPushButton::clicked, this, &CCorvalinDlg::calculate);
    connect(m_cancel, &QPushButton::clicked, this, &CCorvalinDlg::closeCommand);
    connect(m_expression->lineEdit(), &QLineEdit::textEdited, &m_calculator,
            &Calculator::clearResultField);
    connect(m_expression, &QComboBox::activated, &m_calculator, &Calculator::clearResultField);
    connect(m_clearHistory, &QPushButton::clicked, &m_calculator, &Calculator::clearHistory);
    connect(m_copyDerivation, &QPushButton::clicked, this, &CCorvalinDlg::copySelectedDerivation);
    connect(m_memoryList, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        m_calculator.CopyDerivationToExpression(index.row());
    });
    connect(m_memoryList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CCorvalinDlg::updateMemoryButtons);
    // A rebuild drops the selection without telling the selection's listeners.
    connect(m_calculator.memoryList(), &QAbstractItemModel::modelReset, this,
            &CCorvalinDlg::updateMemoryButtons);
    connect(m_delete, &QPushButton::clicked, this, &CCorvalinDlg::deleteSelectedMemories);
    connect(m_filter, &QCheckBox::clicked, &m_calculator, &Calculator::setFilter);
    connect(m_out, &QPushButton::clicked, this, &CCorvalinDlg::closeCommand);

    connect(&m_calculator, &Calculator::resultFieldChanged, m_result, &QLineEdit::setText);
    connect(&m_calculator, &Calculator::expressionFieldSet, this, &CCorvalinDlg::showExpression);
}

// QComboBox rewrites its edit text when rows around its current item come or go and
// empties it on a reset, but the text being typed is the user's: only the calculator's
// expressionFieldSet changes it. These connections run after the combo box's own, which
// were made when it took the model.
void CCorvalinDlg::keepExpressionTextOnHistoryChanges()
{
    HistoryModel *history = m_calculator.history();
    const auto keep = [this] {
        const QLineEdit *edit = m_expression->lineEdit();
        m_keptText = edit->text();
        m_keptCursor = edit->cursorPosition();
        m_keptSelectionStart = edit->selectionStart();
        m_keptSelectionLength = int(edit->selectedText().size());
    };
    const auto restore = [this] {
        QLineEdit *edit = m_expression->lineEdit();
        if (edit->text() == m_keptText)
            return;
        edit->setText(m_keptText);
        if (m_keptSelectionStart >= 0)
            edit->setSelection(m_keptSelectionStart, m_keptSelectionLength);
        else
            edit->setCursorPosition(m_keptCursor);
    };
    connect(history, &QAbstractItemModel::rowsAboutToBeInserted, this, keep);
    connect(history, &QAbstractItemModel::rowsAboutToBeRemoved, this, keep);
    connect(history, &QAbstractItemModel::modelAboutToBeReset, this, keep);
    connect(history, &QAbstractItemModel::rowsInserted, this, restore);
    connect(history, &QAbstractItemModel::rowsRemoved, this, restore);
    connect(history, &QAbstractItemModel::modelReset, this, restore);
}

void CCorvalinDlg::OnInitDialog()
{
    setWindowIcon(QIcon(QString::fromLatin1(ProgramIcon)));
    setLabelFont();
    setButtonIcons();
    Engine &engine = m_calculator.engine();
    engine.StartEngine();
    // The history goes in before the text, so the text is not replaced by an entry.
    const QString restoredText = RestoreHistory(m_store, *m_calculator.history());
    RestoreMemories(m_store, engine, m_calculator.messages());
    engine.PrimeParser();
    setMemoryColumns();
    m_calculator.refreshAndReport();
    // The dialog opens ready for typing over the restored expression text.
    showExpression(restoredText, EditSelection::All);
}

QWidget *CCorvalinDlg::control(ControlId id) const
{
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? nullptr : found->second;
}

void CCorvalinDlg::closeCommand()
{
    if (m_closed)
        return;
    m_closed = true;
    SaveToSettings(m_store, m_expression->currentText(), *m_calculator.history(),
                   m_calculator.engine());
    m_store.sync();
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
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void CCorvalinDlg::retranslate()
{
    setWindowTitle(tr("Korvel"));
    for (const auto &[entry, widget] : m_controls) {
        if (!entry->text)
            continue;
        const QString text = translated(entry->text);
        if (entry->kind == IconButton)
            widget->setAccessibleName(text);
        else if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(text);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(text);
    }
    m_calculator.memoryList()->retranslate();
    placeControls();
}

// Places every control from its rectangle in dialog units. The units follow the dialog
// font, but a substitute for the font the layout was designed with may write wider: the
// units then grow until every text fits, so that the whole dialog keeps its proportions
// instead of clipping its texts.
void CCorvalinDlg::placeControls()
{
    DialogUnits units = DialogUnits::forFont(font());
    for (const auto &[entry, widget] : m_controls) {
        if (!widget->isHidden())
            units = units.fittedTo(rectOf(*entry), requiredTextSize(widget));
    }

    for (const auto &[entry, widget] : m_controls) {
        QRect geometry = units.toPixels(rectOf(*entry));
        if (widget == m_expression) {
            // The template's height is that of the open list; the closed box is as high
            // as the style draws it.
            const int closedHeight = m_expression->sizeHint().height();
            const int itemHeight = m_expression->fontMetrics().height() + 2;
            m_expression->setMaxVisibleItems(
                std::max(1, (geometry.height() - closedHeight) / itemHeight));
            geometry.setHeight(closedHeight);
        }
        widget->setGeometry(geometry);
    }
    resize(units.toPixelsX(TemplateWidth), units.toPixelsY(TemplateHeight));
}

void CCorvalinDlg::setLabelFont()
{
    // The labels stand out in double the weight of the dialog font.
    const QWidget *first = control(Id::ExpressionLabel);
    if (!first)
        return;
    QFont font = first->font();
    font.setWeight(QFont::Weight(std::min(2 * int(font.weight()), 1000)));
    for (const Id id : {Id::ExpressionLabel, Id::ResultLabel, Id::MemoriesLabel}) {
        if (QWidget *label = control(id))
            label->setFont(font);
    }
    placeControls();
}

void CCorvalinDlg::setButtonIcons()
{
    for (const auto &[id, file] : ButtonIcons) {
        if (auto *button = qobject_cast<QPushButton *>(control(id))) {
            button->setIcon(QIcon(QString::fromLatin1(file)));
            button->setIconSize(ButtonIconSize);
        }
    }
}

void CCorvalinDlg::setMemoryColumns()
{
    for (int column = 0; column < int(std::size(MemoryColumnWidths)); ++column)
        m_memoryList->header()->resizeSection(column, MemoryColumnWidths[column]);
}

void CCorvalinDlg::calculate()
{
    m_calculator.calculate(m_expression->lineEdit()->text());
}

void CCorvalinDlg::showExpression(const QString &text, EditSelection selection)
{
    // The current item follows the text, so that the arrow keys walk the history on
    // from the entry shown.
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
    const MemoryButtons enabled = Calculator::UpdateMemoryButtons(int(selectedMemoryRows().size()));
    m_copyDerivation->setEnabled(enabled.copyDerivation);
    m_delete->setEnabled(enabled.remove);
}

void CCorvalinDlg::copySelectedDerivation()
{
    const QList<int> rows = selectedMemoryRows();
    m_calculator.CopyDerivationToExpression(rows.isEmpty() ? -1 : rows.first());
}

void CCorvalinDlg::deleteSelectedMemories()
{
    m_calculator.deleteMemories(selectedMemoryRows());
}
