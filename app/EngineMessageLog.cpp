#include "app/EngineMessageLog.h"

#include <QDebug>

#include "app/EngineText.h"
#include "platform/Messages.h"

void InstallEngineMessageLog() {
    SetMessageSink([](const CString& text, const CString& caption, UINT style) {
        qDebug().noquote() << QStringLiteral("engine message [%1] (style 0x%2): %3")
                                  .arg(FromEngineText(caption))
                                  .arg(style, 0, 16)
                                  .arg(FromEngineText(text));
        return int(IDOK);
    });
}
