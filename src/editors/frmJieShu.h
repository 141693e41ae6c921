#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormJieShu: the End block's editor; it only offers to delete the block.
class TFormJieShu : public TEditorDialog {
public:
    explicit TFormJieShu(QWidget* parent);
};

} // namespace editors
