#pragma once

// Marks a text of the core that a person reads in the windows: the core itself uses the
// English text as it stands (the tool prints it), and the translation tools collect it under
// its context so that the windows can show it translated
// (QCoreApplication::translate(context, text)).
#define ZV_TRANSLATABLE(context, text) text
