// The one place where byte texts of the core become QStrings and back. The core keeps every
// text as bytes in the system's code page; windows convert only here.
#pragma once

#include <QString>
#include <string>

namespace platform {

// Bytes in the system's code page as a QString. Bytes that are not valid there (a GBK phrase
// list on a UTF-8 system) are shown decoded as GB18030 instead; the caller keeps its bytes.
QString toQString(const std::string& bytes);

// A QString as bytes in the system's code page.
std::string fromQString(const QString& text);

} // namespace platform
