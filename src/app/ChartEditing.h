// The main window's editing of the chart: the undo stack with the chart's edits on it, and the
// commands that make edits (insert from the palette, delete, cut, copy, paste, duplicate, a
// drag that reorders, a block's dialog) as actions with their shortcuts and the canvas's
// right-click menu. The edits themselves and their inverses are the chart's (TChartEdit); this
// only carries them out on Qt's undo stack and the clipboard.
#pragma once

#include "chart/ChartEdits.h"
#include "files/Result.h"
#include "records/BlockCatalog.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMimeData;
class QUndoStack;
class QWidget;
class TChartFile;
class TFlowChartView;

class TChartEditing : public QObject {
    Q_OBJECT

public:
    // The MIME type of blocks on the clipboard: the text of a chart file holding just them.
    static constexpr const char* MimeType = "application/x-zolvane-flowchart-blocks";

    // `status` shows a short message in the window's status line.
    TChartEditing(TChart& chart, TChartFile& file, TFlowChartView& view,
                  std::function<void(const QString&)> status, QObject* parent = nullptr);
    ~TChartEditing() override;

    QUndoStack& undoStack() const { return *m_undo; }
    // The actions; the window puts them in its menu. Those that act on the selection have
    // shortcuts while the canvas has the focus; undo and redo throughout the window (the
    // program text keeps its own).
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    QAction* cutAction() const { return m_cutAction; }
    QAction* copyAction() const { return m_copyAction; }
    QAction* pasteAction() const { return m_pasteAction; }
    QAction* duplicateAction() const { return m_duplicateAction; }
    QAction* deleteAction() const { return m_deleteAction; }
    QAction* selectAllAction() const { return m_selectAllAction; }
    QAction* editAction() const { return m_editAction; }

    // What opens a block's dialog (the window's double-click handler).
    std::function<void()> editSelectedBlock;

    // ---- commands ----
    // A new block of that type below the selected block (the last of a run), or at the selected
    // spot, or at the end when nothing is selected; the new block is selected.
    void insertBlock(BlockType type);
    void deleteSelection();
    void cutSelection();
    void copySelection();
    // Pastes below the selection (at a selected spot, below a selected block, at the end).
    void paste();
    // Pastes at the spot; a clipboard that holds no blocks says why in the status line and
    // changes nothing.
    void pasteAt(int spot);
    void duplicateSelection();
    void selectAllBlocks();
    // Runs a block's dialog as one undoable edit: `edit` changes the chart in place (or removes
    // the block through `removeBlock`, itself undoable).
    void editInPlace(const std::function<void()>& edit, BlockType type);
    // Removes one block as an undoable edit (a dialog's DELETE).
    void removeBlock(TFcObject* block);
    // The edit goes on the stack, named `name` in the Edit menu's Undo and Redo: done now,
    // unless `alreadyDone` (a dialog changed the chart).
    void push(TChartEdit edit, const QString& name, bool alreadyDone = false);
    // What an edit names after its verb: the caption of one block, "3 blocks" of more.
    static QString blocksWord(const std::vector<TBlockCopy>& blocks);
    QString blocksWordAt(int first, int count) const;

    // A new or opened chart starts a fresh history; a save marks the saved state.
    void resetHistory();
    void markSaved();

    // The blocks of the clipboard's data, or why there are none.
    files::TResult<std::vector<TBlockCopy>> blocksOf(const QMimeData& data) const;
    // The clipboard data for blocks: the chart text under MimeType and as plain text.
    QMimeData* mimeDataOf(const std::vector<TBlockCopy>& blocks) const;

    // The right-click menu for a viewport point of the canvas (what is under it is selected
    // first). Owned by the caller.
    QMenu* contextMenuAt(QPoint viewportPoint, QWidget* parent);

private:
    // The selected run onto the clipboard; the blocks put there (none without a run).
    std::vector<TBlockCopy> selectionToClipboard();
    void updateActions();
    void status(const QString& message) const;

    TChart& m_chart;
    TChartFile& m_file;
    TFlowChartView& m_view;
    std::function<void(const QString&)> m_status;
    QUndoStack* m_undo = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_cutAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    QAction* m_duplicateAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_selectAllAction = nullptr;
    QAction* m_editAction = nullptr;
};
