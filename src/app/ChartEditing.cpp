#include "app/ChartEditing.h"

#include "app/NavBar.h"
#include "canvas/view/FlowChartView.h"
#include "chart/ChartFile.h"
#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>

namespace {

// One chart edit on the undo stack.
class TChartCommand final : public QUndoCommand {
public:
    // `name` is the edit's name as the window speaks it.
    TChartCommand(TChart& chart, TChartEdit edit, const QString& name, bool alreadyDone)
        : QUndoCommand(name), m_chart(chart), m_edit(std::move(edit)), m_skipRedo(alreadyDone) {}

    void redo() override {
        // A dialog's edit is on the chart already when it is pushed.
        if (m_skipRedo) {
            m_skipRedo = false;
            return;
        }
        m_edit.Redo(m_chart);
    }
    void undo() override { m_edit.Undo(m_chart); }

private:
    TChart& m_chart;
    TChartEdit m_edit;
    bool m_skipRedo;
};

} // namespace

TChartEditing::TChartEditing(TChart& chart, TChartFile& file, TFlowChartView& view,
                             std::function<void(const QString&)> status, QObject* parent)
    : QObject(parent), m_chart(chart), m_file(file), m_view(view), m_status(std::move(status)),
      m_undo(new QUndoStack(this)) {
    m_undoAction = m_undo->createUndoAction(this, tr("&Undo"));
    m_undoAction->setObjectName("UndoAction");
    m_undoAction->setShortcuts(QKeySequence::Undo);
    m_redoAction = m_undo->createRedoAction(this, tr("&Redo"));
    m_redoAction->setObjectName("RedoAction");
    // "&Undo Insert Wait": the stack puts the edit's name after the word; the word with its
    // name as one sentence, so that a translation may order them as its language needs.
    connect(m_undo, &QUndoStack::undoTextChanged, this, [this](const QString& name) {
        m_undoAction->setText(name.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(name));
    });
    connect(m_undo, &QUndoStack::redoTextChanged, this, [this](const QString& name) {
        m_redoAction->setText(name.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(name));
    });
    // Ctrl+Y and Ctrl+Shift+Z both, whatever the platform's own choice.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key : {QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")})
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    m_redoAction->setShortcuts(redoKeys);

    auto makeAction = [this](const char* name, const QString& text, const QString& tip,
                             QList<QKeySequence> keys, void (TChartEditing::*slot)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setToolTip(tip);
        action->setStatusTip(tip);
        action->setShortcuts(keys);
        // Keys that mean something else in the program text act only on the canvas.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view.addAction(action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_cutAction =
        makeAction("CutAction", tr("Cu&t"), tr("Cut the selected blocks to the clipboard"),
                   QKeySequence::keyBindings(QKeySequence::Cut), &TChartEditing::cutSelection);
    m_copyAction =
        makeAction("CopyAction", tr("&Copy"), tr("Copy the selected blocks to the clipboard"),
                   QKeySequence::keyBindings(QKeySequence::Copy), &TChartEditing::copySelection);
    m_pasteAction = makeAction(
        "PasteAction", tr("&Paste"), tr("Paste blocks below the selected block or at the spot"),
        QKeySequence::keyBindings(QKeySequence::Paste), &TChartEditing::paste);
    m_duplicateAction = makeAction("DuplicateAction", tr("D&uplicate"),
                                   tr("Put a copy of the selected blocks below them"),
                                   {QKeySequence("Ctrl+D")}, &TChartEditing::duplicateSelection);
    m_deleteAction = makeAction("DeleteAction", tr("&Delete"), tr("Remove the selected blocks"),
                                {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)},
                                &TChartEditing::deleteSelection);
    m_selectAllAction = makeAction(
        "SelectAllAction", tr("Select &All Blocks"), tr("Select every block of the chart"),
        QKeySequence::keyBindings(QKeySequence::SelectAll), &TChartEditing::selectAllBlocks);
    m_editAction = new QAction(tr("&Edit..."), this);
    m_editAction->setObjectName("EditBlockAction");
    m_editAction->setToolTip(tr("Set the values of the selected block"));
    m_editAction->setStatusTip(m_editAction->toolTip());
    m_editAction->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_editAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_view.addAction(m_editAction);
    connect(m_editAction, &QAction::triggered, this, [this] {
        if (editSelectedBlock && selectionOf(m_chart).isBlocks() && selectionOf(m_chart).count == 1)
            editSelectedBlock();
    });

    connect(&m_view, &TFlowChartView::selectionChanged, this, &TChartEditing::updateActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TChartEditing::updateActions);
    installChartInput(m_chart, [this](int first, int count, int spot) {
        if (std::optional<TChartEdit> move = TChartEdit::Move(m_chart, first, count, spot))
            push(std::move(*move), tr("Move %1").arg(blocksWordAt(first, count)));
    });
    updateActions();
}

