#pragma once
// The one boundary between the engine's 8-bit texts (CP932) and QString.
#include <QString>

#include "platform/String.h"

// An 8-bit text as the user interface shows it.
QString FromEngineText(const CString& text);
// The 8-bit form of a user interface text; false when some character has no
// CP932 form (the text would not come back unchanged), and text is then left as it was.
bool ToEngineText(const QString& text, CString* engineText);
