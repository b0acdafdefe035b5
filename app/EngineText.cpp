#include "app/EngineText.h"

#include "platform/Text.h"

QString FromEngineText(const CString& text) { return QString::fromStdU16String(Cp932ToUtf16(text)); }

bool ToEngineText(const QString& text, CString* engineText) {
    const std::u16string wide = text.toStdU16String();
    const CString converted = Utf16ToCp932(wide);
    if (Cp932ToUtf16(converted) != wide) return false;
    if (engineText) *engineText = converted;
    return true;
}