TChartEditing::~TChartEditing() {
    // The canvas outlives this: its hooks must not call back into it.
    TFlowChart& canvas = m_chart.Canvas();
    canvas.OnKeyDown = nullptr;
    canvas.OnExtendSelection = nullptr;
    canvas.OnDragOver = nullptr;
    canvas.OnDrop = nullptr;
}

void TChartEditing::status(const QString& message) const {
    if (m_status)
        m_status(message);
}

void TChartEditing::updateActions() {
    const TChartSelection selection = selectionOf(m_chart);
    const bool blocks = selection.isBlocks();
    m_cutAction->setEnabled(blocks);
    m_copyAction->setEnabled(blocks);
    m_duplicateAction->setEnabled(blocks);
    m_deleteAction->setEnabled(blocks);
    m_editAction->setEnabled(blocks && selection.count == 1);
    m_selectAllAction->setEnabled(m_chart.BlockCount() > 0);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    m_pasteAction->setEnabled(data && (data->hasFormat(MimeType) || data->hasText()));
}

void TChartEditing::push(TChartEdit edit, const QString& name, bool alreadyDone) {
    m_undo->push(new TChartCommand(m_chart, std::move(edit), name, alreadyDone));
    updateActions();
}

QString TChartEditing::blocksWord(const std::vector<TBlockCopy>& blocks) {
    // One block goes by its caption, the block's own word on the canvas.
    if (blocks.size() == 1)
        return platform::toQString(std::string(BlockInfo(blocks.front().type).caption));
    return tr("%1 blocks").arg(blocks.size());
}

QString TChartEditing::blocksWordAt(int first, int count) const {
    if (count == 1)
        if (const TFcObject* block = m_chart.BlockAt(first))
            if (const std::optional<BlockType> type = BlockTypeOfKind(block->Kind))
                return platform::toQString(std::string(BlockInfo(*type).caption));
    return tr("%1 blocks").arg(count);
}

void TChartEditing::resetHistory() {
    m_undo->clear();
    m_undo->setClean();
    updateActions();
}

void TChartEditing::markSaved() {
    m_undo->setClean();
}

void TChartEditing::insertBlock(BlockType type) {
    int spot = insertionSpot(m_chart);
    if (spot < 0)
        spot = m_chart.BlockCount();
    const std::vector<TBlockCopy> blocks{NewBlockCopy(type)};
    const QString name = tr("Insert %1").arg(blocksWord(blocks));
    push(TChartEdit::Insert(m_chart, "Insert " + TChartEdit::BlocksWord(blocks), spot, blocks),
         name);
}

void TChartEditing::deleteSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (selection.isBlocks())
        push(TChartEdit::Remove(m_chart, "Delete", selection.first, selection.count),
             tr("Delete %1").arg(blocksWordAt(selection.first, selection.count)));
}

void TChartEditing::copySelection() {
    if (const std::vector<TBlockCopy> blocks = selectionToClipboard(); !blocks.empty())
        status(tr("Copied %1").arg(blocksWord(blocks)));
}

void TChartEditing::cutSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (const std::vector<TBlockCopy> blocks = selectionToClipboard(); !blocks.empty())
        push(TChartEdit::Remove(m_chart, "Cut", selection.first, selection.count),
             tr("Cut %1").arg(blocksWord(blocks)));
}

std::vector<TBlockCopy> TChartEditing::selectionToClipboard() {
    const TChartSelection selection = selectionOf(m_chart);
    if (!selection.isBlocks())
        return {};
    std::vector<TBlockCopy> blocks = m_chart.CopyBlocks(selection.first, selection.count);
    QApplication::clipboard()->setMimeData(mimeDataOf(blocks));
    return blocks;
}

void TChartEditing::paste() {
    const int spot = insertionSpot(m_chart);
    pasteAt(spot < 0 ? m_chart.BlockCount() : spot);
}

void TChartEditing::pasteAt(int spot) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) {
        status(tr("Nothing pasted: the clipboard is empty."));
        return;
    }
    files::TResult<std::vector<TBlockCopy>> blocks = blocksOf(*data);
    if (!blocks) {
        status(tr("Nothing pasted: %1").arg(platform::Translated(blocks.errorMessage())));
        return;
    }
    const QString name = tr("Paste %1").arg(blocksWord(*blocks));
    push(TChartEdit::Insert(m_chart, "Paste " + TChartEdit::BlocksWord(*blocks), spot,
                            std::move(*blocks)),
         name);
}

