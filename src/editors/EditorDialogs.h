// TEditorDialogs: every block editor, created once and reused, and the edit of one block's
// record through its dialog. The main window creates it at start-up and hands editBlock to the
// dispatch (EditorDispatch.h) in its double-click handler.
#pragma once

#include "editors/frmAIN.h"
#include "editors/frmBiaoDaShi.h"
#include "editors/frmDIN.h"
#include "editors/frmFORBegin.h"
#include "editors/frmFOREnd.h"
#include "editors/frmFaYin.h"
#include "editors/frmGOSUB.h"
#include "editors/frmGOTOBegin.h"
#include "editors/frmGOTOEnd.h"
#include "editors/frmGOTOIF.h"
#include "editors/frmJieShu.h"
#include "editors/frmLED.h"
#include "editors/frmPORTDDR.h"
#include "editors/frmPORTIN.h"
#include "editors/frmPORTOUT.h"
#include "editors/frmQiDongDJ.h"
#include "editors/frmServo.h"
#include "editors/frmSubBegin.h"
#include "editors/frmSubEnd.h"
#include "editors/frmTingZhiDJ.h"
#include "editors/frmVOICEX.h"
#include "editors/frmYanshi.h"
#include "editors/frmZhiXing.h"
#include "editors/frmZhuanXiang.h"
#include "editors/values/EditorValues.h"

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace editors {

class TEditorDialogs {
public:
    // Creates every dialog, parented to `parent` (which owns them and must outlive their use);
    // the VoiceX dialog offers `phrases` (the phrase list's entries, bytes as in its file).
    TEditorDialogs(QWidget* parent, std::vector<std::string> phrases);
    TEditorDialogs(const TEditorDialogs&) = delete;
    TEditorDialogs& operator=(const TEditorDialogs&) = delete;

    // Fills the block type's dialog from `record`, shows it modally and reports how it was
    // closed, with the record rebuilt from the dialog on OK. Nothing opens for a record that does
    // not parse (then `error` holds the parser's message).
    TEditOutcome editBlock(BlockType blockType, const std::string& record);

    // The names the Goto, GotoIf and Call Sub dialogs offer in their lists until the next call
    // (bytes of the system code page; the dispatch gives the chart's labels or subroutines).
    void setNameChoices(const std::vector<std::string>& names);

    // Replaces showing the dialog modally: the hook gets the filled dialog and returns its
    // result (1, 2 or 7), for example after clicking one of its buttons. Tests of windows that
    // edit blocks answer the editors this way without an event loop; an empty hook restores
    // exec().
    using TExecHook = std::function<int(TEditorDialog& dialog)>;
    void setExecHook(TExecHook hook) { m_execHook = std::move(hook); }

    // F1 in an open dialog (its action "HelpAction"): the hook gets the dialog's block type and
    // the dialog, over which the main window shows that block's help. Without a hook F1 does
    // nothing.
    using THelpHook = std::function<void(BlockType blockType, QWidget* dialog)>;
    void setHelpHook(THelpHook hook) { m_helpHook = std::move(hook); }

    // The dialog of a kind (nullptr for None).
    TEditorDialog* dialog(TDialogKind kind) const;
    template <class Form> Form* form() const { return std::get<Form*>(m_forms); }
    TFormJieShu* formJieShu() const { return m_formJieShu; }
    TFormSubEnd* formSubEnd() const { return m_formSubEnd; }

private:
    using TValueForms =
        std::tuple<TFormZhiXing*, TFormZhuanXiang*, TFormQiDongDJ*, TFormTingZhiDJ*, TFormYanShi*,
                   TFormFaYin*, TFormFORBegin*, TFormFOREnd*, TFormGOTOBegin*, TFormGOTOEnd*,
                   TFormGOTOIF*, TFormLED*, TFormPORTDDR*, TFormPORTIN*, TFormPORTOUT*, TFormServo*,
                   TFormBiaoDaShi*, TFormDIN*, TFormAIN*, TFormSubBegin*, TFormGOSUB*,
                   TFormVOICEX*>;

    template <class Form>
    TEditOutcome run(Form* form, BlockType blockType, const typename Form::Values& values);

    int execute(TEditorDialog& dialog);

    TValueForms m_forms;
    TExecHook m_execHook;
    THelpHook m_helpHook;
    TFormJieShu* m_formJieShu = nullptr;
    TFormSubEnd* m_formSubEnd = nullptr;
};

} // namespace editors
