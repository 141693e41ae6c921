#pragma once

#include "editors/EditorControls.h"

namespace editors {

// TFormSubEnd: the Sub End block's editor; it only offers to delete the block.
class TFormSubEnd : public TEditorDialog {
public:
    explicit TFormSubEnd(QWidget* parent);
};

} // namespace editors
