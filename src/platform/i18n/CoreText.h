#pragma once

// Texts of the core as the windows show them: in the interface's language where the
// translations in force have the wording, else in English.

#include "files/Message.h"

#include <QString>

namespace platform {

// The message's wording translated in its context (QCoreApplication::translate), its %1..%9
// filled with its values: plain values as they stand (from the system's code page), phrase
// values translated the same way. A wording without a translation stays English.
QString Translated(const files::TMessage& message);

// A fixed text of the core marked with ZV_TRANSLATABLE(context, text), translated.
QString Translated(const char* context, const std::string& text);

} // namespace platform