void TChartEditing::duplicateSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (!selection.isBlocks())
        return;
    std::vector<TBlockCopy> blocks = m_chart.CopyBlocks(selection.first, selection.count);
    const QString name = tr("Duplicate %1").arg(blocksWord(blocks));
    push(TChartEdit::Insert(m_chart, "Duplicate " + TChartEdit::BlocksWord(blocks),
                            selection.last(), std::move(blocks)),
         name);
}

void TChartEditing::selectAllBlocks() {
    if (m_chart.BlockCount() > 0)
        selectPositions(m_chart, TChartSelection::Blocks(1, m_chart.BlockCount()));
}

void TChartEditing::editInPlace(const std::function<void()>& edit, BlockType type) {
    m_chart.StartRecording();
    edit();
    std::vector<TBlockChange> changes = m_chart.StopRecording();
    if (!changes.empty())
        push(TChartEdit::Changes(m_chart, "Edit " + std::string(BlockInfo(type).caption),
                                 std::move(changes)),
             tr("Edit %1").arg(platform::toQString(std::string(BlockInfo(type).caption))), true);
}

void TChartEditing::removeBlock(TFcObject* block) {
    const int number = m_chart.BlockNumberOf(block);
    if (number < 1)
        return;
    // Whatever the dialog changed before DELETE goes with the block.
    m_chart.StopRecording();
    push(TChartEdit::Remove(m_chart, "Delete", number, 1),
         tr("Delete %1").arg(blocksWordAt(number, 1)));
}

files::TResult<std::vector<TBlockCopy>> TChartEditing::blocksOf(const QMimeData& data) const {
    QByteArray text;
    if (data.hasFormat(MimeType))
        text = data.data(MimeType);
    else if (data.hasText())
        text = data.text().toUtf8();
    else
        return files::Error(platform::fromQString(tr("the clipboard holds no text.")));
    files::TResult<std::vector<TBlockCopy>> blocks = m_file.BlocksOfText(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!blocks)
        return files::Error(
            platform::fromQString(tr("the clipboard holds no chart blocks (%1).")
                                      .arg(platform::Translated(blocks.errorMessage()))));
    if (blocks->empty())
        return files::Error(platform::fromQString(tr("the clipboard holds no chart blocks.")));
    return blocks;
}

QMimeData* TChartEditing::mimeDataOf(const std::vector<TBlockCopy>& blocks) const {
    const std::string text = m_file.TextOfBlocks(blocks);
    auto* data = new QMimeData;
    data->setData(MimeType, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    data->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return data;
}

QMenu* TChartEditing::contextMenuAt(QPoint viewportPoint, QWidget* parent) {
    TFlowChart& canvas = m_chart.Canvas();
    const TFcHit hit = canvas.HitTest(m_view.canvasPoint(viewportPoint));
    TFcObject* object = hit.object;
    // What is under the pointer is what the menu acts on (a block inside the run keeps the run).
    if (object && !object->Selected() &&
        (m_chart.BlockNumberOf(object) > 0 || m_chart.SpotNumberOf(object) >= 0))
        canvas.SelectObject(object);
    const TChartSelection selection = selectionOf(m_chart);
    auto* menu = new QMenu(parent);
    menu->setObjectName("ChartContextMenu");
    if (selection.isBlocks()) {
        menu->addAction(m_editAction);
        menu->addSeparator();
        menu->addAction(m_cutAction);
        menu->addAction(m_copyAction);
        QAction* above = menu->addAction(tr("Paste &Above"));
        above->setObjectName("PasteAboveAction");
        above->setEnabled(m_pasteAction->isEnabled());
        connect(above, &QAction::triggered, this,
                [this, spot = selection.first - 1] { pasteAt(spot); });
        QAction* below = menu->addAction(tr("Paste &Below"));
        below->setObjectName("PasteBelowAction");
        below->setEnabled(m_pasteAction->isEnabled());
        connect(below, &QAction::triggered, this,
                [this, spot = selection.last()] { pasteAt(spot); });
        menu->addAction(m_duplicateAction);
        menu->addSeparator();
        menu->addAction(m_deleteAction);
    } else if (selection.isSpot()) {
        QAction* here = menu->addAction(tr("&Paste Here"));
        here->setObjectName("PasteHereAction");
        here->setEnabled(m_pasteAction->isEnabled());
        connect(here, &QAction::triggered, this, [this, spot = selection.first] { pasteAt(spot); });
        menu->addSeparator();
        for (const TPaletteGroup& group : PaletteGroups()) {
            QMenu* sub = menu->addMenu(PaletteGroupCaption(group));
            for (const int number : group.items) {
                const std::optional<BlockType> type = BlockTypeFrom(number);
                if (!type)
                    continue;
                QAction* insert =
                    sub->addAction(platform::toQString(std::string(BlockInfo(*type).caption)));
                connect(insert, &QAction::triggered, this,
                        [this, type = *type] { insertBlock(type); });
            }
        }
    }
    return menu;
}
