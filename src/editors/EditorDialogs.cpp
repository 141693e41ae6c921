#include "editors/EditorDialogs.h"

#include "records/BlockCatalog.h"

#include <QAction>
#include <type_traits>
#include <variant>

namespace editors {

namespace {

TEditResult resultOf(int code) {
    switch (code) {
    case static_cast<int>(TEditResult::Ok):
        return TEditResult::Ok;
    case static_cast<int>(TEditResult::Delete):
        return TEditResult::Delete;
    default:
        return TEditResult::Cancel;
    }
}

// The position in a tuple of form pointers of the form whose values are V.
template <class V, class... F> constexpr std::size_t formIndex(std::tuple<F*...>*) {
    constexpr bool matches[] = {std::is_same_v<typename F::Values, V>...};
    for (std::size_t i = 0; i < sizeof...(F); ++i)
        if (matches[i])
            return i;
    return sizeof...(F);
}

} // namespace

TEditorDialogs::TEditorDialogs(QWidget* parent, std::vector<std::string> phrases)
    : m_forms(new TFormZhiXing(parent), new TFormZhuanXiang(parent), new TFormQiDongDJ(parent),
              new TFormTingZhiDJ(parent), new TFormYanShi(parent), new TFormFaYin(parent),
              new TFormFORBegin(parent), new TFormFOREnd(parent), new TFormGOTOBegin(parent),
              new TFormGOTOEnd(parent), new TFormGOTOIF(parent), new TFormLED(parent),
              new TFormPORTDDR(parent), new TFormPORTIN(parent), new TFormPORTOUT(parent),
              new TFormServo(parent), new TFormBiaoDaShi(parent), new TFormDIN(parent),
              new TFormAIN(parent), new TFormSubBegin(parent), new TFormGOSUB(parent),
              new TFormVOICEX(parent)),
      m_formJieShu(new TFormJieShu(parent)), m_formSubEnd(new TFormSubEnd(parent)) {
    Q_ASSERT(parent); // the dialogs live as long as their parent
    form<TFormVOICEX>()->setPhrases(std::move(phrases));
    // Every dialog edits one block type: F1 there asks for that block's help.
    for (const TBlockInfo& info : BlockCatalog()) {
        TEditorDialog* edited = dialog(dialogKindForBlockType(info.type));
        auto* help = new QAction(edited);
        help->setObjectName(QStringLiteral("HelpAction"));
        help->setShortcut(QKeySequence(Qt::Key_F1));
        QObject::connect(help, &QAction::triggered, edited, [this, type = info.type, edited] {
            if (m_helpHook)
                m_helpHook(type, edited);
        });
        edited->addAction(help);
    }
}

void TEditorDialogs::setNameChoices(const std::vector<std::string>& names) {
    form<TFormGOTOEnd>()->setNameChoices(names);
    form<TFormGOTOIF>()->setNameChoices(names);
    form<TFormGOSUB>()->setNameChoices(names);
}

int TEditorDialogs::execute(TEditorDialog& dialog) {
    return m_execHook ? m_execHook(dialog) : dialog.exec();
}

TEditorDialog* TEditorDialogs::dialog(TDialogKind kind) const {
    switch (kind) {
    case TDialogKind::ZhiXing:
        return form<TFormZhiXing>();
    case TDialogKind::ZhuanXiang:
        return form<TFormZhuanXiang>();
    case TDialogKind::QiDongDJ:
        return form<TFormQiDongDJ>();
    case TDialogKind::TingZhiDJ:
        return form<TFormTingZhiDJ>();
    case TDialogKind::YanShi:
        return form<TFormYanShi>();
    case TDialogKind::FaYin:
        return form<TFormFaYin>();
    case TDialogKind::FORBegin:
        return form<TFormFORBegin>();
    case TDialogKind::FOREnd:
        return form<TFormFOREnd>();
    case TDialogKind::GOTOBegin:
        return form<TFormGOTOBegin>();
    case TDialogKind::GOTOEnd:
        return form<TFormGOTOEnd>();
    case TDialogKind::GOTOIF:
        return form<TFormGOTOIF>();
    case TDialogKind::JieShu:
        return m_formJieShu;
    case TDialogKind::LED:
        return form<TFormLED>();
    case TDialogKind::PORTDDR:
        return form<TFormPORTDDR>();
    case TDialogKind::PORTIN:
        return form<TFormPORTIN>();
    case TDialogKind::PORTOUT:
        return form<TFormPORTOUT>();
    case TDialogKind::Servo:
        return form<TFormServo>();
    case TDialogKind::BiaoDaShi:
        return form<TFormBiaoDaShi>();
    case TDialogKind::DIN:
        return form<TFormDIN>();
    case TDialogKind::AIN:
        return form<TFormAIN>();
    case TDialogKind::SubBegin:
        return form<TFormSubBegin>();
    case TDialogKind::SubEnd:
        return m_formSubEnd;
    case TDialogKind::GOSUB:
        return form<TFormGOSUB>();
    case TDialogKind::VOICEX:
        return form<TFormVOICEX>();
    case TDialogKind::None:
        break;
    }
    return nullptr;
}

template <class Form>
TEditOutcome TEditorDialogs::run(Form* form, BlockType blockType,
                                 const typename Form::Values& values) {
    TEditOutcome outcome;
    form->setValues(values);
    outcome.opened = true;
    outcome.result = resultOf(execute(*form));
    if (outcome.result != TEditResult::Ok)
        return outcome;
    const TEditorValues edited{form->values()};
    outcome.record = recordFromValues(blockType, edited);
    if (editChangesCaption(blockType)) {
        outcome.relayout = true;
        if constexpr (std::is_same_v<Form, TFormVOICEX>)
            outcome.caption = captionAfterEdit(blockType, form->chosenText());
        else
            outcome.caption = captionAfterEdit(blockType, captionTextOf(edited));
    }
    return outcome;
}

TEditOutcome TEditorDialogs::editBlock(BlockType blockType, const std::string& record) {
    const TDialogKind kind = dialogKindForBlockType(blockType);
    if (kind == TDialogKind::None)
        return {};
    if (!dialogEditsRecord(kind)) {
        TEditOutcome outcome;
        outcome.opened = true;
        outcome.result = resultOf(execute(*dialog(kind)));
        return outcome;
    }
    TValuesResult read = valuesFromRecord(blockType, record);
    if (!read.values) {
        TEditOutcome outcome;
        outcome.error = read.error;
        return outcome;
    }
    return std::visit(
        [this, blockType](const auto& values) -> TEditOutcome {
            using V = std::decay_t<decltype(values)>;
            if constexpr (std::is_same_v<V, std::monostate>) {
                return {};
            } else {
                constexpr std::size_t index = formIndex<V>(static_cast<TValueForms*>(nullptr));
                static_assert(index < std::tuple_size_v<TValueForms>, "a dialog for every values");
                return run(std::get<index>(m_forms), blockType, values);
            }
        },
        *read.values);
}

} // namespace editors
