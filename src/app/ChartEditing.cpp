#include "app/ChartEditing.h"

#include "canvas/view/FlowChartView.h"
#include "chart/ChartFile.h"
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
    TChartCommand(TChart& chart, TChartEdit edit, bool alreadyDone)
        : QUndoCommand(platform::toQString(edit.Name())), m_chart(chart), m_edit(std::move(edit)),
          m_skipRedo(alreadyDone) {}

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

QString blocksWord(const std::vector<TBlockCopy>& blocks) {
    return platform::toQString(TChartEdit::BlocksWord(blocks));
}

} // namespace

TChartEditing::TChartEditing(TChart& chart, TChartFile& file, TFlowChartView& view,
                             std::function<void(const QString&)> status, QObject* parent)
    : QObject(parent), m_chart(chart), m_file(file), m_view(view), m_status(std::move(status)),
      m_undo(new QUndoStack(this)) {
    m_undoAction = m_undo->createUndoAction(this, "&Undo");
    m_undoAction->setObjectName("UndoAction");
    m_undoAction->setShortcuts(QKeySequence::Undo);
    m_redoAction = m_undo->createRedoAction(this, "&Redo");
    m_redoAction->setObjectName("RedoAction");
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
        makeAction("CutAction", "Cu&t", "Cut the selected blocks to the clipboard",
                   QKeySequence::keyBindings(QKeySequence::Cut), &TChartEditing::cutSelection);
    m_copyAction =
        makeAction("CopyAction", "&Copy", "Copy the selected blocks to the clipboard",
                   QKeySequence::keyBindings(QKeySequence::Copy), &TChartEditing::copySelection);
    m_pasteAction =
        makeAction("PasteAction", "&Paste", "Paste blocks below the selected block or at the spot",
                   QKeySequence::keyBindings(QKeySequence::Paste), &TChartEditing::paste);
    m_duplicateAction =
        makeAction("DuplicateAction", "D&uplicate", "Put a copy of the selected blocks below them",
                   {QKeySequence("Ctrl+D")}, &TChartEditing::duplicateSelection);
    m_deleteAction = makeAction("DeleteAction", "&Delete", "Remove the selected blocks",
                                {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)},
                                &TChartEditing::deleteSelection);
    m_selectAllAction = makeAction(
        "SelectAllAction", "Select &All Blocks", "Select every block of the chart",
        QKeySequence::keyBindings(QKeySequence::SelectAll), &TChartEditing::selectAllBlocks);
    m_editAction = new QAction("&Edit...", this);
    m_editAction->setObjectName("EditBlockAction");
    m_editAction->setToolTip("Set the values of the selected block");
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
            push(std::move(*move));
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

void TChartEditing::push(TChartEdit edit, bool alreadyDone) {
    m_undo->push(new TChartCommand(m_chart, std::move(edit), alreadyDone));
    updateActions();
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
    push(TChartEdit::Insert(m_chart, "Insert " + TChartEdit::BlocksWord(blocks), spot, blocks));
}

void TChartEditing::deleteSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (selection.isBlocks())
        push(TChartEdit::Remove(m_chart, "Delete", selection.first, selection.count));
}

void TChartEditing::copySelection() {
    if (const std::vector<TBlockCopy> blocks = selectionToClipboard(); !blocks.empty())
        status("Copied " + blocksWord(blocks));
}

void TChartEditing::cutSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (!selectionToClipboard().empty())
        push(TChartEdit::Remove(m_chart, "Cut", selection.first, selection.count));
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
        status("Nothing pasted: the clipboard is empty.");
        return;
    }
    files::TResult<std::vector<TBlockCopy>> blocks = blocksOf(*data);
    if (!blocks) {
        status("Nothing pasted: " + platform::toQString(blocks.error()));
        return;
    }
    std::string name = "Paste " + TChartEdit::BlocksWord(*blocks);
    push(TChartEdit::Insert(m_chart, std::move(name), spot, std::move(*blocks)));
}

void TChartEditing::duplicateSelection() {
    const TChartSelection selection = selectionOf(m_chart);
    if (!selection.isBlocks())
        return;
    std::vector<TBlockCopy> blocks = m_chart.CopyBlocks(selection.first, selection.count);
    const std::string name = "Duplicate " + TChartEdit::BlocksWord(blocks);
    push(TChartEdit::Insert(m_chart, name, selection.last(), std::move(blocks)));
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
             true);
}

void TChartEditing::removeBlock(TFcObject* block) {
    const int number = m_chart.BlockNumberOf(block);
    if (number < 1)
        return;
    // Whatever the dialog changed before DELETE goes with the block.
    m_chart.StopRecording();
    push(TChartEdit::Remove(m_chart, "Delete", number, 1));
}

files::TResult<std::vector<TBlockCopy>> TChartEditing::blocksOf(const QMimeData& data) const {
    QByteArray text;
    if (data.hasFormat(MimeType))
        text = data.data(MimeType);
    else if (data.hasText())
        text = data.text().toUtf8();
    else
        return files::Error("the clipboard holds no text.");
    files::TResult<std::vector<TBlockCopy>> blocks = m_file.BlocksOfText(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!blocks)
        return files::Error("the clipboard holds no chart blocks (" + blocks.error() + ").");
    if (blocks->empty())
        return files::Error("the clipboard holds no chart blocks.");
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
        QAction* above = menu->addAction("Paste &Above");
        above->setObjectName("PasteAboveAction");
        above->setEnabled(m_pasteAction->isEnabled());
        connect(above, &QAction::triggered, this,
                [this, spot = selection.first - 1] { pasteAt(spot); });
        QAction* below = menu->addAction("Paste &Below");
        below->setObjectName("PasteBelowAction");
        below->setEnabled(m_pasteAction->isEnabled());
        connect(below, &QAction::triggered, this,
                [this, spot = selection.last()] { pasteAt(spot); });
        menu->addAction(m_duplicateAction);
        menu->addSeparator();
        menu->addAction(m_deleteAction);
    } else if (selection.isSpot()) {
        QAction* here = menu->addAction("&Paste Here");
        here->setObjectName("PasteHereAction");
        here->setEnabled(m_pasteAction->isEnabled());
        connect(here, &QAction::triggered, this, [this, spot = selection.first] { pasteAt(spot); });
        menu->addSeparator();
        for (const TPaletteGroup& group : PaletteGroups()) {
            QMenu* sub = menu->addMenu(platform::toQString(std::string(group.caption)));
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
